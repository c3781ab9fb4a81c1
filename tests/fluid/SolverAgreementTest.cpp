// The fast solver against the straightforward one, bit for bit, over long random runs of every
// public operation, on every instruction-set path this processor runs.
//
// Two floats agree when their bits are equal or both are NaN (fluidtest::agree).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "FluidSolver.h"
#include "FluidTestSupport.h"
#include "ReferenceSolver.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

std::string hex(float v) {
    char text[32];
    std::snprintf(text, sizeof text, "%a", static_cast<double>(v));
    return text;
}

// Names the first cell where two fields of the same size disagree.
template <typename T>
::testing::AssertionResult sameField(const char* name, const GridField<T>& fast,
                                     const GridField<T>& reference) {
    const long k = fluidtest::firstDisagreement(fast, reference);
    if (k < 0) {
        return ::testing::AssertionSuccess();
    }
    const long cell = k / fluidtest::kFloatsPerCell<T>;
    return ::testing::AssertionFailure()
           << name << " cell (" << cell % fast.width << ", " << cell / fast.width << ") component "
           << k % fluidtest::kFloatsPerCell<T> << ": fast " << hex(fluidtest::floatAt(fast, k))
           << ", reference " << hex(fluidtest::floatAt(reference, k));
}

::testing::AssertionResult sameState(const FluidSolver& fast, const ReferenceSolver& reference) {
    for (auto result :
         {sameField("velocity", fast.velocity, reference.velocity),
          sameField("scratchVelocity", fast.scratchVelocity, reference.scratchVelocity),
          sameField("pressure", fast.pressure, reference.pressure),
          sameField("divergence", fast.divergence, reference.divergence)}) {
        if (!result) {
            return result;
        }
    }
    return ::testing::AssertionSuccess();
}

// A fast solver on one path and a reference solver, driven through the same operations.
class Twins {
public:
    Twins(int width, int height, SimdPath path, int iterations = 20, float viscosity = 0.01f)
        : fast(width, height, 0.001f, viscosity, iterations),
          reference(width, height, 0.001f, viscosity, iterations) {
        fast.useSimdPath(path);
    }

    template <typename Operation>
    void both(Operation operation) {
        operation(fast);
        operation(reference);
    }

    FluidSolver fast;
    ReferenceSolver reference;
};

// Random polygons that lie along the walls, run into the corners, cross themselves and each
// other, or repeat a vertex.
std::vector<Vec2> randomPolygon(std::mt19937& random, int width, int height) {
    const auto pick = [&random](int last) {
        switch (random() % 4) {
            case 0:
                return 0;
            case 1:
                return last;
            default:
                return static_cast<int>(random() % (last + 1));
        }
    };
    std::vector<Vec2> polygon;
    const int count = 3 + static_cast<int>(random() % 6);
    for (int k = 0; k < count; ++k) {
        if (k > 0 && random() % 8 == 0) {
            polygon.push_back(polygon.back());
        } else {
            polygon.emplace_back(static_cast<float>(pick(width - 1)),
                                 static_cast<float>(pick(height - 1)));
        }
    }
    return polygon;
}

// Mostly drag-like values, now and then one of the largest a drag gives, a tiny one, or none.
float randomValue(std::mt19937& random, bool nonFinite) {
    switch (random() % 16) {
        case 0:
            return std::uniform_real_distribution<float>(-32000.0f, 32000.0f)(random);
        case 1:
            return std::uniform_real_distribution<float>(-1e-30f, 1e-30f)(random);
        case 2:
            return 0.0f;
        case 3:
            return -0.0f;
        case 4:
            if (nonFinite) {
                const float special[] = {kNaN, -kNaN, kInf, -kInf};
                return special[random() % 4];
            }
            return 1.0f;
        default:
            return std::uniform_real_distribution<float>(-500.0f, 500.0f)(random);
    }
}

// The panel's viscosities (0.0001 to 10), and the vanishing and unusable ones.
float randomViscosity(std::mt19937& random) {
    const float special[] = {0.01f, 1e-4f, 10.0f, 1e-36f, 1e-40f, 0.0f, -0.01f};
    if (random() % 2 == 0) {
        return special[random() % (sizeof special / sizeof special[0])];
    }
    return std::pow(10.0f, std::uniform_real_distribution<float>(-4.0f, 1.0f)(random));
}

