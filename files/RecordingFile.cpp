#include "RecordingFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cctype>
#include <climits>
#include <cstring>

#include "AtomicFile.h"
#include "DisplayJson.h"
#include "FileBytes.h"
#include "JsonReader.h"
#include "SceneJson.h"

namespace {

// An operation is written as its name and then its arguments, each letter of the form saying
// which member an argument is: i and j the cell, n the count, s a switch (count 1 as true, 0 as
// false), v the value, x y the point a, X Y the point b, d the digest as 16 hex digits.
struct OperationForm {
    const char* name;
    OperationKind kind;
    const char* arguments;
};

const OperationForm kForms[] = {
    {"step", OperationKind::Step, "n"},
    {"stir", OperationKind::Stir, "ijxy"},
    {"drag", OperationKind::BeginDrag, ""},
    {"dye", OperationKind::PourDye, "xyXY"},
    {"corner", OperationKind::AddCorner, "ij"},
    {"removeCorner", OperationKind::RemoveLastCorner, ""},
    {"discardCorners", OperationKind::DiscardCorners, ""},
    {"buildObstacle", OperationKind::BuildObstacle, ""},
    {"clearObstacles", OperationKind::ClearObstacles, ""},
    {"rest", OperationKind::Rest, ""},
    {"grid", OperationKind::GridSize, "n"},
    {"viscosity", OperationKind::Viscosity, "v"},
    {"iterations", OperationKind::Iterations, "n"},
    {"viscosityOn", OperationKind::ViscosityEnabled, "s"},
    {"fade", OperationKind::Fade, "v"},
    {"pause", OperationKind::Pause, "s"},
    {"wait", OperationKind::Wait, "n"},
    {"check", OperationKind::Checkpoint, "d"},
    {"flow", OperationKind::Flow, "n"},
    {"flowSpeed", OperationKind::FlowSpeed, "v"},
    {"swirl", OperationKind::Swirl, "v"},
    {"push", OperationKind::Push, "ijxy"},
    {"project", OperationKind::Project, ""},
};

constexpr int kDigestDigits = 16;

const OperationForm* formOf(OperationKind kind) {
    for (const OperationForm& form : kForms) {
        if (form.kind == kind) {
            return &form;
        }
    }
    return nullptr;
}

const OperationForm* formNamed(const QString& name) {
    for (const OperationForm& form : kForms) {
        if (name == QLatin1String(form.name)) {
            return &form;
        }
    }
    return nullptr;
}

QJsonArray operationJson(const Operation& op) {
    const OperationForm* form = formOf(op.kind);
    if (form == nullptr) {
        return {};  // no such kind: recordingProblem refuses it
    }
    QJsonArray items{QLatin1String(form->name)};
    for (const char* letter = form->arguments; *letter != '\0'; ++letter) {
        switch (*letter) {
            case 'i':
                items.append(op.i);
                break;
            case 'j':
                items.append(op.j);
                break;
            case 'n':
                items.append(op.count);
                break;
            case 's':
                items.append(op.count != 0);
                break;
            case 'v':
                items.append(JsonReader::floatValue(op.value));
                break;
            case 'x':
                items.append(JsonReader::floatValue(op.a.x));
                break;
            case 'y':
                items.append(JsonReader::floatValue(op.a.y));
                break;
            case 'X':
                items.append(JsonReader::floatValue(op.b.x));
                break;
            case 'Y':
                items.append(JsonReader::floatValue(op.b.y));
                break;
            default:
                items.append(
                    QStringLiteral("%1").arg(op.digest, kDigestDigits, 16, QLatin1Char('0')));
        }
    }
    return items;
}

std::uint64_t readDigest(JsonReader& in, const QJsonValue& value, const QString& what) {
    const QString digits = in.text(value, what);
    bool hex = digits.size() == kDigestDigits;
    for (const QChar c : digits) {
        hex = hex && c.unicode() < 128 && std::isxdigit(c.unicode());
    }
    if (!in.failed() && !hex) {
        in.fail(QStringLiteral("%1 is not a digest of %2 hexadecimal digits.")
                    .arg(what)
                    .arg(kDigestDigits));
        return 0;
    }
    return digits.toULongLong(nullptr, 16);
}

Operation readOperation(JsonReader& in, const QJsonValue& value, qsizetype index) {
    const QString what = QStringLiteral("operation %1").arg(index + 1);
    const QJsonArray items = in.array(value, what, 5);
    Operation op;
    if (!in.failed() && items.isEmpty()) {
        in.fail(QStringLiteral("%1 is empty: it has no name.").arg(what));
    }
    const QString name = in.text(items.at(0), QStringLiteral("the name of ") + what);
    const OperationForm* form = formNamed(name);
    if (in.failed()) {
        return op;
    }
    if (form == nullptr) {
        in.fail(QStringLiteral("%1 is \"%2\", which is not an operation this program knows.")
                    .arg(what, name.left(40)));
        return op;
    }
    const qsizetype arguments = static_cast<qsizetype>(std::strlen(form->arguments));
    if (items.size() != arguments + 1) {
        in.fail(QStringLiteral("%1 (\"%2\") takes %4 values after its name, not %3.")
                    .arg(what, name)
                    .arg(items.size() - 1)
                    .arg(arguments));
        return op;
    }
    op.kind = form->kind;
    for (qsizetype k = 0; k < arguments; ++k) {
        const QJsonValue item = items.at(k + 1);
        const QString itemWhat =
            QStringLiteral("value %1 of %2 (\"%3\")").arg(k + 1).arg(what, name);
        switch (form->arguments[k]) {
            case 'i':
                op.i = in.whole(item, itemWhat, INT_MIN, INT_MAX);
                break;
            case 'j':
                op.j = in.whole(item, itemWhat, INT_MIN, INT_MAX);
                break;
            case 'n':
                op.count = in.whole(item, itemWhat, INT_MIN, INT_MAX);
                break;
            case 's':
                op.count = in.flag(item, itemWhat) ? 1 : 0;
                break;
            case 'v':
                op.value = in.number(item, itemWhat);
                break;
            case 'x':
                op.a.x = in.number(item, itemWhat);
                break;
            case 'y':
                op.a.y = in.number(item, itemWhat);
                break;
            case 'X':
                op.b.x = in.number(item, itemWhat);
                break;
            case 'Y':
                op.b.y = in.number(item, itemWhat);
                break;
            default:
                op.digest = readDigest(in, item, itemWhat);
        }
    }
    return op;
}

}  // namespace

