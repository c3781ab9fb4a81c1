#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <cfloat>
#include <random>

#include "DocumentBits.h"
#include "DyeField.h"
#include "RecordingFile.h"
#include "SceneFile.h"

namespace {

using documenttest::difference;

// Floats that a decimal round trip could lose: ones with no short form, the smallest normal and
// subnormal ones, a negative zero.
const float kOddFloats[] = {0.1f, 1e-38f, FLT_MIN, 1e-45f, -0.0f, 1.0f / 3.0f, 9999999.0f};

// A scene on the 200 grid with obstacles, corners and fields at rest (which files keep as one
// number each).
SceneDocument restScene() {
    SceneDocument d;
    Scene& s = d.scene;
    s.gridSize = 200;
    s.settings = {0.1f, 7, false, 1.0f / 3.0f, Flow::WindTunnel, 0.75f, 12.5f};
    s.obstacles = {{{10, 10}, {20, 10}, {15, 20}}, {{199, 199}, {150, 199}, {199, 150}}};
    s.corners = {{0, 0}, {5, 7}};
    s.hasFields = true;
    s.fields.velocity.assign(200 * 200, Vec2());
    s.fields.scratchVelocity = s.fields.velocity;
    s.fields.dyeSize = SceneLimits::kDyeSize;
    for (std::vector<float>& plane : s.fields.dye) {
        plane.assign(SceneLimits::kDyeSize * SceneLimits::kDyeSize, 0.0f);
    }
    s.fields.dragCount = 2;
    d.display = {DisplayMode::Dye, 1, 2, 3, 0.1f, 255, 100, true, true};
    return d;
}

// The rest scene in motion: random velocities and dye, with the odd floats at the start.
SceneDocument movingScene() {
    SceneDocument d = restScene();
    SceneFields& f = d.scene.fields;
    std::mt19937 random(5);
    std::uniform_real_distribution<float> speed(-1e3f, 1e3f);
    std::uniform_real_distribution<float> amount(0.0f, 1.0f);
    for (std::size_t k = 0; k < f.velocity.size(); ++k) {
        f.velocity[k] = Vec2(speed(random), speed(random));
        f.scratchVelocity[k] = Vec2(speed(random), speed(random));
    }
    for (std::vector<float>& plane : f.dye) {
        for (float& a : plane) {
            a = amount(random);
        }
    }
    for (std::size_t k = 0; k < std::size(kOddFloats); ++k) {
        f.velocity[k] = Vec2(kOddFloats[k], -kOddFloats[k]);
        f.dye[1][k] = std::fabs(kOddFloats[k]) / 1e7f;
    }
    return d;
}

// Every kind of operation once, with the odd floats where floats go.
RecordingDocument recording() {
    RecordingDocument d;
    d.display = restScene().display;
    d.recording.start = restScene().scene;
    d.recording.startPaused = true;
    using K = OperationKind;
    const Operation stir = Operation::atCell(K::Stir, 199, 3, Vec2(-0.0f, 0.1f));
    const Operation dye =
        Operation::atCell(K::PourDye, 0, 0, Vec2(1e-45f, FLT_MIN), Vec2(-1e6f, 1.0f / 3.0f));
    const Operation corner = Operation::atCell(K::AddCorner, 4, 199);
    Operation check = Operation::of(K::Checkpoint);
    check.digest = 0xfedcba9876543210ull;
    d.recording.operations = {Operation::of(K::Step, 60),
                              stir,
                              Operation::of(K::BeginDrag),
                              dye,
                              corner,
                              Operation::of(K::RemoveLastCorner),
                              Operation::of(K::DiscardCorners),
                              Operation::of(K::BuildObstacle),
                              Operation::of(K::ClearObstacles),
                              Operation::of(K::Rest),
                              Operation::of(K::GridSize, 400),
                              Operation::of(K::Viscosity, 0, 0.01f),
                              Operation::of(K::Iterations, 50),
                              Operation::of(K::ViscosityEnabled, 1),
                              Operation::of(K::Fade, 0, 0.1f),
                              Operation::of(K::Pause, 0),
                              Operation::of(K::Wait, 3600000),
                              check,
                              Operation::flow(Flow::DrivenCavity),
                              Operation::flowSpeed(4.0f),
                              Operation::swirl(0.1f)};
    return d;
}

TEST(DocumentFileTest, WritesAndReadsBackToTheBit) {
    QTemporaryDir dir;
    QString error;
    for (const SceneDocument& written : {restScene(), movingScene()}) {
        const QString path = dir.filePath("scene.json");
        ASSERT_TRUE(SceneFile::write(path, written, error)) << error.toStdString();
        SceneDocument read;
        ASSERT_TRUE(SceneFile::read(path, read, error)) << error.toStdString();
        EXPECT_EQ(difference(read, written), "");
    }
    // Fields at rest take a number each, not the megabytes of their base64.
    EXPECT_LT(SceneFile::serialize(restScene()).size(), 2000);

    const QString path = dir.filePath("recording.json");
    ASSERT_TRUE(RecordingFile::write(path, recording(), error)) << error.toStdString();
    RecordingDocument read;
    ASSERT_TRUE(RecordingFile::read(path, read, error)) << error.toStdString();
    EXPECT_EQ(difference(read, recording()), "");
}

// A good file's JSON with one value replaced, at a path of keys and indices ("settings/fade");
// an undefined value removes the member.
QJsonValue replaced(const QJsonValue& at, QStringList path, const QJsonValue& value) {
    if (path.isEmpty()) {
        return value;
    }
    const QString step = path.takeFirst();
    if (at.isArray()) {
        QJsonArray array = at.toArray();
        const int index = step.toInt();
        array[index] = replaced(array.at(index), path, value);
        return array;
    }
    QJsonObject object = at.toObject();
    const QJsonValue inner = replaced(object.value(step), path, value);
    if (inner.isUndefined()) {
        object.remove(step);
    } else {
        object[step] = inner;
    }
    return object;
}

QJsonArray repeated(int count, const QJsonValue& value) {
    QJsonArray array;
    for (int k = 0; k < count; ++k) {
        array.append(value);
    }
    return array;
}

struct BadFile {
    const char* path;
    QJsonValue value;
    const char* fault;
};

// Each change to the good file is refused with a message that holds the fault's words, and the
// document given stays as it was.
template <typename File, typename Document>
void expectRefused(const QByteArray& good, const BadFile& bad) {
    const QJsonValue root = QJsonDocument::fromJson(good).object();
    const QJsonValue changed = replaced(root, QString(bad.path).split('/'), bad.value);
    const QByteArray bytes = QJsonDocument(changed.toObject()).toJson();
    Document out;
    out.display.hueA = 99;
    const Document before = out;
    QString error;
    EXPECT_FALSE(File::parse(bytes, out, error)) << bad.path;
    EXPECT_TRUE(error.contains(QLatin1String(bad.fault)))
        << bad.path << ": " << error.toStdString();
    EXPECT_EQ(difference(out, before), "") << bad.path;
}

QString base64Floats(std::vector<float> values) {
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(values.data()), values.size() * 4).toBase64());
}

