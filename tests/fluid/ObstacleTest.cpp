#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <utility>
#include <vector>

#include "FluidSolver.h"
#include "Obstacle.h"

namespace {

constexpr int kSize = 100;

Obstacle makeObstacle(const std::vector<Vec2>& polygon) {
    return Obstacle(polygon.data(), static_cast<int>(polygon.size()), kSize, kSize);
}

void expectVec(const Vec2& actual, float x, float y) {
    EXPECT_NEAR(actual.x, x, 1e-6);
    EXPECT_NEAR(actual.y, y, 1e-6);
}

void expectRecord(const BoundaryCell& r, Vec2 cell, Vec2 tangent, Vec2 neighbour) {
    expectVec(r.cell, cell.x, cell.y);
    expectVec(r.tangent, tangent.x, tangent.y);
    expectVec(r.neighbour, neighbour.x, neighbour.y);
}

bool insideGrid(const Vec2& c) {
    return c.x >= 0 && c.x < kSize && c.y >= 0 && c.y < kSize;
}

// n(i, j) = 1000 + i + 100 j, the value of cell (i, j) in a numbered field: a value copied from
// elsewhere names the cell it came from.
float n(int i, int j) {
    return static_cast<float>(1000 + i + 100 * j);
}

// Scalar cells n(i, j); vector cells (-n(i, j), n(i, j)).
void number(ScalarField& s) {
    for (int j = 0; j < s.height; ++j) {
        for (int i = 0; i < s.width; ++i) {
            s.set(i, j, n(i, j));
        }
    }
}
void number(VectorField& v) {
    for (int j = 0; j < v.height; ++j) {
        for (int i = 0; i < v.width; ++i) {
            v.set(i, j, Vec2(-n(i, j), n(i, j)));
        }
    }
}

const std::vector<Vec2> kClockwiseSquare{{10, 10}, {20, 10}, {20, 20}, {10, 20}};
const std::vector<Vec2> kCounterSquare{{10, 10}, {10, 20}, {20, 20}, {20, 10}};

}  // namespace

// A neighbour lies a quarter turn from the direction of travel towards increasing rows: inside a
// square walked clockwise on the screen, outside one walked the other way.
TEST(ObstacleTest, SquareOutlinesHaveTheirNeighboursInsideOrOutside) {
    const Obstacle clockwise = makeObstacle(kClockwiseSquare);
    const Obstacle counter = makeObstacle(kCounterSquare);
    ASSERT_EQ(clockwise.boundaryCount, 40);
    ASSERT_EQ(clockwise.boundaryCells.size(), 40u);
    ASSERT_EQ(counter.boundaryCount, 40);
    EXPECT_EQ(clockwise.interiorCount, 91);

    expectRecord(clockwise.boundaryCells[0], {11, 10}, {1, 0}, {11, 11});
    expectRecord(clockwise.boundaryCells[9], {20, 10}, {0.7071068f, 0.7071068f}, {19, 11});
    expectRecord(clockwise.boundaryCells[39], {10, 10}, {0.7071068f, -0.7071068f}, {11, 11});
    expectRecord(counter.boundaryCells[0], {10, 11}, {0, 1}, {9, 11});
    expectRecord(counter.boundaryCells[39], {10, 10}, {-0.7071068f, 0.7071068f}, {9, 9});
    for (int k = 0; k < 40; ++k) {
        const Vec2 in = clockwise.boundaryCells[k].neighbour;
        const Vec2 out = counter.boundaryCells[k].neighbour;
        EXPECT_TRUE(in.x > 10 && in.x < 20 && in.y > 10 && in.y < 20) << in.x << ", " << in.y;
        EXPECT_TRUE(out.x < 10 || out.x > 20 || out.y < 10 || out.y > 20) << out.x << ", " << out.y;
    }
}

