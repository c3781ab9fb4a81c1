#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "DyeField.h"
#include "Recording.h"
#include "Scene.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// A 100 x 100 scene with two obstacles, two corners collected and fields at rest.
Scene goodScene() {
    Scene scene;
    scene.obstacles = {{{10, 10}, {20, 10}, {15, 20}}, {{50, 50}, {60, 50}, {60, 60}, {99, 99}}};
    scene.corners = {{0, 0}, {99, 0}};
    scene.hasFields = true;
    SceneFields& f = scene.fields;
    f.velocity.assign(100 * 100, Vec2(0.5f, -0.25f));
    f.scratchVelocity = f.velocity;
    f.dyeSize = SceneLimits::kDyeSize;
    for (std::vector<float>& plane : f.dye) {
        plane.assign(f.dyeSize * f.dyeSize, 0.5f);
    }
    f.dragCount = 3;
    return scene;
}

struct Case {
    const char* change;
    std::function<void(Scene&)> apply;
    // A piece of the message that names the fault; empty when the scene stays good.
    const char* fault;
};

// The message is empty exactly when the case expects no fault, and names the fault otherwise.
void expectProblem(const std::string& problem, const char* fault, const char* change) {
    SCOPED_TRACE(change);
    if (*fault == '\0') {
        EXPECT_EQ(problem, "");
    } else {
        EXPECT_NE(problem.find(fault), std::string::npos) << problem;
        EXPECT_EQ(problem.back(), '.') << problem;
    }
}

TEST(SceneProblemTest, RefusesEachFaultByNameAndTakesTheLimitsThemselves) {
    const Case cases[] = {
        {"as made", [](Scene&) {}, ""},
        {"no fields",
         [](Scene& s) {
             s.hasFields = false;
             s.fields = {};
         },
         ""},
        {"grid 150", [](Scene& s) { s.gridSize = 150; },
         "grid size 150 is not offered: use 100, 200 or 400"},
        {"viscosity at its limits", [](Scene& s) { s.settings.viscosityHundredths = 0.01f; }, ""},
        {"viscosity 1000", [](Scene& s) { s.settings.viscosityHundredths = 1000.0f; }, ""},
        {"viscosity below", [](Scene& s) { s.settings.viscosityHundredths = 0.0099f; },
         "viscosity value 0.0099 is outside 0.01 to 1000"},
        {"viscosity NaN", [](Scene& s) { s.settings.viscosityHundredths = kNaN; },
         "viscosity value nan"},
        {"iterations 2 and 50", [](Scene& s) { s.settings.iterations = 50; }, ""},
        {"iterations 1", [](Scene& s) { s.settings.iterations = 1; },
         "iterations, 1, is outside 2 to 50"},
        {"fade 0", [](Scene& s) { s.settings.fadePerMille = 0.0f; }, ""},
        {"fade infinite", [](Scene& s) { s.settings.fadePerMille = kInf; },
         "fade inf is outside 0 to 100"},
        {"too many obstacles", [](Scene& s) { s.obstacles.resize(1001, s.obstacles[0]); },
         "1001 obstacles, more than the 1000"},
        {"obstacle of two corners", [](Scene& s) { s.obstacles[1].resize(2); },
         "Obstacle 2 has 2 corners"},
        {"obstacle of 101 corners", [](Scene& s) { s.obstacles[0].resize(101, Vec2(1, 1)); },
         "Obstacle 1 has 101 corners"},
        {"corner outside", [](Scene& s) { s.obstacles[1][2] = Vec2(100, 5); },
         "Obstacle 2, corner 3 (100, 5) lies outside the 100 x 100 grid"},
        {"corner negative", [](Scene& s) { s.obstacles[0][0] = Vec2(3, -1); },
         "corner 1 (3, -1) lies outside"},
        {"corner fractional", [](Scene& s) { s.obstacles[0][1] = Vec2(1.5f, 2); },
         "corner 2 (1.5, 2) is not a cell"},
        {"corner NaN", [](Scene& s) { s.corners[1] = Vec2(kNaN, 2); },
         "Collected corner 2 (nan, 2) is not a cell"},
        {"too many corners", [](Scene& s) { s.corners.resize(101); }, "101 corners are collected"},
        {"corners kept on a larger grid",
         [](Scene& s) {
             s.gridSize = 200;
             s.hasFields = false;
         },
         ""},
        {"velocity short", [](Scene& s) { s.fields.velocity.pop_back(); },
         "velocity holds 9999 cells, not the 10000 of the 100 x 100 grid"},
        {"scratch of another grid", [](Scene& s) { s.fields.scratchVelocity.resize(200 * 200); },
         "scratch velocity holds 40000 cells"},
        {"velocity at its limit", [](Scene& s) { s.fields.velocity[7] = Vec2(-1e7f, 1e7f); }, ""},
        {"velocity past it", [](Scene& s) { s.fields.velocity[101] = Vec2(0, 1.0000001e7f); },
         "velocity at cell (1, 1) is (0, 10000001)"},
        {"scratch NaN", [](Scene& s) { s.fields.scratchVelocity[2] = Vec2(kNaN, 0); },
         "scratch velocity at cell (2, 0) is (nan, 0)"},
        {"dye of 200", [](Scene& s) { s.fields.dyeSize = 200; },
         "dye is 200 texels a side, not 400"},
        {"green plane short", [](Scene& s) { s.fields.dye[1].resize(10); },
         "green dye holds 10 amounts, not the 160000"},
        {"dye 0 and 1",
         [](Scene& s) {
             s.fields.dye[0][0] = 0.0f;
             s.fields.dye[0][1] = 1.0f;
         },
         ""},
        {"dye above 1", [](Scene& s) { s.fields.dye[2][401] = 1.5f; },
         "blue dye at texel (1, 1) is 1.5"},
        {"dye negative zero", [](Scene& s) { s.fields.dye[2][3] = -0.0f; }, ""},
        {"dye NaN", [](Scene& s) { s.fields.dye[0][5] = kNaN; }, "red dye at texel (5, 0) is nan"},
        {"drags negative", [](Scene& s) { s.fields.dragCount = -1; },
         "number of drags, -1, is negative"},
    };
    for (const Case& c : cases) {
        Scene scene = goodScene();
        c.apply(scene);
        expectProblem(sceneProblem(scene), c.fault, c.change);
    }
}