// A version 1 file: a closed box with no swirl, whose display may hold the logarithmic keys,
// which are read, checked and ignored.
TEST(DocumentFileTest, ReadsVersionOneFilesAsClosedBoxes) {
    SceneDocument written = restScene();
    QJsonValue root = QJsonDocument::fromJson(SceneFile::serialize(written)).object();
    root = replaced(root, {"version"}, 1);
    for (const char* key : {"flow", "flowSpeed", "swirl"}) {
        root = replaced(root, {"settings", key}, QJsonValue::Undefined);
    }
    root = replaced(replaced(root, {"display", "coeffLog"}, 0.5), {"display", "log"}, true);
    SceneDocument read;
    QString error;
    ASSERT_TRUE(SceneFile::parse(QJsonDocument(root.toObject()).toJson(), read, error))
        << error.toStdString();
    written.scene.settings.flow = Flow::ClosedBox;
    written.scene.settings.flowSpeed = FluidSettings().flowSpeed;
    written.scene.settings.swirl = 0.0f;
    EXPECT_EQ(difference(read, written), "");
}

TEST(DocumentFileTest, RefusesEachFaultOfASceneSayingWhatIsWrong) {
    const QByteArray good = SceneFile::serialize(restScene());
    SceneDocument out;
    QString error;
    ASSERT_TRUE(SceneFile::parse(good, out, error)) << error.toStdString();
    const struct {
        QByteArray bytes;
        const char* fault;
    } unreadable[] = {
        {"", "The scene file is empty."},
        {good.left(good.size() / 2), "The scene file is not JSON: "},
        {"fluid", "is not JSON: illegal value at byte"},
        {"[1]", "holds JSON, but not an object"},
        {QByteArray(good).replace("\"grid\": 200,", "\"grid\": 200, \"grid\": 100,"),
         "The scene file has the key \"grid\" twice in one object."},
        {QByteArray(good).replace("\"hueA\": 1,", "\"hue\\u0041\": 1, \"hueA\": 1,"),
         "has the key \"hueA\" twice"},
        {QByteArray(good).replace("\"version\": 2", "\"version\": 2.0"),
         "The scene's version is written 2.0, not as a whole number."},
        {QByteArray(good).replace("\"version\": 2", "\"version\": 2e0"), "version is written 2e0"},
    };
    for (const auto& u : unreadable) {
        EXPECT_FALSE(SceneFile::parse(u.bytes, out, error));
        EXPECT_TRUE(error.contains(QLatin1String(u.fault))) << error.toStdString();
    }
    const int cells = 200 * 200 * 2;
    std::vector<float> nanFirst(cells, 0.0f);
    nanFirst[1] = std::numeric_limits<float>::quiet_NaN();
    const QString velocityText = base64Floats(std::vector<float>(cells, 0.5f));
    const BadFile bad[] = {
        {"format", QJsonValue::Undefined, "does not say that it is a scene: it has no \"format\""},
        {"format", "fluidsim-recording",
         "format is \"fluidsim-recording\", not \"fluidsim-scene\""},
        {"version", 3, "The scene's version 3 is newer than this program reads (1 to 2)."},
        {"version", 0, "version 0 is not one that this program reads (1 to 2)"},
        {"version", "1", "\"version\" in the scene is not a number"},
        {"colour", 1, "There is a key \"colour\" in the scene that this program does not know."},
        {"corners", QJsonValue::Undefined, "There is no \"corners\" in the scene."},
        {"grid", 200.5, "\"grid\" in the scene is 200.5, not a whole number"},
        {"grid", 1e300, "\"grid\" in the scene is 1e+300, too large a number."},
        {"grid", 150, "The grid size 150 is not offered: use 100, 200 or 400."},
        {"settings/viscosity", "1", "\"viscosity\" in the settings is not a number"},
        {"settings/viscosity", 1e39, "\"viscosity\" in the settings is 1e+39, too large a number"},
        {"settings/viscosity", 0.001, "The viscosity value 0.001 is outside 0.01 to 1000."},
        {"settings/iterations", 51, "The number of iterations, 51, is outside 2 to 50."},
        {"settings/fade", -1, "The fade -1 is outside 0 to 100."},
        {"settings/viscosityOn", 1, "\"viscosityOn\" in the settings is not true or false"},
        {"settings/flow", "sideways", "The flow \"sideways\" is not one of closedBox, windTunnel"},
        {"settings/flow", QJsonValue::Undefined, "There is no \"flow\" in the settings."},
        {"settings/flowSpeed", 4.5, "The flow's speed 4.5 is outside 0 to 4."},
        {"settings/swirl", -1, "The swirl -1 is outside 0 to 100."},
        {"display/log", false, "There is a key \"log\" in the display settings that this program"},
        {"display", 3, "\"display\" in the scene is not an object"},
        {"display/mode", "Vorticity", "The display mode \"Vorticity\" is not one of"},
        {"display/hueA", 256, "\"hueA\" in the display settings is 256, outside 0 to 255"},
        {"display/saturation", -1, "\"saturation\" in the display settings is -1, outside 0"},
        {"display/coeffLin", 10.01,
         "\"coeffLin\" in the display settings is 10.01, outside 0 to 10"},
        {"display/coeffLog", 0, "There is a key \"coeffLog\" in the display settings that"},
        {"display/limitOver", 101,
         "\"limitOver\" in the display settings is 101, outside 0 to 100"},
        {"obstacles", repeated(1001, QJsonValue()),
         "\"obstacles\" in the scene holds 1001 items, more than the 1000"},
        {"obstacles/1", repeated(101, QJsonValue()),
         "Obstacle 2 holds 101 items, more than the 100"},
        {"obstacles/1", QJsonArray{QJsonArray{1, 1}, QJsonArray{2, 2}},
         "Obstacle 2 has 2 corners: an obstacle has 3 to 100."},
        {"obstacles/0/2", QJsonArray{1, 2, 3}, "Corner 3 of obstacle 1 holds 3 items"},
        {"obstacles/0/1", QJsonArray{1}, "Corner 2 of obstacle 1 is not a pair [i, j]."},
        {"obstacles/0/1/0", 1.5, "Corner 2 of obstacle 1 is 1.5, not a whole number"},
        {"obstacles/0/1/0", 200, "Obstacle 1, corner 2 (200, 10) lies outside the 200 x 200 grid."},
        {"corners/1", QJsonArray{-1, 0}, "Collected corner 2 (-1, 0) lies outside"},
        {"fields/velocity", "AAAA",
         "\"velocity\" in the fields holds 4 characters, not the 426668 of base64 that 80000 "
         "floats take"},
        {"fields/velocity", QString(velocityText).replace(8, 1, '!'),
         "\"velocity\" in the fields is not valid base64"},
        {"fields/velocity", QString(velocityText).replace(426664, 4, "A==="),
         "is not valid base64"},
        {"fields/scratchVelocity", base64Floats(nanFirst),
         "The scratch velocity at cell (0, 0) is (0, nan)"},
        {"fields/scratchVelocity", 1e8, "scratch velocity at cell (0, 0) is (1e+08, 1e+08)"},
        {"fields/dyeSize", 200, "The dye is 200 texels a side, not 400."},
        {"fields/dye/green", 1.5,
         "The green dye at texel (0, 0) is 1.5: an amount is from 0 to 1."},
        {"fields/dye/blue", true, "\"blue\" in the dye is not text"},
        {"fields/dragCount", -1, "The number of drags, -1, is negative."},
        {"fields/dragCount", QJsonValue::Undefined, "There is no \"dragCount\" in the fields."},
    };
    for (const BadFile& b : bad) {
        expectRefused<SceneFile, SceneDocument>(good, b);
    }
}

