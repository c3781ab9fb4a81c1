// Obstacles from any vertices, added to a solver that then stirs and steps around them.
#include <cmath>
#include <vector>

#include "FluidSolver.h"
#include "FuzzInput.h"

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
    FluidSolver solver(kSize, kSize, 0.001f, 0.01f, 2 + in.below(4));
    const int polygons = 1 + in.below(3);
    for (int p = 0; p < polygons; ++p) {
        std::vector<Vec2> vertices(in.below(4) == 0 ? in.below(101) : in.below(9));
        bool clickable = vertices.size() >= 3;  // what the mouse can give: whole cells in the grid
        for (Vec2& v : vertices) {
            v.x = in.coordinate();
            v.y = in.coordinate();
            clickable = clickable && isWholeInGrid(v);
        }
        const int before = solver.obstacles.size();
        solver.addObstacle(vertices.data(), static_cast<int>(vertices.size()));
        FUZZ_CHECK(!clickable || solver.obstacles.size() == before + 1);
    }

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
        solver.setVelocity(in.below(kSize), in.below(kSize), Vec2(sx, sy));
    }
    solver.setViscosityEnabled(in.below(2) == 0);
    for (int k = 1 + in.below(2); k > 0; --k) {
        solver.step();
    }
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
