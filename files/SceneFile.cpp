#include "SceneFile.h"

#include <QJsonDocument>
#include <QJsonObject>

#include "AtomicFile.h"
#include "DisplayJson.h"
#include "FileBytes.h"
#include "JsonReader.h"
#include "SceneJson.h"

QByteArray SceneFile::serialize(const SceneDocument& document) {
    QJsonObject root{{"format", QLatin1String(kFormat)},
                     {"version", JsonReader::kVersion},
                     {"display", DisplayJson::write(document.display)}};
    SceneJson::write(document.scene, root);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool SceneFile::parse(const QByteArray& bytes, SceneDocument& out, QString& error) {
    QString fault;
    QJsonObject root;
    int version = 0;
    if (!JsonReader::readRoot(bytes, QLatin1String(kFormat), QStringLiteral("scene"), root, version,
                              fault)) {
        error = fault;
        return false;
    }
    JsonReader in(root, QStringLiteral("the scene"), fault, version);
    in.expectKeys(SceneJson::requiredKeys() << "format"
                                            << "version"
                                            << "display",
                  {SceneJson::kFieldsKey});
    SceneDocument document;
    DisplayJson::read(in.object("display", QStringLiteral("the display settings")),
                      document.display);
    SceneJson::read(in, QString(), document.scene);
    if (in.failed()) {
        error = fault;
        return false;
    }
    out = std::move(document);
    return true;
}

bool SceneFile::read(const QString& path, SceneDocument& out, QString& error) {
    QByteArray bytes;
    return FileBytes::read(path, kMaxBytes, QStringLiteral("a scene file"), bytes, error) &&
           parse(bytes, out, error);
}

bool SceneFile::write(const QString& path, const SceneDocument& document, QString& error) {
    return AtomicFile::write(path, serialize(document), error);
}
