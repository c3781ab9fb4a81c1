// Obstacles from any vertices, added to a solver that then stirs and steps around them, and to
// the straightforward solver, which applies every obstacle in turn: the folded pass must give
// the same bits.
#include <algorithm>
#include <cmath>
#include <vector>

#include "FluidSolver.h"
#include "FluidTestSupport.h"
#include "FuzzInput.h"
#include "ReferenceSolver.h"

namespace {

constexpr int kSize = 100;

bool insideGrid(const Vec2& c) {
    return c.x >= 0 && c.x < kSize && c.y >= 0 && c.y < kSize;
}

bool isWholeInGrid(const Vec2& v) {
    return v.x == std::floor(v.x) && v.y == std::floor(v.y) && insideGrid(v);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const int sweeps = 2 + in.below(4);
    FluidSolver solver(kSize, kSize, 0.001f, 0.01f, sweeps);
    ReferenceSolver reference(kSize, kSize, 0.001f, 0.01f, sweeps);
    // Now and then the same polygons again, stacked on the first ones.
    const int polygons = 1 + in.below(3);
    const int repeats = in.below(4) == 0 ? 1 + in.below(8) : 1;
    std::vector<std::vector<Vec2>> made;
    for (int p = 0; p < polygons; ++p) {
        std::vector<Vec2> vertices(in.below(4) == 0 ? in.below(101) : in.below(9));
        for (Vec2& v : vertices) {
            v.x = in.coordinate();
            v.y = in.coordinate();
        }
        made.push_back(vertices);
    }
    for (int r = 0; r < repeats; ++r) {
        for (const std::vector<Vec2>& vertices : made) {
            const int n = static_cast<int>(vertices.size());
            const int before = solver.obstacles.size();
            const ObstacleRefusal refusal = solver.tryAddObstacle(vertices.data(), n);
            // What the mouse can give, whole cells in the grid, is refused only past the limit.
            const bool clickable =
                n >= 3 && std::all_of(vertices.begin(), vertices.end(), isWholeInGrid);
            FUZZ_CHECK(!clickable || refusal != ObstacleRefusal::Unbuildable);
            FUZZ_CHECK(solver.obstacles.size() == before + (refusal == ObstacleRefusal::None));
            FUZZ_CHECK(solver.obstacles.copies() <= solver.copyLimit());
            if (refusal == ObstacleRefusal::None) {
                reference.addObstacle(vertices.data(), n);
            }
        }
    }
    FUZZ_CHECK(solver.obstacles.size() == reference.obstacles.size());

    for (const Obstacle& obstacle : solver.obstacles) {
        FUZZ_CHECK(obstacle.boundaryCount == static_cast<int>(obstacle.boundaryCells.size()));
        FUZZ_CHECK(obstacle.interiorCount == static_cast<int>(obstacle.interiorCells.size()));
        for (const BoundaryCell& r : obstacle.boundaryCells) {
            FUZZ_CHECK(insideGrid(r.cell) && insideGrid(r.neighbour));
            FUZZ_CHECK(std::fabs(r.cell.x - r.neighbour.x) <= 1 &&
                       std::fabs(r.cell.y - r.neighbour.y) <= 1);
        }
        for (const Vec2& c : obstacle.interiorCells) {
            FUZZ_CHECK(insideGrid(c));
        }
    }

    // Stirs of any size a drag can give, anywhere, then steps: the field stays finite and the
    // last obstacle, imposed last, leaves its interior at rest.
    for (int k = in.below(4); k > 0; --k) {
        const float sx = static_cast<float>(static_cast<int>(in.word() % 64001) - 32000);
        const float sy = static_cast<float>(static_cast<int>(in.word() % 64001) - 32000);
        const int i = in.below(kSize);
        const int j = in.below(kSize);
        solver.setVelocity(i, j, Vec2(sx, sy));
        reference.setVelocity(i, j, Vec2(sx, sy));
    }
    const bool viscosity = in.below(2) == 0;
    solver.setViscosityEnabled(viscosity);
    reference.setViscosityEnabled(viscosity);
    for (int k = 1 + in.below(2); k > 0; --k) {
        solver.step();
        reference.step();
    }
    FUZZ_CHECK(fluidtest::sameField(solver.velocity, reference.velocity));
    FUZZ_CHECK(fluidtest::sameField(solver.scratchVelocity, reference.scratchVelocity));
    FUZZ_CHECK(fluidtest::sameField(solver.pressure, reference.pressure));
    for (const Vec2& v : solver.velocity.data) {
        FUZZ_CHECK(std::isfinite(v.x) && std::isfinite(v.y));
    }
    if (!solver.obstacles.empty()) {
        const Obstacle& last = solver.obstacles[solver.obstacles.size() - 1];
        for (const Vec2& c : last.interiorCells) {
            const Vec2 v = solver.velocity.at(static_cast<int>(c.x), static_cast<int>(c.y));
            FUZZ_CHECK(v.x == 0.0f && v.y == 0.0f);
        }
    }
    return 0;
}
