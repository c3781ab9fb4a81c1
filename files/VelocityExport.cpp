#include "VelocityExport.h"

#include <QFileInfo>
#include <QtEndian>
#include <cassert>
#include <charconv>
#include <cstring>

#include "AtomicFile.h"

namespace {

// The .npy format 1.0: the magic string, the version, a 16-bit little-endian header length and
// the header, a Python dictionary padded with spaces and a final newline so that the data start
// at a multiple of 64 bytes.
constexpr char kNpyMagic[] = "\x93NUMPY\x01\x00";
constexpr int kNpyMagicSize = 8;
constexpr int kNpyPreamble = kNpyMagicSize + 2;
constexpr int kNpyAlignment = 64;

void appendFloat(QByteArray& out, float value) {
    quint32 bits;
    std::memcpy(&bits, &value, sizeof bits);
    char bytes[sizeof bits];
    qToLittleEndian(bits, bytes);
    out.append(bytes, sizeof bytes);
}

// The shortest decimal form that reads back to the same float, whatever the locale.
void appendNumber(QByteArray& out, float value) {
    char text[32];
    const std::to_chars_result end = std::to_chars(text, text + sizeof text, value);
    out.append(text, static_cast<int>(end.ptr - text));
}

}  // namespace

QByteArray VelocityExport::npy(const std::vector<Vec2>& field, int width, int height) {
    assert(field.size() == static_cast<std::size_t>(width) * height);
    QByteArray header =
        QStringLiteral("{'descr': '<f4', 'fortran_order': False, 'shape': (%1, %2, 2), }")
            .arg(height)
            .arg(width)
            .toLatin1();
    // Spaces, then the newline, up to the next multiple of 64 from the start of the file.
    const int total =
        (kNpyPreamble + header.size() + 1 + kNpyAlignment - 1) / kNpyAlignment * kNpyAlignment;
    header.append(total - kNpyPreamble - header.size() - 1, ' ');
    header.append('\n');
    QByteArray out(kNpyMagic, kNpyMagicSize);
    char length[2];
    qToLittleEndian(static_cast<quint16>(header.size()), length);
    out.append(length, 2);
    out.append(header);
    out.reserve(out.size() + static_cast<int>(field.size() * 2 * sizeof(float)));
    // Row-major (height, width, 2) is the field's own order: j, then i, then the component.
    for (const Vec2& v : field) {
        appendFloat(out, v.x);
        appendFloat(out, v.y);
    }
    return out;
}

QByteArray VelocityExport::csv(const std::vector<Vec2>& field, int width, int height) {
    assert(field.size() == static_cast<std::size_t>(width) * height);
    QByteArray out("i,j,vx,vy\n");
    for (int j = 0; j < height; ++j) {
        for (int i = 0; i < width; ++i) {
            const Vec2& v =
                field[static_cast<std::size_t>(i) + static_cast<std::size_t>(j) * width];
            out.append(QByteArray::number(i)).append(',').append(QByteArray::number(j)).append(',');
            appendNumber(out, v.x);
            out.append(',');
            appendNumber(out, v.y);
            out.append('\n');
        }
    }
    return out;
}

bool VelocityExport::write(const QString& path, const std::vector<Vec2>& field, int width,
                           int height, QString& error) {
    if (width < 1 || height < 1 || field.size() != static_cast<std::size_t>(width) * height) {
        error = QStringLiteral("Could not save %1: the field holds %2 cells, not %3 x %4.")
                    .arg(path)
                    .arg(field.size())
                    .arg(width)
                    .arg(height);
        return false;
    }
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("npy")) {
        return AtomicFile::write(path, npy(field, width, height), error);
    }
    if (suffix == QLatin1String("csv")) {
        return AtomicFile::write(path, csv(field, width, height), error);
    }
    const QString given = suffix.isEmpty() ? QStringLiteral("a name without a suffix")
                                           : QStringLiteral("\".%1\"").arg(suffix);
    error = QStringLiteral(
                "Could not save %1: the velocity is exported as .npy or .csv, not as "
                "%2.")
                .arg(path, given);
    return false;
}
