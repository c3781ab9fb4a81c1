#pragma once

#include <QByteArray>
#include <QString>

// Writes a file whole or not at all: the bytes go to a temporary file in the same folder, which
// is renamed over the target once everything is written, so that a failure (no permission, a
// full disk, a folder in the way) leaves any previous file as it was.
class AtomicFile {
public:
    // False, with error saying why ("Could not save /x/y.json: Permission denied."), when the
    // file could not be written.
    static bool write(const QString& path, const QByteArray& bytes, QString& error);
};
