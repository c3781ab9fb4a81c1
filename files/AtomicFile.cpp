#include "AtomicFile.h"

#include <QSaveFile>

namespace {

// Writes until every byte is written or a write fails: a write can be cut short (at a size
// limit, on a full disk) without an error, which the next write then reports.
bool writeAll(QSaveFile& file, const QByteArray& bytes) {
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            return false;
        }
        done += written;
    }
    return true;
}

}  // namespace

bool AtomicFile::write(const QString& path, const QByteArray& bytes, QString& error) {
    QSaveFile file(path);
    // Each step runs only when the ones before succeeded; a QSaveFile destroyed without a commit
    // removes its temporary file.
    const bool saved = file.open(QIODevice::WriteOnly) && writeAll(file, bytes) && file.commit();
    if (!saved) {
        error = QStringLiteral("Could not save %1: %2.").arg(path, file.errorString());
    }
    return saved;
}