TEST(ObstacleTest, VectorPassKeepsTheComponentAlongTheOutline) {
    Obstacle obstacle = makeObstacle(kClockwiseSquare);
    obstacle.boundaryCells = {
        BoundaryCell{Vec2(40, 40), Vec2(1, 0), Vec2(41, 41)},
        BoundaryCell{Vec2(50, 50), Vec2(0.7071068f, 0.7071068f), Vec2(41, 41)},
    };
    obstacle.interiorCells = {Vec2(41, 41)};
    VectorField v(kSize, kSize);
    v.set(41, 41, Vec2(3, 4));
    obstacle.applyToVectorField(v);
    expectVec(v.at(40, 40), 3, 0);
    EXPECT_NEAR(v.at(50, 50).x, 3.5f, 1e-5);
    EXPECT_NEAR(v.at(50, 50).y, 3.5f, 1e-5);
    expectVec(v.at(41, 41), 0, 0);  // interior zeroed after the outline
}

// The clockwise square's records copy the cell one step inside: each edge the row or column next
// to it, each corner its diagonal. All copies are made, in record order, before the interior
// (rows 10 to 19, columns 10 to 18, and column 19 of row 10) is zeroed.
TEST(ObstacleTest, ScalarPassCopiesInRecordOrderThenZeroesTheInterior) {
    Obstacle square = makeObstacle(kClockwiseSquare);
    // One record more, after the outline: it reads (20, 15), which the right-hand edge wrote.
    square.boundaryCells.push_back(BoundaryCell{Vec2(21, 15), Vec2(0, 1), Vec2(20, 15)});
    ScalarField s(kSize, kSize);
    number(s);
    square.applyToScalarField(s);
    for (int k = 11; k <= 19; ++k) {
        EXPECT_EQ(s.at(20, k), n(19, k)) << "right-hand edge, row " << k;
        EXPECT_EQ(s.at(k, 20), n(k, 19)) << "bottom edge, column " << k;  // copied, then zeroed
        EXPECT_EQ(s.at(k, 10), 0.0f) << "top edge, column " << k;         // also interior
        EXPECT_EQ(s.at(10, k), 0.0f) << "left-hand edge, row " << k;      // also interior
    }
    const struct {
        int i;
        int j;
        float value;
    } cells[] = {
        {20, 10, n(19, 11)}, {20, 20, n(19, 19)}, {10, 20, n(11, 19)},  // corners
        {10, 10, 0.0f},      {15, 15, 0.0f},      {19, 19, n(19, 19)},  // inside
        {21, 15, n(19, 15)}, {21, 14, n(21, 14)}, {25, 25, n(25, 25)},  // outside
    };
    for (const auto& c : cells) {
        EXPECT_EQ(s.at(c.i, c.j), c.value) << "cell " << c.i << ", " << c.j;
    }
}

// Cell (20, 15) lies on the right-hand outline of the first square, which copies (19, 15) into
// it, and inside the second, which zeroes it: in the order added it ends at 0, in the reverse
// order, or without the second square, with the value of (19, 15).
TEST(ObstacleTest, SolverImposesObstaclesInTheOrderAdded) {
    FluidSolver solver(kSize, kSize, 0.001f, 0.01f, 20);
    solver.clearObstacles();  // on an empty list: nothing happens
    EXPECT_TRUE(solver.obstacles.empty());
    solver.addObstacle(kClockwiseSquare.data(), 4);
    const std::vector<Vec2> second{{20, 12}, {30, 12}, {30, 18}, {20, 18}};
    solver.addObstacle(second.data(), 4);
    ASSERT_EQ(solver.obstacles.size(), 2);

    ScalarField s(kSize, kSize);
    VectorField v(kSize, kSize);
    number(s);
    number(v);
    solver.setScalarBoundary(s);
    solver.setVectorBoundary(v);
    EXPECT_EQ(s.at(20, 15), 0.0f);
    expectVec(v.at(20, 15), 0, 0);
    // Above the second square the first one's outline keeps its copy.
    EXPECT_EQ(s.at(20, 11), n(19, 11));
    expectVec(v.at(20, 11), 0, n(19, 11));

    solver.clearObstacles();
    EXPECT_TRUE(solver.obstacles.empty());
    number(s);
    number(v);
    solver.setScalarBoundary(s);
    solver.setVectorBoundary(v);
    EXPECT_EQ(s.at(20, 15), n(20, 15));
    expectVec(v.at(15, 12), -n(15, 12), n(15, 12));
}

