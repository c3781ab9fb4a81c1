#pragma once

#include <QByteArray>
#include <QString>

#include "RecordingDocument.h"

// Recording files: JSON with "format": "fluidsim-recording" and "version": 1, the start scene
// with its fields and every operation as a short array (docs/formats.md). As with SceneFile, out
// changes only on success, and a refusal says what is wrong.
class RecordingFile {
public:
    static constexpr const char* kFormat = "fluidsim-recording";
    // Largest file read or written: the start scene takes up to about 6 MiB, an operation 10 to
    // about 90 bytes.
    static constexpr qint64 kMaxBytes = 96 * 1024 * 1024;

    static QByteArray serialize(const RecordingDocument& document);
    // Checks the recording with recordingProblem as well.
    static bool parse(const QByteArray& bytes, RecordingDocument& out, QString& error);
    // Refuses a file of more than kMaxBytes before reading it.
    static bool read(const QString& path, RecordingDocument& out, QString& error);
    // Refuses a recording whose file would exceed kMaxBytes, which could not be read back.
    static bool write(const QString& path, const RecordingDocument& document, QString& error);
};
