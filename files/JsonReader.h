#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <vector>

// Reads the members of one JSON object from a file, checking each as it is read: a missing
// member, a value of the wrong kind, a number that is not whole or not in range, an array longer
// than allowed, base64 of the wrong length. The first fault is kept in the error string that the
// readers of a document share, as a sentence that names the member and its place ("the
// settings"); once it is set, reads return defaults and change nothing.
class JsonReader {
public:
    // The version of the scene and recording formats that this program writes; it reads every
    // version from 1 to this one. Version 2 added the flow, its speed and the swirl to the
    // settings, and dropped the logarithmic display keys.
    static constexpr int kVersion = 2;

    // A reader of an object of a file of the given version.
    JsonReader(const QJsonObject& object, const QString& place, QString& error,
               int version = kVersion);

    // Parses a whole document: JSON whose top is an object with "format": format and a "version"
    // from 1 to kVersion, which goes to version. kind names the document in messages ("scene").
    static bool readRoot(const QByteArray& bytes, const QString& format, const QString& kind,
                         QJsonObject& root, int& version, QString& error);

    // The version of the file being read.
    int fileVersion() const { return version; }

    // A float as the readers here read it back to the same bits: a JSON number, in the shortest
    // form that gives the float again, except for a negative zero, which Qt's JSON classes would
    // turn into 0 and which is written as the text "-0".
    static QJsonValue floatValue(float value);
    // count floats: all of them one value, as floatValue writes it, when their bits are equal and
    // finite; otherwise base64 of their little-endian bits.
    static QJsonValue floatsValue(const float* values, std::size_t count);

    bool failed() const { return !error->isEmpty(); }
    // Keeps the sentence as the fault unless there is one; returns false.
    bool fail(const QString& sentence);

    // A fault for a required key that is missing or for a key outside both lists.
    void expectKeys(const QStringList& required, const QStringList& optional = {});
    bool has(const char* key) const { return members.contains(QLatin1String(key)); }

    // Members by key. Numbers: whole ones from low to high; others floats as floatValue writes
    // them, from low to high (by default any finite float).
    int whole(const char* key, int low, int high);
    float number(const char* key, float low, float high);
    float number(const char* key);
    bool flag(const char* key);
    QString text(const char* key);
    QJsonArray array(const char* key, qsizetype maxCount);
    JsonReader object(const char* key, const QString& place);
    // count floats as floatsValue writes them; base64 text has its length checked before it is
    // decoded.
    std::vector<float> floats(const char* key, std::size_t count);

    // The same for a value that what names ("corner 2 of obstacle 3").
    int whole(const QJsonValue& value, const QString& what, int low, int high);
    float number(const QJsonValue& value, const QString& what);
    bool flag(const QJsonValue& value, const QString& what);
    QString text(const QJsonValue& value, const QString& what);
    QJsonArray array(const QJsonValue& value, const QString& what, qsizetype maxCount);

private:
    QJsonValue member(const char* key);
    QString keyWhat(const char* key) const;

    QJsonObject members;
    QString place;
    QString* error;
    int version;
};
