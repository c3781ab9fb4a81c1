#include "FileFormat.h"

#include <QFile>

#include "RecordingFile.h"

namespace {

constexpr qint64 kSniffedBytes = 4096;

}  // namespace

FileFormat::Kind FileFormat::sniff(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return Kind::Scene;
    }
    return file.read(kSniffedBytes).contains(RecordingFile::kFormat) ? Kind::Recording
                                                                     : Kind::Scene;
}