// The flows at speeds that a panel gives, and beyond: the largest drag, a reversed one, none.
float randomSpeed(std::mt19937& random) {
    const float special[] = {0.0f, 1.0f, 4.0f, -2.5f, 32000.0f, kNaN, kInf};
    if (random() % 2 == 0) {
        return special[random() % (sizeof special / sizeof special[0])];
    }
    return std::uniform_real_distribution<float>(-10.0f, 10.0f)(random);
}

// Vorticity confinement from none to far more than a user would want, and the refused ones.
float randomSwirl(std::mt19937& random) {
    const float special[] = {0.0f, 1.0f, 40.0f, 1e4f, -3.0f, kNaN, kInf};
    if (random() % 2 == 0) {
        return special[random() % (sizeof special / sizeof special[0])];
    }
    return std::uniform_real_distribution<float>(0.0f, 100.0f)(random);
}

const Flow kFlows[] = {Flow::ClosedBox, Flow::WindTunnel, Flow::DrivenCavity};

struct RunOptions {
    int width = 100;
    int height = 100;
    int operations = 300;
    unsigned seed = 1;
    bool nonFinite = false;  // let stirs and field writes bring in NaN and infinities
};

// Every public operation in a random order, compared after each.
void runRandomOperations(SimdPath path, const RunOptions& options) {
    Twins twins(options.width, options.height, path);
    std::mt19937 random(options.seed);
    const int W = options.width;
    const int H = options.height;
    const auto cell = [&random](int size) { return static_cast<int>(random() % size); };
    std::ostringstream log;

    for (int op = 0; op < options.operations; ++op) {
        const int kind = static_cast<int>(random() % 20);
        if (kind < 6) {
            log << "step ";
            twins.both([](auto& s) { s.step(); });
        } else if (kind < 9) {
            // Anywhere: interior, walls, corners, and now and then outside the grid.
            const int i = random() % 16 == 0 ? -1 : cell(W + 1);
            const int j = cell(H);
            const Vec2 value(randomValue(random, options.nonFinite),
                             randomValue(random, options.nonFinite));
            log << "stir(" << i << "," << j << ") ";
            twins.both([&](auto& s) { s.setVelocity(i, j, value); });
        } else if (kind == 9) {
            const int sweeps[] = {0, 1, 2, 3, 5, 8, 20, 33, 50};
            const int n = sweeps[random() % (sizeof sweeps / sizeof sweeps[0])];
            log << "sweeps " << n << " ";
            twins.both([&](auto& s) { s.setIterations(n); });
        } else if (kind == 10) {
            const float viscosity = randomViscosity(random);
            log << "viscosity " << viscosity << " ";
            twins.both([&](auto& s) { s.setViscosity(viscosity); });
        } else if (kind == 11) {
            const bool on = random() % 3 != 0;
            log << "viscosity " << (on ? "on " : "off ");
            twins.both([&](auto& s) { s.setViscosityEnabled(on); });
        } else if (kind == 12) {
            // Through the solver, or straight into its public list.
            const std::vector<Vec2> polygon = randomPolygon(random, W, H);
            const int n = static_cast<int>(polygon.size());
            const bool direct = random() % 3 == 0;
            log << (direct ? "append " : "obstacle ");
            twins.both([&](auto& s) {
                if (direct) {
                    s.obstacles.append(Obstacle(polygon.data(), n, W, H));
                } else {
                    s.addObstacle(polygon.data(), n);
                }
            });
        } else if (kind == 13 && random() % 3 == 0) {
            const bool direct = random() % 2 == 0;
            log << (direct ? "list clear " : "clear ");
            twins.both([direct](auto& s) {
                if (direct) {
                    s.obstacles.clear();
                } else {
                    s.clearObstacles();
                }
            });
        } else if (kind == 14) {
            // Writes into the public fields between operations.
            const int k = cell(W * H);
            const Vec2 value(randomValue(random, options.nonFinite),
                             randomValue(random, options.nonFinite));
            const float scalar = randomValue(random, options.nonFinite);
            log << "write " << k << " ";
            twins.both([&](auto& s) {
                s.scratchVelocity.data[k] = value;
                s.velocity.data[(k * 7) % (W * H)] = Vec2(value.y, value.x);
                s.pressure.data[k] = scalar;
                s.divergence.data[(k * 3) % (W * H)] = -scalar;
            });
        } else if (kind == 15 && (options.nonFinite || random() % 4 == 0)) {
            // A NaN spreads over the whole field within a step: start again from rest, so that
            // new ones keep arriving in a live field.
            log << "rest ";
            twins.both([](auto& s) {
                for (VectorField* field : {&s.velocity, &s.scratchVelocity}) {
                    for (Vec2& v : field->data) {
                        v = Vec2();
                    }
                }
            });
        } else if (kind == 16) {
            const Flow flow = kFlows[random() % 3];
            const float speed = randomSpeed(random);
            log << flowName(flow) << " " << speed << " ";
            twins.both([&](auto& s) { s.setFlow(flow, speed); });
        } else if (kind == 17) {
            const float swirl = randomSwirl(random);
            log << "swirl " << swirl << " ";
            twins.both([&](auto& s) { s.setVorticityConfinement(swirl); });
        } else {
            // The operations that a step is made of, called on their own.
            const int which = static_cast<int>(random() % 7);
            log << "part " << which << " ";
            twins.both([which](auto& s) {
                switch (which) {
                    case 0:
                        s.diffuse(s.velocity, s.scratchVelocity);
                        break;
                    case 1:
                        s.advect(s.scratchVelocity, s.velocity);
                        break;
                    case 2:
                        s.project(s.scratchVelocity);
                        break;
                    case 3:
                        s.computeDivergence(s.velocity, s.pressure);
                        break;
                    case 4:
                        s.setVectorBoundary(s.scratchVelocity);
                        break;
                    case 5:
                        s.confineVorticity(s.velocity);
                        break;
                    default:
                        s.setScalarBoundary(s.divergence);
                        break;
                }
            });
        }
        ASSERT_TRUE(sameState(twins.fast, twins.reference))
            << W << " x " << H << ", seed " << options.seed << ", after: " << log.str();
    }
}