// A jet against a wall. Behind the wall the flow all but stops, where it crosses freely without
// the wall; and no flow crosses the outline: where the last record to write a cell is not
// overwritten by the interior, the velocity lies along that record's tangent, t x v = 0.
TEST(ObstacleTest, ObstaclesShapeTheFlow) {
    FluidSolver walled(kSize, kSize, 0.001f, 0.01f, 20);
    FluidSolver open(kSize, kSize, 0.001f, 0.01f, 20);
    const std::vector<Vec2> wall{{40, 20}, {40, 80}, {45, 80}, {45, 20}};
    walled.addObstacle(wall.data(), 4);
    for (FluidSolver* solver : {&walled, &open}) {
        solver->setVelocity(30, 50, Vec2(500, 0));
        for (int k = 0; k < 20; ++k) {
            solver->step();
        }
    }
    const auto flowBehindTheWall = [](const FluidSolver& solver) {
        float sum = 0.0f;
        for (int j = 20; j <= 80; ++j) {
            sum += solver.velocity.at(46, j).x;
        }
        return sum;
    };
    EXPECT_GT(flowBehindTheWall(open), 10.0f);
    EXPECT_LT(std::fabs(flowBehindTheWall(walled)), 0.01f * flowBehindTheWall(open));

    std::map<std::pair<int, int>, Vec2> tangents;
    for (const BoundaryCell& r : walled.obstacles[0].boundaryCells) {
        tangents[{static_cast<int>(r.cell.x), static_cast<int>(r.cell.y)}] = r.tangent;
    }
    for (const Vec2& c : walled.obstacles[0].interiorCells) {
        tangents.erase({static_cast<int>(c.x), static_cast<int>(c.y)});
    }
    int moving = 0;
    for (const auto& [cell, t] : tangents) {
        const Vec2 v = walled.velocity.at(cell.first, cell.second);
        EXPECT_LE(std::fabs(t.x * v.y - t.y * v.x), 1e-6f * v.length())
            << "cell " << cell.first << ", " << cell.second;
        moving += v.length() > 0.0f;
    }
    EXPECT_GT(moving, 20);
}

// Outlines along the last column point their neighbours one column past the grid; polygons on
// column 0 scan interior cells in column -1. Neither may reach outside the field.
TEST(ObstacleTest, CellsNearTheEdgesStayInsideTheGrid) {
    const Obstacle right = makeObstacle({{90, 10}, {90, 30}, {99, 30}, {99, 10}});
    const Obstacle left = makeObstacle({{0, 10}, {0, 20}, {0, 30}});
    const Obstacle bottom = makeObstacle({{10, 99}, {30, 99}, {20, 90}});
    for (const Obstacle* obstacle : {&right, &left, &bottom}) {
        ASSERT_GT(obstacle->boundaryCount, 0);
        for (const BoundaryCell& r : obstacle->boundaryCells) {
            EXPECT_TRUE(insideGrid(r.cell) && insideGrid(r.neighbour));
        }
        for (const Vec2& c : obstacle->interiorCells) {
            EXPECT_TRUE(insideGrid(c));
        }
    }
    EXPECT_EQ(left.interiorCount, 0);  // the strip in column -1 is dropped
    // Right-hand edge walked upward along column 99: its outward neighbours are clamped to 99.
    bool clamped = false;
    for (const BoundaryCell& r : right.boundaryCells) {
        clamped = clamped || (r.cell.x == 99 && r.neighbour.x == 99);
    }
    EXPECT_TRUE(clamped);

    // Written through the field's storage, the strip's cell (-1, 16) would land on (99, 15), the
    // last cell of the row above, and zero it: the wall rule's copy of (98, 15) must stay.
    FluidSolver solver(kSize, kSize, 0.001f, 0.01f, 20);
    const std::vector<Vec2> strip{{0, 10}, {0, 20}, {0, 30}};
    solver.addObstacle(strip.data(), 3);
    VectorField v(kSize, kSize);
    v.set(98, 15, Vec2(0, 5));
    v.set(99, 15, Vec2(0, 7));
    solver.setVectorBoundary(v);
    EXPECT_EQ(v.at(99, 15).y, 5.0f);
}

