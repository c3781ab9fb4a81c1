#include "WallPass.h"

WallPass::WallPass(int width, int height, const std::vector<int>& storageIndex) {
    const auto at = [&](int i, int j) { return storageIndex[i + j * width]; };
    const int W = width;
    const int H = height;
    for (int j = 1; j <= H - 2; ++j) {
        left.cells.push_back(Link{at(0, j), at(1, j)});
        right.cells.push_back(Link{at(W - 1, j), at(W - 2, j)});
    }
    for (int i = 1; i <= W - 2; ++i) {
        top.cells.push_back(Link{at(i, 0), at(i, 1)});
        bottom.cells.push_back(Link{at(i, H - 1), at(i, H - 2)});
    }
    // Each corner from its two edge neighbours, in the order in which the two passes add them.
    vectorCorners[0] = Mean{at(0, 0), at(1, 0), at(0, 1)};
    vectorCorners[1] = Mean{at(W - 1, H - 1), at(W - 2, H - 1), at(W - 1, H - 2)};
    vectorCorners[2] = Mean{at(W - 1, 0), at(W - 1, 1), at(W - 2, 0)};
    vectorCorners[3] = Mean{at(0, H - 1), at(1, H - 1), at(0, H - 2)};
    scalarCorners[0] = Mean{at(0, 0), at(0, 1), at(1, 0)};
    scalarCorners[1] = Mean{at(W - 1, 0), at(W - 1, 1), at(W - 2, 0)};
    scalarCorners[2] = Mean{at(0, H - 1), at(0, H - 2), at(1, H - 1)};
    scalarCorners[3] = Mean{at(W - 1, H - 1), at(W - 1, H - 2), at(W - 2, H - 1)};
    setFlow(Flow::ClosedBox, 0.0f);
}

void WallPass::setFlow(Flow flow, float speed) {
    const Rule copy{Rule::Copy, 0.0f};
    const Rule zero{Rule::Set, 0.0f};
    const Rule still{Rule::Mirror, 0.0f};
    // Free-slip walls: the normal component 0, the tangential one and scalars copied.
    for (Edge* side : {&left, &right}) {
        side->x = zero;
        side->y = copy;
        side->scalar = copy;
    }
    for (Edge* end : {&top, &bottom}) {
        end->x = copy;
        end->y = zero;
        end->scalar = copy;
    }
    switch (flow) {
        case Flow::ClosedBox:
            break;
        case Flow::WindTunnel:
            // The inflow is fixed, so the pressure needs no value there; with the fluid free to
            // leave at a zero-gradient outflow, the net flux through the walls is not zero, and a
            // pressure with zero normal derivative all round would have no solution: p = 0 at the
            // outflow pins it, as open air beyond the outlet would.
            left.x = Rule{Rule::Set, speed};
            left.y = zero;
            right.x = copy;
            right.y = copy;
            right.scalar = zero;
            break;
        case Flow::DrivenCavity:
            // The lid's ghost cells: u = 2 * U - u(interior), v = -v(interior).
            left.x = left.y = right.x = right.y = bottom.x = bottom.y = top.y = still;
            top.x = Rule{Rule::Mirror, 2.0f * speed};
            break;
    }
}

void WallPass::applyScalar(float* s) const {
    const auto cell = [s](int k) -> float& { return s[k]; };
    for (const Edge* edge : {&top, &bottom, &left, &right}) {
        applyRule(edge->cells, edge->scalar, cell);
    }
    for (const Mean& m : scalarCorners) {
        s[m.target] = 0.5f * (s[m.first] + s[m.second]);
    }
}
