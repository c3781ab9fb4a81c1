#pragma once

#include <QByteArray>
#include <QString>

// Reads a whole file from outside, refusing one past a size limit before reading any of it.
class FileBytes {
public:
    // False, with error saying why, when the file cannot be opened or holds more than maxBytes;
    // kind names the file in that message ("a scene file").
    static bool read(const QString& path, qint64 maxBytes, const QString& kind, QByteArray& bytes,
                     QString& error);
};