std::vector<SimdPath> allPaths() {
    return {SimdPath::Portable, SimdPath::Avx2};
}

class SolverAgreement : public ::testing::TestWithParam<SimdPath> {
protected:
    void SetUp() override {
        if (!isSimdPathSupported(GetParam())) {
            GTEST_SKIP() << simdPathName(GetParam()) << " is not available on this processor";
        }
    }
};

std::string pathName(const ::testing::TestParamInfo<SimdPath>& info) {
    return simdPathName(info.param);
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Paths, SolverAgreement, ::testing::ValuesIn(allPaths()), pathName);

// Long random runs on the program's grid, with finite values and with NaN and infinities too.
// Narrow and flat grids have diagonals shorter than a vector and rows shorter than one, which take
// other code; the smallest has a single interior cell. Each runs once with finite values and once
// with NaN and infinities as well.
TEST_P(SolverAgreement, RandomRuns) {
    std::vector<RunOptions> runs;
    for (unsigned seed : {1u, 2u, 3u}) {
        runs.push_back({100, 100, 300, seed, false});
    }
    for (unsigned seed : {11u, 12u}) {
        runs.push_back({100, 100, 200, seed, true});
    }
    for (const auto& [w, h] :
         {std::pair{3, 3}, {4, 9}, {9, 4}, {5, 37}, {37, 23}, {100, 11}, {12, 100}}) {
        for (bool nonFinite : {false, true}) {
            runs.push_back({w, h, 150, static_cast<unsigned>(w * 1000 + h), nonFinite});
        }
    }
    for (const RunOptions& options : runs) {
        runRandomOperations(GetParam(), options);
    }
}

// Every cell of both velocity fields seeded with NaN, infinities and finite values, then
// steps, stirs and projections, with obstacles whose passes copy them around.
TEST_P(SolverAgreement, NonFiniteValuesEverywhere) {
    Twins twins(100, 100, GetParam());
    const std::vector<Vec2> polygon{{0, 40}, {30, 45}, {10, 99}};
    twins.both([&](auto& s) { s.addObstacle(polygon.data(), 3); });
    std::mt19937 random(5);
    const float values[] = {kNaN, kInf, -kInf, 0.0f, -0.0f, 1.0f, -250.0f, 1e-39f};
    for (int k = 0; k < 100 * 100; ++k) {
        const Vec2 v(values[random() % 8], values[random() % 8]);
        const Vec2 w(values[random() % 8], values[random() % 8]);
        twins.both([&](auto& s) {
            s.velocity.data[k] = v;
            s.scratchVelocity.data[k] = w;
        });
    }
    for (int round = 0; round < 3; ++round) {
        twins.both([](auto& s) { s.step(); });
        ASSERT_TRUE(sameState(twins.fast, twins.reference)) << "step " << round;
        twins.both([](auto& s) { s.setVelocity(50, 50, Vec2(kNaN, 3.0f)); });
        ASSERT_TRUE(sameState(twins.fast, twins.reference)) << "stir " << round;
        twins.both([](auto& s) { s.setViscosityEnabled(!s.viscosityEnabled); });
    }
}