TEST(ObstacleTest, UnsoundPolygonsAreBoundedOrRefused) {
    FluidSolver solver(kSize, kSize, 0.001f, 0.01f, 20);
    const std::vector<Vec2> triangle{{10, 10}, {30, 10}, {20, 30}};
    solver.addObstacle(nullptr, 3);
    solver.addObstacle(triangle.data(), 2);
    solver.addObstacle(triangle.data(), 0);
    EXPECT_TRUE(solver.obstacles.empty());

    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<Vec2> notFinite{{10, 10}, {nan, 10}, {20, 30}};
    solver.addObstacle(notFinite.data(), 3);
    const std::vector<Vec2> farAway{{10, 10}, {1e9f, 10}, {20, 30}};
    solver.addObstacle(farAway.data(), 3);
    EXPECT_TRUE(solver.obstacles.empty());

    // Fractional vertices never reach their end cell exactly: the walk stops by its bound.
    const std::vector<Vec2> fractional{{10.3f, 10.6f}, {30.7f, 10.2f}, {20.4f, 30.9f}};
    solver.addObstacle(fractional.data(), 3);
    ASSERT_EQ(solver.obstacles.size(), 1);
    EXPECT_LT(solver.obstacles[0].boundaryCount, 100);

    // Partly outside the grid: only the cells inside it are kept.
    const std::vector<Vec2> overhang{{-20, 50}, {50, -20}, {120, 50}, {50, 120}};
    solver.addObstacle(overhang.data(), 4);
    ASSERT_EQ(solver.obstacles.size(), 2);
    const Obstacle& big = solver.obstacles[1];
    EXPECT_GT(big.interiorCount, 0);
    for (const BoundaryCell& r : big.boundaryCells) {
        EXPECT_TRUE(insideGrid(r.cell));
    }
    solver.setVelocity(50, 50, Vec2(1, 1));
    solver.step();
}

TEST(ObstacleTest, RepeatedVerticesGiveZeroTangents) {
    const Obstacle obstacle = makeObstacle({{10, 10}, {10, 10}, {10, 10}});
    ASSERT_EQ(obstacle.boundaryCount, 3);
    for (const BoundaryCell& r : obstacle.boundaryCells) {
        expectVec(r.cell, 10, 10);
        expectVec(r.tangent, 0, 0);
        expectVec(r.neighbour, 10, 10);
    }
    VectorField v(kSize, kSize);
    v.set(10, 10, Vec2(5, 5));
    obstacle.applyToVectorField(v);
    expectVec(v.at(10, 10), 0, 0);
}

