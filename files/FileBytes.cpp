#include "FileBytes.h"

#include <QFile>
#include <QFileInfo>

namespace {

constexpr qint64 kMebibyte = 1024 * 1024;

QString tooLarge(const QString& path, qint64 size, qint64 maxBytes, const QString& kind) {
    return QStringLiteral("%1 is %2 bytes, more than the %3 (%4 MiB) that %5 may have.")
        .arg(path)
        .arg(size)
        .arg(maxBytes)
        .arg(maxBytes / kMebibyte)
        .arg(kind);
}

}  // namespace

bool FileBytes::read(const QString& path, qint64 maxBytes, const QString& kind, QByteArray& bytes,
                     QString& error) {
    if (QFileInfo(path).isDir()) {
        error = QStringLiteral("%1 is a folder, not %2.").arg(path, kind);
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("Could not open %1: %2.").arg(path, file.errorString());
        return false;
    }
    if (file.size() > maxBytes) {
        error = tooLarge(path, file.size(), maxBytes, kind);
        return false;
    }
    // One byte more than the limit: a file that grew since, or a device whose size says
    // nothing, is refused after that much.
    QByteArray read = file.read(maxBytes + 1);
    if (read.size() > maxBytes) {
        error = tooLarge(path, read.size(), maxBytes, kind);
        return false;
    }
    if (file.error() != QFileDevice::NoError) {
        error = QStringLiteral("Could not read %1: %2.").arg(path, file.errorString());
        return false;
    }
    bytes = std::move(read);
    return true;
}
