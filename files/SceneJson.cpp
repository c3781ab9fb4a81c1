#include "SceneJson.h"

#include <QJsonArray>
#include <algorithm>
#include <climits>
#include <iterator>
#include <string>
#include <vector>

#include "JsonReader.h"
#include "ProblemText.h"

namespace {

const char* const kDyeKeys[] = {"red", "green", "blue"};

// A velocity field as vx, vy of each cell in cell order.
QJsonValue fieldValue(const std::vector<Vec2>& field) {
    std::vector<float> components;
    components.reserve(2 * field.size());
    for (const Vec2& v : field) {
        components.push_back(v.x);
        components.push_back(v.y);
    }
    return JsonReader::floatsValue(components.data(), components.size());
}

std::vector<Vec2> velocities(const std::vector<float>& components) {
    std::vector<Vec2> field(components.size() / 2);
    for (std::size_t k = 0; k < field.size(); ++k) {
        field[k] = Vec2(components[2 * k], components[2 * k + 1]);
    }
    return field;
}

QJsonArray cornersJson(const std::vector<Vec2>& corners) {
    QJsonArray list;
    for (const Vec2& c : corners) {
        // Whole numbers: a corner of -0 reads back as the cell 0 that it is.
        list.append(QJsonArray{static_cast<double>(c.x), static_cast<double>(c.y)});
    }
    return list;
}

// Corners as [i, j] pairs of whole numbers; what names the k-th one with k, from 1.
std::vector<Vec2> readCorners(JsonReader& in, const QJsonArray& list, const QString& what) {
    std::vector<Vec2> corners;
    corners.reserve(static_cast<std::size_t>(list.size()));
    for (qsizetype k = 0; k < list.size() && !in.failed(); ++k) {
        const QString name = what.arg(k + 1);
        const QJsonArray pair = in.array(list.at(k), name, 2);
        if (!in.failed() && pair.size() != 2) {
            in.fail(QStringLiteral("%1 is not a pair [i, j].").arg(name));
        }
        const int i = in.whole(pair.at(0), name, INT_MIN, INT_MAX);
        const int j = in.whole(pair.at(1), name, INT_MIN, INT_MAX);
        corners.emplace_back(static_cast<float>(i), static_cast<float>(j));
    }
    return corners;
}

// The flows by the names files give them, in the order of Flow.
const char* const kFlowNames[] = {"closedBox", "windTunnel", "drivenCavity"};

// Version 1 has no flow and no swirl: its scenes are closed boxes without.
void readSettings(JsonReader in, FluidSettings& settings) {
    QStringList keys = {"viscosity", "iterations", "viscosityOn", "fade"};
    if (in.fileVersion() >= 2) {
        keys << "flow"
             << "flowSpeed"
             << "swirl";
    }
    in.expectKeys(keys);
    settings.viscosityHundredths = in.number("viscosity");
    settings.iterations = in.whole("iterations", INT_MIN, INT_MAX);
    settings.viscosityEnabled = in.flag("viscosityOn");
    settings.fadePerMille = in.number("fade");
    if (in.fileVersion() < 2) {
        return;
    }
    const QString flow = in.text("flow");
    int index = -1;
    for (int k = 0; k < static_cast<int>(std::size(kFlowNames)); ++k) {
        index = flow == QLatin1String(kFlowNames[k]) ? k : index;
    }
    if (!in.failed() && index < 0) {
        in.fail(QStringLiteral("The flow \"%1\" is not one of closedBox, windTunnel and "
                               "drivenCavity.")
                    .arg(flow.left(40)));
    }
    settings.flow = static_cast<Flow>(std::max(index, 0));
    settings.flowSpeed = in.number("flowSpeed");
    settings.swirl = in.number("swirl");
}

// The fields of a scene whose grid is offered.
void readFields(JsonReader in, Scene& scene) {
    in.expectKeys({"velocity", "scratchVelocity", "dyeSize", "dye", "dragCount"});
    SceneFields& f = scene.fields;
    const std::size_t cells = static_cast<std::size_t>(scene.gridSize) * scene.gridSize;
    f.velocity = velocities(in.floats("velocity", 2 * cells));
    f.scratchVelocity = velocities(in.floats("scratchVelocity", 2 * cells));
    f.dyeSize = in.whole("dyeSize", INT_MIN, INT_MAX);
    if (!in.failed() && f.dyeSize != SceneLimits::kDyeSize) {
        in.fail(QStringLiteral("The dye is %1 texels a side, not %2.")
                    .arg(f.dyeSize)
                    .arg(SceneLimits::kDyeSize));
    }
    JsonReader dye = in.object("dye", QStringLiteral("the dye"));
    dye.expectKeys({kDyeKeys[0], kDyeKeys[1], kDyeKeys[2]});
    const std::size_t texels =
        static_cast<std::size_t>(SceneLimits::kDyeSize) * SceneLimits::kDyeSize;
    for (int c = 0; c < 3; ++c) {
        f.dye[c] = dye.floats(kDyeKeys[c], texels);
    }
    f.dragCount = in.whole("dragCount", INT_MIN, INT_MAX);
    scene.hasFields = true;
}

void check(JsonReader& in, const QString& where, const Scene& scene) {
    const std::string problem = sceneProblem(scene);
    if (!in.failed() && !problem.empty()) {
        in.fail(
            where.isEmpty()
                ? QString::fromStdString(problem)
                : QStringLiteral("In %1, %2.").arg(where, QString::fromStdString(clause(problem))));
    }
}

}  // namespace