TEST(DocumentFileTest, RefusesEachFaultOfARecordingSayingWhatIsWrong) {
    const QByteArray good = RecordingFile::serialize(recording());
    RecordingDocument out;
    QString error;
    ASSERT_TRUE(RecordingFile::parse(good, out, error)) << error.toStdString();
    const BadFile bad[] = {
        {"format", "fluidsim-scene", "format is \"fluidsim-scene\", not \"fluidsim-recording\""},
        {"version", 3, "The recording's version 3 is newer than this program reads (1 to 2)."},
        {"startPaused", QJsonValue::Undefined, "There is no \"startPaused\" in the recording."},
        {"start/fields", QJsonValue::Undefined, "There is no \"fields\" in the start scene."},
        {"start/format", "fluidsim-scene", "There is a key \"format\" in the start scene"},
        {"start/grid", 300, "In the start scene, the grid size 300 is not offered"},
        {"start/fields/dye/red", -0.5, "In the start scene, the red dye at texel (0, 0) is -0.5"},
        {"operations", QJsonObject(), "\"operations\" in the recording is not an array"},
        {"operations", repeated(1000001, 0), "holds 1000001 items, more than the 1000000"},
        {"operations/0", "step", "Operation 1 is not an array."},
        {"operations/0", QJsonArray(), "Operation 1 is empty"},
        {"operations/0", QJsonArray{1, 2}, "The name of operation 1 is not text"},
        {"operations/0", QJsonArray{"spin", 1},
         "Operation 1 is \"spin\", which is not an operation this program knows"},
        {"operations/1", QJsonArray{"stir", 1, 2},
         "Operation 2 (\"stir\") takes 4 values after its name, not 2."},
        {"operations/1", QJsonArray{"drag", 1},
         "Operation 2 (\"drag\") takes 0 values after its name, not 1."},
        {"operations/0", QJsonArray{"step", 1.5},
         "Value 1 of operation 1 (\"step\") is 1.5, not a whole number"},
        {"operations/0", QJsonArray{"step", 0}, "Operation 1 steps 0 times"},
        {"operations/1", QJsonArray{"stir", 200, 0, 1, 1},
         "Operation 2 stirs cell (200, 0), outside the 200 x 200 grid in effect there."},
        {"operations/1/3", "0", "Value 3 of operation 2 (\"stir\") is not a number"},
        {"operations/3/2", 1e7, "Operation 4 pours dye from (1e-45, 1e+07)"},
        {"operations/10/1", 250, "Operation 11 sets the grid to 250 cells a side"},
        {"operations/13/1", 1, "Value 1 of operation 14 (\"viscosityOn\") is not true or false"},
        {"operations/17/1", "fedcba987654321",
         "Value 1 of operation 18 (\"check\") is not a digest of 16 hexadecimal digits"},
        {"operations/17/1", "fedcba987654321g", "is not a digest of 16 hexadecimal digits"},
        {"operations/17/1", "+edcba9876543210", "is not a digest"},
    };
    for (const BadFile& b : bad) {
        expectRefused<RecordingFile, RecordingDocument>(good, b);
    }
}

