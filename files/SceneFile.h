#pragma once

#include <QByteArray>
#include <QString>

#include "SceneDocument.h"

// Scene files: JSON with "format": "fluidsim-scene" and "version": 1 (docs/formats.md). Every
// reader checks a file whole before it gives anything back: out changes only on success, and a
// refusal says in a sentence what is wrong.
class SceneFile {
public:
    static constexpr const char* kFormat = "fluidsim-scene";
    // Largest file read: a scene on the 400 grid with its fields takes about 6 MiB.
    static constexpr qint64 kMaxBytes = 32 * 1024 * 1024;

    static QByteArray serialize(const SceneDocument& document);
    static bool parse(const QByteArray& bytes, SceneDocument& out, QString& error);
    // Refuses a file of more than kMaxBytes before reading it.
    static bool read(const QString& path, SceneDocument& out, QString& error);
    // Through AtomicFile: a failed write leaves any previous file as it was.
    static bool write(const QString& path, const SceneDocument& document, QString& error);
};