QByteArray RecordingFile::serialize(const RecordingDocument& document) {
    const Recording& r = document.recording;
    QJsonObject start;
    SceneJson::write(r.start, start);
    QJsonArray operations;
    for (const Operation& op : r.operations) {
        operations.append(operationJson(op));
    }
    const QJsonObject root{{"format", QLatin1String(kFormat)},
                           {"version", JsonReader::kVersion},
                           {"display", DisplayJson::write(document.display)},
                           {"startPaused", r.startPaused},
                           {"start", start},
                           {"operations", operations}};
    // Compact: a recording may hold millions of operations.
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

bool RecordingFile::parse(const QByteArray& bytes, RecordingDocument& out, QString& error) {
    QString fault;
    QJsonObject root;
    int version = 0;
    if (!JsonReader::readRoot(bytes, QLatin1String(kFormat), QStringLiteral("recording"), root,
                              version, fault)) {
        error = fault;
        return false;
    }
    JsonReader in(root, QStringLiteral("the recording"), fault, version);
    in.expectKeys({"format", "version", "display", "startPaused", "start", "operations"});
    RecordingDocument document;
    DisplayJson::read(in.object("display", QStringLiteral("the display settings")),
                      document.display);
    Recording& r = document.recording;
    r.startPaused = in.flag("startPaused");
    JsonReader start = in.object("start", QStringLiteral("the start scene"));
    start.expectKeys(SceneJson::requiredKeys() << SceneJson::kFieldsKey);
    SceneJson::read(start, QStringLiteral("the start scene"), r.start);
    const QJsonArray operations = in.array("operations", Recording::kMaxOperations);
    r.operations.reserve(static_cast<std::size_t>(operations.size()));
    for (qsizetype k = 0; k < operations.size() && !in.failed(); ++k) {
        r.operations.push_back(readOperation(in, operations.at(k), k));
    }
    const std::string problem = in.failed() ? std::string() : recordingProblem(r);
    if (!problem.empty()) {
        in.fail(QString::fromStdString(problem));
    }
    if (in.failed()) {
        error = fault;
        return false;
    }
    out = std::move(document);
    return true;
}

bool RecordingFile::read(const QString& path, RecordingDocument& out, QString& error) {
    QByteArray bytes;
    return FileBytes::read(path, kMaxBytes, QStringLiteral("a recording file"), bytes, error) &&
           parse(bytes, out, error);
}

bool RecordingFile::write(const QString& path, const RecordingDocument& document, QString& error) {
    const QByteArray bytes = serialize(document);
    if (bytes.size() > kMaxBytes) {
        error = QStringLiteral(
                    "Could not save %1: the recording takes %2 bytes, more than the "
                    "%3 MiB that a recording file may have.")
                    .arg(path)
                    .arg(bytes.size())
                    .arg(kMaxBytes / (1024 * 1024));
        return false;
    }
    return AtomicFile::write(path, bytes, error);
}