TEST(DocumentFileTest, RefusesAFileTooLargeBeforeReadingIt) {
    QTemporaryDir dir;
    const QString path = dir.filePath("huge.json");
    QFile huge(path);
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(qint64(1) << 30));
    huge.close();
    QElapsedTimer timer;
    timer.start();
    SceneDocument scene;
    RecordingDocument recorded;
    QString sceneError, recordingError;
    EXPECT_FALSE(SceneFile::read(path, scene, sceneError));
    EXPECT_FALSE(RecordingFile::read(path, recorded, recordingError));
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_TRUE(
        sceneError.contains("is 1073741824 bytes, more than the 33554432 (32 MiB) that a "
                            "scene file may have."))
        << sceneError.toStdString();
    EXPECT_TRUE(recordingError.contains("1073741824 bytes, more than the 100663296 (96 MiB)"))
        << recordingError.toStdString();

    EXPECT_FALSE(SceneFile::read(dir.filePath("none.json"), scene, sceneError));
    EXPECT_TRUE(sceneError.contains("Could not open")) << sceneError.toStdString();
    EXPECT_FALSE(SceneFile::read(dir.path(), scene, sceneError));
    EXPECT_TRUE(sceneError.endsWith("is a folder, not a scene file.")) << sceneError.toStdString();
    EXPECT_EQ(difference(scene, SceneDocument()), "");
}

}  // namespace