// A neighbour is R(cell + m) per axis, R(v) = v + 0.5 truncated, the sum never rounded to a float:
// where m lies within a float's rounding of -0.5, a float sum lands on the half and the next cell.
TEST(ObstacleTest, NeighboursRoundFromTheUnroundedSum) {
    const Obstacle triangle = makeObstacle({{99, 28}, {0, 65}, {57, 18}});
    const BoundaryCell* corner = nullptr;
    for (const BoundaryCell& r : triangle.boundaryCells) {
        if (r.cell.x == 0 && r.cell.y == 65) {
            corner = &r;
        }
    }
    ASSERT_NE(corner, nullptr);
    EXPECT_FLOAT_EQ(corner->tangent.x, -0.500002205f);  // m.y = tangent.x: 65 - 0.500002205 + 0.5
    EXPECT_FLOAT_EQ(corner->tangent.y, -0.866024077f);
    expectVec(corner->neighbour, 1, 64);

    // Corners of this kind are rare (a few in a million triangles); these have one each, in
    // different directions. Every record must follow the rule worked in long double.
    const std::vector<std::vector<Vec2>> polygons{{{99, 28}, {0, 65}, {57, 18}},
                                                  {{4, 75}, {50, 50}, {99, 20}},
                                                  {{21, 30}, {50, 50}, {90, 69}},
                                                  {{23, 9}, {50, 50}, {33, 49}},
                                                  {{0, 87}, {50, 50}, {27, 60}}};
    const auto rule = [](float c, float d) {
        return static_cast<float>(static_cast<long long>(static_cast<long double>(c) +
                                                         static_cast<long double>(d) + 0.5L));
    };
    const auto floatRule = [](float c, float d) {
        return static_cast<float>(static_cast<int>(c + d + 0.5f));
    };
    for (const std::vector<Vec2>& polygon : polygons) {
        int floatSumWouldMiss = 0;
        // On a large grid, so that no neighbour is clamped to the edge.
        const Obstacle obstacle(polygon.data(), static_cast<int>(polygon.size()), 1000, 1000);
        for (const BoundaryCell& r : obstacle.boundaryCells) {
            const Vec2 m = r.tangent.perpendicular();
            EXPECT_EQ(r.neighbour.x, rule(r.cell.x, m.x)) << polygon[0].x << ", " << polygon[0].y;
            EXPECT_EQ(r.neighbour.y, rule(r.cell.y, m.y)) << polygon[0].x << ", " << polygon[0].y;
            floatSumWouldMiss += floatRule(r.cell.x, m.x) != r.neighbour.x ||
                                 floatRule(r.cell.y, m.y) != r.neighbour.y;
        }
        EXPECT_GT(floatSumWouldMiss, 0) << polygon[0].x << ", " << polygon[0].y;
    }
}

// The solver keeps only each obstacle's polygon: looking at one builds it again, record for
// record and cell for cell; one appended as an Obstacle stays as it was. The union of the
// interiors is kept as a mask of cells, which the dye reads.
TEST(ObstacleTest, TheSolverBuildsEachObstacleAgainAndKeepsTheUnionOfInteriors) {
    const std::vector<std::vector<Vec2>> polygons{kClockwiseSquare,
                                                  kCounterSquare,
                                                  {{15, 5}, {60, 30}, {5, 70}, {40, 12}},
                                                  {{-20, 50}, {50, -20}, {120, 50}, {50, 120}}};
    FluidSolver solver(kSize, kSize, 0.001f, 0.01f, 20);
    for (const std::vector<Vec2>& polygon : polygons) {
        solver.addObstacle(polygon.data(), static_cast<int>(polygon.size()));
    }
    Obstacle edited = makeObstacle({{70, 70}, {90, 70}, {80, 90}});
    edited.boundaryCells.resize(3);
    edited.interiorCells.push_back(Vec2(3, 95));
    solver.obstacles.append(edited);
    ASSERT_EQ(solver.obstacles.size(), 5);

    const auto same = [](const Obstacle& a, const Obstacle& b) {
        const auto bits = [](const auto& cells) {
            const auto* first = reinterpret_cast<const unsigned char*>(cells.data());
            return std::vector<unsigned char>(first, first + cells.size() * sizeof cells[0]);
        };
        return bits(a.boundaryCells) == bits(b.boundaryCells) &&
               bits(a.interiorCells) == bits(b.interiorCells) &&
               a.boundaryCount == b.boundaryCount && a.interiorCount == b.interiorCount;
    };
    std::vector<unsigned char> interior(kSize * kSize, 0);
    int k = 0;
    for (const Obstacle& obstacle : solver.obstacles) {
        EXPECT_TRUE(same(obstacle, k < 4 ? makeObstacle(polygons[k]) : edited)) << k;
        EXPECT_TRUE(same(obstacle, solver.obstacles[k])) << k;
        for (const Vec2& c : obstacle.interiorCells) {
            interior[static_cast<int>(c.x) + static_cast<int>(c.y) * kSize] = 1;
        }
        ++k;
    }
    EXPECT_EQ(solver.obstacles.interiorMask(), interior);
    solver.clearObstacles();
    EXPECT_EQ(solver.obstacles.interiorMask(), std::vector<unsigned char>(kSize * kSize, 0));
}
