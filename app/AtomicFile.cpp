#include "AtomicFile.h"

#include <QSaveFile>

bool AtomicFile::write(const QString& path, const QByteArray& bytes, QString& error) {
    QSaveFile file(path);
    // Each step runs only when the ones before succeeded; a QSaveFile destroyed without a commit
    // removes its temporary file.
    const bool saved =
        file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!saved) {
        error = QStringLiteral("Could not save %1: %2.").arg(path, file.errorString());
    }
    return saved;
}