// Every sweep count that the panel allows and the two it does not, with and without viscosity,
// around obstacles along the walls and in the corners.
TEST_P(SolverAgreement, EverySweepCount) {
    const std::vector<std::vector<Vec2>> polygons{
        {{0, 0}, {20, 0}, {0, 20}}, {{99, 60}, {99, 99}, {70, 99}}, {{40, 40}, {60, 45}, {45, 70}}};
    for (int sweeps = 0; sweeps <= 50; ++sweeps) {
        Twins twins(100, 100, GetParam(), sweeps);
        for (const std::vector<Vec2>& polygon : polygons) {
            twins.both([&](auto& s) { s.addObstacle(polygon.data(), 3); });
        }
        twins.both([](auto& s) {
            s.setVelocity(30, 50, Vec2(400, -100));
            s.setVelocity(1, 1, Vec2(-300, 200));
            s.step();
            s.setViscosityEnabled(false);
            s.step();
        });
        ASSERT_TRUE(sameState(twins.fast, twins.reference)) << sweeps << " sweeps";
    }
}

// The obstacle list is public: obstacles appended or cleared through it, or a list assigned to
// it, take effect at the next operation.
TEST_P(SolverAgreement, ObstaclesChangedThroughThePublicList) {
    Twins twins(100, 100, GetParam());
    const std::vector<Vec2> square{{30, 30}, {60, 30}, {60, 60}, {30, 60}};
    const std::vector<Vec2> triangle{{10, 80}, {90, 85}, {50, 95}};
    const auto stirAndStep = [](auto& s) {
        s.setVelocity(45, 20, Vec2(0, 300));
        s.step();
    };
    twins.both([&](auto& s) { s.obstacles.append(Obstacle(square.data(), 4, 100, 100)); });
    twins.both(stirAndStep);
    ASSERT_TRUE(sameState(twins.fast, twins.reference)) << "appended";

    ObstacleList other;
    other.append(Obstacle(triangle.data(), 3, 100, 100));
    twins.both([&](auto& s) { s.obstacles = other; });
    twins.both(stirAndStep);
    ASSERT_TRUE(sameState(twins.fast, twins.reference)) << "assigned";

    twins.both([](auto& s) { s.obstacles.clear(); });
    twins.both(stirAndStep);
    ASSERT_TRUE(sameState(twins.fast, twins.reference)) << "cleared";
}