// A recording whose operations after the good ones are those of the case.
struct RecordingCase {
    const char* change;
    std::vector<Operation> operations;
    const char* fault;
};

TEST(RecordingProblemTest, FollowsTheGridAndRefusesEachFaultByOperation) {
    using K = OperationKind;
    const std::vector<Operation> good = {Operation::of(K::Step, 60),
                                         Operation::atCell(K::Stir, 99, 0, {1e7f, -1e7f}),
                                         Operation::of(K::BeginDrag),
                                         Operation::atCell(K::PourDye, 0, 0, {-1e6f, 5}, {1e6f, 7}),
                                         Operation::atCell(K::AddCorner, 5, 5),
                                         Operation::of(K::RemoveLastCorner),
                                         Operation::of(K::DiscardCorners),
                                         Operation::of(K::BuildObstacle),
                                         Operation::of(K::Rest),
                                         Operation::of(K::Viscosity, 0, 1000.0f),
                                         Operation::of(K::Iterations, 2),
                                         Operation::of(K::ViscosityEnabled, 0),
                                         Operation::of(K::Fade, 0, 100.0f),
                                         Operation::of(K::Pause, 1),
                                         Operation::of(K::Wait, 3600000),
                                         Operation::of(K::Checkpoint)};
    const RecordingCase cases[] = {
        {"nothing more", {}, ""},
        {"a stir on the grid set", {Operation::of(K::GridSize, 400), Operation::atCell(K::Stir, 399, 399)}, ""},
        {"a stir past the grid",
         {Operation::of(K::GridSize, 200), Operation::atCell(K::Stir, 250, 7)},
         "Operation 18 stirs cell (250, 7), outside the 200 x 200 grid in effect there"},
        {"a corner past a smaller grid",
         {Operation::of(K::GridSize, 400), Operation::of(K::GridSize, 100), Operation::atCell(K::AddCorner, 100, 0)},
         "Operation 19 places a corner at cell (100, 0), outside the 100 x 100"},
        {"a corner at -1", {Operation::atCell(K::AddCorner, 0, -1)}, "cell (0, -1), outside"},
        {"grid 150",
         {Operation::of(K::GridSize, 150)},
         "Operation 17 sets the grid to 150 cells a side: use 100, 200 or 400"},
        {"stir NaN", {Operation::atCell(K::Stir, 1, 1, {kNaN, 0})}, "Operation 17 stirs at (nan, 0)"},
        {"stir huge", {Operation::atCell(K::Stir, 1, 1, {0, -2e7f})}, "stirs at (0, -2e+07)"},
        {"dye infinite",
         {Operation::atCell(K::PourDye, 0, 0, {0, 0}, {kInf, 0})},
         "pours dye from (0, 0) to (inf, 0)"},
        {"dye far", {Operation::atCell(K::PourDye, 0, 0, {0, -1.1e6f}, {0, 0})}, "pours dye from (0, -1100000)"},
        {"no steps", {Operation::of(K::Step, 0)}, "steps 0 times: a step operation takes 1 to 1000000"},
        {"too many at once", {Operation::of(K::Step, 1000001)}, "steps 1000001 times"},
        {"ten million steps", std::vector<Operation>(10, Operation::of(K::Step, 999994)), ""},
        {"one more", std::vector<Operation>(11, Operation::of(K::Step, 909086)),
         "Operation 27 brings the steps to 10000006"},
        {"viscosity 0",
         {Operation::of(K::Viscosity, 0, 0.0f)},
         "Operation 17: the viscosity value 0 is outside 0.01 to 1000"},
        {"iterations 51", {Operation::of(K::Iterations, 51)}, "iterations, 51, is outside 2 to 50"},
        {"fade negative", {Operation::of(K::Fade, 0, -0.5f)}, "the fade -0.5 is outside"},
        {"viscosity switch 2", {Operation::of(K::ViscosityEnabled, 2)}, "switches the viscosity with 2"},
        {"pause -1", {Operation::of(K::Pause, -1)}, "pauses with -1"},
        {"wait past an hour", {Operation::of(K::Wait, 3600001)}, "waits 3600001 ms"},
        {"wait negative", {Operation::of(K::Wait, -1)}, "waits -1 ms"},
        {"unknown kind", {Operation::of(static_cast<OperationKind>(200))}, "is of an unknown kind, 200"},
        {"obstacles up to the limit", std::vector<Operation>(997, Operation::of(K::BuildObstacle)), ""},
        {"one past it", std::vector<Operation>(998, Operation::of(K::BuildObstacle)),
         "Operation 1014 builds obstacle 1001"},
        {"cleared between",
         [] {
             std::vector<Operation> ops(997, Operation::of(K::BuildObstacle));
             ops.push_back(Operation::of(K::ClearObstacles));
             ops.resize(ops.size() + 1000, Operation::of(K::BuildObstacle));
             return ops;
         }(),
         ""},
    };
    for (const RecordingCase& c : cases) {
        Recording recording;
        recording.start = goodScene();
        recording.operations = good;
        recording.operations.insert(recording.operations.end(), c.operations.begin(),
                                    c.operations.end());
        expectProblem(recordingProblem(recording), c.fault, c.change);
    }
}

TEST(RecordingProblemTest, StartsFromAGoodSceneWithItsFieldsAndHoldsAtMostTheLimit) {
    Recording recording;
    recording.start = goodScene();
    recording.start.hasFields = false;
    expectProblem(recordingProblem(recording), "start scene holds no fields", "no fields");
    recording.start = goodScene();
    recording.start.obstacles[0][0] = Vec2(100, 0);
    expectProblem(recordingProblem(recording),
                  "In the start scene, obstacle 1, corner 1 (100, 0) lies outside", "bad start");
    recording.start = goodScene();
    recording.operations.resize(Recording::kMaxOperations + 1, Operation::of(OperationKind::Rest));
    expectProblem(recordingProblem(recording), "1000001 operations, more than the 1000000",
                  "too many");
    recording.operations.pop_back();
    expectProblem(recordingProblem(recording), "", "as many as may be");
}

}  // namespace
