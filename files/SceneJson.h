#pragma once

#include <QJsonObject>
#include <QString>

#include "Scene.h"

class JsonReader;

// The members of a scene in scene and recording files: "grid", "settings", "obstacles",
// "corners" and, optionally, "fields", whose data are base64 of little-endian float32.
class SceneJson {
public:
    // The keys of a scene's members.
    static QStringList requiredKeys();
    static constexpr const char* kFieldsKey = "fields";

    // Adds the scene's members to object; "fields" only when the scene has them.
    static void write(const Scene& scene, QJsonObject& object);
    // Reads the scene's members of in into scene, fields when present, and checks the result
    // with sceneProblem; where names the scene in that check's message ("the start scene"), or
    // is empty for a scene file's own. Faults go to in's error, and then scene is unchanged.
    static void read(JsonReader& in, const QString& where, Scene& scene);
};