namespace {

// An axis-aligned square from (a, a) to (b, b), clockwise on the screen or not.
std::vector<Vec2> square(float a, float b, bool clockwise) {
    if (clockwise) {
        return {{a, a}, {b, a}, {b, b}, {a, b}};
    }
    return {{a, a}, {a, b}, {b, b}, {b, a}};
}

// Corners anywhere on a grid of size cells a side: a long outline that crosses itself.
std::vector<Vec2> randomOutline(std::mt19937& random, int size, int corners) {
    std::vector<Vec2> polygon;
    for (int c = 0; c < corners; ++c) {
        polygon.emplace_back(static_cast<float>(random() % size),
                             static_cast<float>(random() % size));
    }
    return polygon;
}

// Obstacle sets that the boundary pass folds in with writes that die, cascades and constants,
// on a grid of `size` cells a side; each polygon well within the copy limit.
struct ObstacleSet {
    const char* name;
    int size;
    std::vector<std::vector<Vec2>> polygons;
};

std::vector<ObstacleSet> foldedObstacleSets() {
    std::vector<ObstacleSet> sets;
    std::mt19937 random(21);
    ObstacleSet mixed{"random overlapping", 48, {}};
    for (int k = 0; k < 40; ++k) {
        mixed.polygons.push_back(k % 4 == 0 ? randomOutline(random, 48, 30)
                                            : randomPolygon(random, 48, 48));
    }
    sets.push_back(mixed);
    // Enough dead copies that the list of copies is compacted.
    ObstacleSet many{"long outlines across the grid", 100, {}};
    for (int k = 0; k < 48; ++k) {
        many.polygons.push_back(randomOutline(random, 100, 40));
    }
    sets.push_back(many);

    ObstacleSet stacked{"identical stacked", 40, {}};
    for (int k = 0; k < 12; ++k) {
        stacked.polygons.push_back({{5, 5}, {30, 9}, {12, 33}});
        stacked.polygons.push_back(square(8, 28, false));
    }
    sets.push_back(stacked);

    // Outlines one cell apart, turning alternately: each reads the cells its neighbours wrote.
    ObstacleSet nested{"nested, both ways round", 40, {}};
    for (int round = 0; round < 2; ++round) {
        for (int k = 0; k < 9; ++k) {
            nested.polygons.push_back(square(5.0f + k, 34.0f - k, (k + round) % 2 == 0));
        }
    }
    sets.push_back(nested);

    sets.push_back({"along the walls",
                    32,
                    {square(0, 31, true),
                     square(0, 31, false),
                     {{0, 4}, {0, 20}, {0, 12}},
                     {{31, 3}, {31, 28}, {20, 15}},
                     {{2, 31}, {29, 31}, {15, 22}},
                     {{0, 0}, {12, 0}, {0, 12}},
                     {{31, 31}, {31, 18}, {18, 31}},
                     {{0, 31}, {31, 31}, {31, 0}},
                     square(0, 31, true)}});

    sets.push_back({"zero-length edges",
                    32,
                    {{{10, 10}, {10, 10}, {20, 15}, {20, 15}},
                     {{12, 12}, {12, 12}, {12, 12}},
                     {{4, 20}, {28, 20}, {16, 20}},
                     {{20, 4}, {20, 28}, {20, 16}},
                     {{3, 3}, {25, 25}, {3, 3}, {14, 14}},
                     {{10, 10}, {10, 10}, {20, 15}, {20, 15}}}});

    // Lines on two rows in turn, each copying the row that the other just wrote: every copy
    // stays read by a later one, a chain through all of them.
    ObstacleSet chain{"copies chained through every obstacle", 40, {}};
    for (int k = 0; k < 20; ++k) {
        chain.polygons.push_back({{35, 20}, {5, 20}, {20, 20}});
        chain.polygons.push_back({{5, 21}, {35, 21}, {20, 21}});
    }
    sets.push_back(chain);
    return sets;
}

// Every cell of both velocity fields, and of the scalar fields, from the random values.
template <typename Solver>
void scramble(Solver& s, unsigned seed) {
    std::mt19937 random(seed);
    for (std::size_t k = 0; k < s.velocity.data.size(); ++k) {
        s.velocity.data[k] = Vec2(randomValue(random, true), randomValue(random, true));
        s.scratchVelocity.data[k] = Vec2(randomValue(random, true), randomValue(random, true));
        s.pressure.data[k] = randomValue(random, true);
        s.divergence.data[k] = randomValue(random, true);
    }
}

}  // namespace

// The folded pass against every obstacle applied in turn: after each obstacle a boundary pass
// on fields of any values, signed zeros and NaN among them, and now and then full steps.
TEST_P(SolverAgreement, FoldedObstaclesMatchEveryObstacleAppliedInTurn) {
    for (const ObstacleSet& set : foldedObstacleSets()) {
        SCOPED_TRACE(set.name);
        Twins twins(set.size, set.size, GetParam());
        for (std::size_t k = 0; k < set.polygons.size(); ++k) {
            const std::vector<Vec2>& polygon = set.polygons[k];
            const int n = static_cast<int>(polygon.size());
            ASSERT_EQ(twins.fast.tryAddObstacle(polygon.data(), n), ObstacleRefusal::None) << k;
            twins.reference.addObstacle(polygon.data(), n);
            const unsigned seed = static_cast<unsigned>(k);
            twins.both([seed](auto& s) {
                scramble(s, seed);
                s.setVectorBoundary(s.velocity);
                s.setVectorBoundary(s.scratchVelocity);
                s.setScalarBoundary(s.pressure);
            });
            ASSERT_TRUE(sameState(twins.fast, twins.reference)) << "pass after obstacle " << k;
            if (k % 4 == 3) {
                twins.both([](auto& s) {
                    for (VectorField* field : {&s.velocity, &s.scratchVelocity}) {
                        std::fill(field->data.begin(), field->data.end(), Vec2());
                    }
                    s.setVelocity(s.velocity.width / 2, 3, Vec2(300, -200));
                    s.step();
                    s.step();
                });
                ASSERT_TRUE(sameState(twins.fast, twins.reference)) << "steps after " << k;
            }
        }
    }
}