namespace {

// A flow outside the enumeration, which no check lets through, is written as the closed box.
int flowIndex(Flow flow) {
    const int index = static_cast<int>(flow);
    return index >= 0 && index < static_cast<int>(std::size(kFlowNames)) ? index : 0;
}

}  // namespace

QStringList SceneJson::requiredKeys() {
    return {"grid", "settings", "obstacles", "corners"};
}

void SceneJson::write(const Scene& scene, QJsonObject& object) {
    const FluidSettings& s = scene.settings;
    object.insert("grid", scene.gridSize);
    object.insert("settings",
                  QJsonObject{{"viscosity", JsonReader::floatValue(s.viscosityHundredths)},
                              {"iterations", s.iterations},
                              {"viscosityOn", s.viscosityEnabled},
                              {"fade", JsonReader::floatValue(s.fadePerMille)},
                              {"flow", QLatin1String(kFlowNames[flowIndex(s.flow)])},
                              {"flowSpeed", JsonReader::floatValue(s.flowSpeed)},
                              {"swirl", JsonReader::floatValue(s.swirl)}});
    QJsonArray obstacles;
    for (const std::vector<Vec2>& corners : scene.obstacles) {
        obstacles.append(cornersJson(corners));
    }
    object.insert("obstacles", obstacles);
    object.insert("corners", cornersJson(scene.corners));
    if (!scene.hasFields) {
        return;
    }
    const SceneFields& f = scene.fields;
    QJsonObject dye;
    for (int c = 0; c < 3; ++c) {
        dye.insert(kDyeKeys[c], JsonReader::floatsValue(f.dye[c].data(), f.dye[c].size()));
    }
    object.insert(kFieldsKey, QJsonObject{{"velocity", fieldValue(f.velocity)},
                                          {"scratchVelocity", fieldValue(f.scratchVelocity)},
                                          {"dyeSize", f.dyeSize},
                                          {"dye", dye},
                                          {"dragCount", f.dragCount}});
}

void SceneJson::read(JsonReader& in, const QString& where, Scene& out) {
    Scene scene;
    scene.gridSize = in.whole("grid", INT_MIN, INT_MAX);
    readSettings(in.object("settings", QStringLiteral("the settings")), scene.settings);
    const QJsonArray obstacles = in.array("obstacles", SceneLimits::kMaxObstacles);
    for (qsizetype k = 0; k < obstacles.size() && !in.failed(); ++k) {
        const QString name = QStringLiteral("obstacle %1").arg(k + 1);
        const QJsonArray corners = in.array(obstacles.at(k), name, SceneLimits::kMaxCorners);
        scene.obstacles.push_back(readCorners(in, corners, QStringLiteral("corner %1 of ") + name));
    }
    scene.corners = readCorners(in, in.array("corners", SceneLimits::kMaxCorners),
                                QStringLiteral("collected corner %1"));
    // The grid and the counts are checked before the fields' sizes are worked out from them.
    check(in, where, scene);
    if (!in.failed() && in.has(kFieldsKey)) {
        readFields(in.object(kFieldsKey, QStringLiteral("the fields")), scene);
        check(in, where, scene);
    }
    if (!in.failed()) {
        out = std::move(scene);
    }
}
