#include "JsonReader.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QtEndian>
#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstring>

#include "JsonText.h"
#include "ProblemText.h"

namespace {

QString doubleText(double value) {
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString floatText(float value) {
    return QString::fromStdString(numberText(value));
}

const QString kNegativeZero = QStringLiteral("-0");

std::uint32_t bitsOf(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

}  // namespace

JsonReader::JsonReader(const QJsonObject& object, const QString& place_, QString& error_,
                       int version_)
    : members(object), place(place_), error(&error_), version(version_) {}

bool JsonReader::readRoot(const QByteArray& bytes, const QString& format, const QString& kind,
                          QJsonObject& root, int& rootVersion, QString& error) {
    if (bytes.isEmpty()) {
        error = QStringLiteral("The %1 file is empty.").arg(kind);
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        error = QStringLiteral("The %1 file is not JSON: %2 at byte %3.")
                    .arg(kind, parseError.errorString())
                    .arg(parseError.offset);
        return false;
    }
    if (!document.isObject()) {
        error = QStringLiteral("The %1 file holds JSON, but not an object.").arg(kind);
        return false;
    }
    // A key written twice would be read once, silently: the file is refused instead.
    const JsonText written = JsonText::scan(bytes);
    if (!written.repeatedKey.isEmpty()) {
        error = QStringLiteral("The %1 file has the key \"%2\" twice in one object.")
                    .arg(kind, written.repeatedKey.left(40));
        return false;
    }
    const QJsonObject top = document.object();
    const QJsonValue name = top.value(QLatin1String("format"));
    if (!name.isString()) {
        error = QStringLiteral("The file does not say that it is a %1: it has no \"format\".")
                    .arg(kind);
        return false;
    }
    if (name.toString() != format) {
        error = QStringLiteral("The file's format is \"%1\", not \"%2\".")
                    .arg(name.toString().left(40), format);
        return false;
    }
    JsonReader in(top, QStringLiteral("the %1").arg(kind), error);
    const int version = in.whole("version", INT_MIN, INT_MAX);
    if (in.failed()) {
        return false;
    }
    // 1.0 and 1e0 parse to the number 1; a version is written in digits alone.
    if (written.version.contains('.') || written.version.contains('e') ||
        written.version.contains('E')) {
        error = QStringLiteral("The %1's version is written %2, not as a whole number.")
                    .arg(kind, QString::fromLatin1(written.version.left(40)));
        return false;
    }
    if (version < 1 || version > kVersion) {
        error = QStringLiteral("The %1's version %2 is %3 this program reads (1 to %4).")
                    .arg(kind)
                    .arg(version)
                    .arg(version > kVersion ? QStringLiteral("newer than")
                                            : QStringLiteral("not one that"))
                    .arg(kVersion);
        return false;
    }
    root = top;
    rootVersion = version;
    return true;
}

QJsonValue JsonReader::floatValue(float value) {
    if (value == 0.0f && std::signbit(value)) {
        return kNegativeZero;
    }
    return static_cast<double>(value);
}

QJsonValue JsonReader::floatsValue(const float* values, std::size_t count) {
    const bool uniform = count > 0 && std::isfinite(values[0]) &&
                         std::all_of(values, values + count,
                                     [&](float v) { return bitsOf(v) == bitsOf(values[0]); });
    if (uniform) {
        return floatValue(values[0]);
    }
    QByteArray bytes(static_cast<qsizetype>(count * sizeof(float)), Qt::Uninitialized);
    uchar* data = reinterpret_cast<uchar*>(bytes.data());
    for (std::size_t k = 0; k < count; ++k) {
        qToLittleEndian(bitsOf(values[k]), data + k * sizeof(float));
    }
    return QString::fromLatin1(bytes.toBase64());
}

bool JsonReader::fail(const QString& sentence) {
    if (error->isEmpty()) {
        *error = sentence.left(1).toUpper() + sentence.mid(1);
    }
    return false;
}

void JsonReader::expectKeys(const QStringList& required, const QStringList& optional) {
    for (const QString& key : required) {
        if (!members.contains(key)) {
            fail(QStringLiteral("There is no \"%1\" in %2.").arg(key, place));
            return;
        }
    }
    for (auto it = members.begin(); it != members.end(); ++it) {
        const QString key = it.key();
        if (!required.contains(key) && !optional.contains(key)) {
            fail(QStringLiteral("There is a key \"%1\" in %2 that this program does not know.")
                     .arg(key.left(40), place));
            return;
        }
    }
}

QJsonValue JsonReader::member(const char* key) {
    const QJsonValue value = members.value(QLatin1String(key));
    if (value.isUndefined()) {
        fail(QStringLiteral("There is no \"%1\" in %2.").arg(QLatin1String(key), place));
    }
    return value;
}

QString JsonReader::keyWhat(const char* key) const {
    return QStringLiteral("\"%1\" in %2").arg(QLatin1String(key), place);
}

int JsonReader::whole(const char* key, int low, int high) {
    return whole(member(key), keyWhat(key), low, high);
}

float JsonReader::number(const char* key, float low, float high) {
    const float value = number(member(key), keyWhat(key));
    if (!failed() && !(value >= low && value <= high)) {
        fail(QStringLiteral("%1 is %2, outside %3 to %4.")
                 .arg(keyWhat(key), floatText(value), floatText(low), floatText(high)));
        return 0.0f;
    }
    return value;
}

float JsonReader::number(const char* key) {
    return number(member(key), keyWhat(key));
}

bool JsonReader::flag(const char* key) {
    return flag(member(key), keyWhat(key));
}

QString JsonReader::text(const char* key) {
    return text(member(key), keyWhat(key));
}

QJsonArray JsonReader::array(const char* key, qsizetype maxCount) {
    return array(member(key), keyWhat(key), maxCount);
}

JsonReader JsonReader::object(const char* key, const QString& objectPlace) {
    const QJsonValue value = member(key);
    if (!failed() && !value.isObject()) {
        fail(QStringLiteral("%1 is not an object.").arg(keyWhat(key)));
    }
    return JsonReader(failed() ? QJsonObject() : value.toObject(), objectPlace, *error, version);
}

std::vector<float> JsonReader::floats(const char* key, std::size_t count) {
    const QJsonValue value = member(key);
    if (!failed() && (value.isDouble() || value.toString() == kNegativeZero)) {
        const float uniform = number(value, keyWhat(key));
        return failed() ? std::vector<float>() : std::vector<float>(count, uniform);
    }
    const QString encoded = text(value, keyWhat(key));
    // Base64 writes each 3 bytes as 4 characters, the last group padded with '='.
    const std::size_t bytes = count * sizeof(float);
    const std::size_t length = (bytes + 2) / 3 * 4;
    if (failed()) {
        return {};
    }
    if (static_cast<std::size_t>(encoded.size()) != length) {
        fail(QStringLiteral("%1 holds %2 characters, not the %3 of base64 that %4 floats take.")
                 .arg(keyWhat(key))
                 .arg(encoded.size())
                 .arg(length)
                 .arg(count));
        return {};
    }
    const QByteArray::FromBase64Result decoded =
        QByteArray::fromBase64Encoding(encoded.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || static_cast<std::size_t>(decoded.decoded.size()) != bytes) {
        fail(QStringLiteral("%1 is not valid base64.").arg(keyWhat(key)));
        return {};
    }
    std::vector<float> values(count);
    const uchar* data = reinterpret_cast<const uchar*>(decoded.decoded.constData());
    for (std::size_t k = 0; k < count; ++k) {
        const quint32 bits = qFromLittleEndian<quint32>(data + k * sizeof(float));
        std::memcpy(&values[k], &bits, sizeof(float));
    }
    return values;
}

int JsonReader::whole(const QJsonValue& value, const QString& what, int low, int high) {
    if (failed()) {
        return 0;
    }
    if (!value.isDouble()) {
        fail(QStringLiteral("%1 is not a number.").arg(what));
        return 0;
    }
    const double d = value.toDouble();
    if (std::floor(d) != d) {
        fail(QStringLiteral("%1 is %2, not a whole number.").arg(what, doubleText(d)));
        return 0;
    }
    if (!(d >= INT_MIN && d <= INT_MAX)) {
        fail(QStringLiteral("%1 is %2, too large a number.").arg(what, doubleText(d)));
        return 0;
    }
    if (!(d >= low && d <= high)) {
        fail(QStringLiteral("%1 is %2, outside %3 to %4.")
                 .arg(what, doubleText(d), QString::number(low), QString::number(high)));
        return 0;
    }
    return static_cast<int>(d);
}

float JsonReader::number(const QJsonValue& value, const QString& what) {
    if (failed()) {
        return 0.0f;
    }
    if (value.toString() == kNegativeZero) {
        return -0.0f;
    }
    if (!value.isDouble()) {
        fail(QStringLiteral("%1 is not a number.").arg(what));
        return 0.0f;
    }
    const double d = value.toDouble();
    // Qt's parser refuses numbers past a double's range; those past a float's are refused here.
    if (!(std::fabs(d) <= FLT_MAX)) {
        fail(QStringLiteral("%1 is %2, too large a number.").arg(what, doubleText(d)));
        return 0.0f;
    }
    return static_cast<float>(d);
}

bool JsonReader::flag(const QJsonValue& value, const QString& what) {
    if (!failed() && !value.isBool()) {
        fail(QStringLiteral("%1 is not true or false.").arg(what));
    }
    return !failed() && value.toBool();
}

QString JsonReader::text(const QJsonValue& value, const QString& what) {
    if (!failed() && !value.isString()) {
        fail(QStringLiteral("%1 is not text.").arg(what));
    }
    return failed() ? QString() : value.toString();
}

QJsonArray JsonReader::array(const QJsonValue& value, const QString& what, qsizetype maxCount) {
    if (failed()) {
        return {};
    }
    if (!value.isArray()) {
        fail(QStringLiteral("%1 is not an array.").arg(what));
        return {};
    }
    const QJsonArray items = value.toArray();
    if (items.size() > maxCount) {
        fail(QStringLiteral("%1 holds %2 items, more than the %3 this program reads.")
                 .arg(what)
                 .arg(items.size())
                 .arg(maxCount));
        return {};
    }
    return items;
}