// Lines that chain their copies grow the pass with every obstacle, until the limit refuses one
// with nothing changed. An obstacle whose interior covers the lines then frees their copies.
TEST_P(SolverAgreement, ObstaclesPastTheCopyLimitAreRefusedAndChangeNothing) {
    Twins twins(32, 32, GetParam());
    FluidSolver& fast = twins.fast;
    const std::vector<Vec2> lines[] = {{{29, 15}, {2, 15}, {15, 15}},
                                       {{2, 16}, {29, 16}, {15, 16}}};
    const auto add = [&twins](const std::vector<Vec2>& polygon) {
        const int n = static_cast<int>(polygon.size());
        const ObstacleRefusal refusal = twins.fast.tryAddObstacle(polygon.data(), n);
        if (refusal == ObstacleRefusal::None) {
            twins.reference.addObstacle(polygon.data(), n);
        }
        return refusal;
    };
    int added = 0;
    for (;; ++added) {
        ASSERT_LT(added, 1000) << "never refused";
        const int copies = fast.obstacles.copies();
        const std::uint64_t revision = fast.obstacles.revision();
        const ObstacleRefusal refusal = add(lines[added % 2]);
        ASSERT_LE(fast.obstacles.copies(), fast.copyLimit());
        if (refusal != ObstacleRefusal::None) {
            EXPECT_EQ(refusal, ObstacleRefusal::TooManyCopies);
            EXPECT_EQ(fast.obstacles.size(), added);
            EXPECT_EQ(fast.obstacles.revision(), revision);
            EXPECT_EQ(fast.obstacles.copies(), copies);
            break;
        }
        EXPECT_GT(fast.obstacles.copies(), copies) << added;
    }
    EXPECT_GT(added, 20);
    const auto stirAndStep = [](auto& s) {
        s.setVelocity(16, 8, Vec2(0, 400));
        s.step();
        s.step();
    };
    twins.both(stirAndStep);
    ASSERT_TRUE(sameState(twins.fast, twins.reference)) << "after the refusal";

    ASSERT_EQ(add(square(0, 31, true)), ObstacleRefusal::None);
    EXPECT_LT(fast.obstacles.copies(), fast.copyLimit() / 4);
    EXPECT_EQ(add(lines[0]), ObstacleRefusal::None);
    twins.both(stirAndStep);
    ASSERT_TRUE(sameState(twins.fast, twins.reference)) << "after the lines were covered";
}

// Each flow with and without vorticity confinement, at its recommended speed, around the
// cylinder and an obstacle across the inflow and the lid, stirred and stepped.
TEST_P(SolverAgreement, EveryFlowWithAndWithoutSwirl) {
    const std::vector<Vec2> acrossTheWalls{{0, 10}, {12, 0}, {20, 14}};
    for (const Flow flow : kFlows) {
        for (const float swirl : {0.0f, 30.0f}) {
            Twins twins(100, 100, GetParam());
            const std::vector<Vec2> cylinder = cylinderPolygon(100);
            twins.both([&](auto& s) {
                s.setFlow(flow, flow == Flow::DrivenCavity ? kCavityLidSpeed : kTunnelInflowSpeed);
                s.setVorticityConfinement(swirl);
                s.addObstacle(cylinder.data(), static_cast<int>(cylinder.size()));
                s.addObstacle(acrossTheWalls.data(), 3);
            });
            for (int k = 0; k < 40; ++k) {
                twins.both([k](auto& s) {
                    if (k % 10 == 0) {
                        s.setVelocity(60, 30 + k, Vec2(-200, 150));
                    }
                    s.step();
                });
                ASSERT_TRUE(sameState(twins.fast, twins.reference))
                    << flowName(flow) << ", swirl " << swirl << ", step " << k;
            }
        }
    }
}
