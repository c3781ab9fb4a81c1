#pragma once

#include <vector>

#include "Flow.h"

// The walls of the grid for one flow, the first part of a boundary pass (BoundaryPass), worked
// out once for one storage layout. Each edge cell other than a corner is written from its
// interior neighbour or from a constant, never from another edge cell, so the four edges may be
// done in any order; the corners come last, each the mean of its two edge neighbours.
class WallPass {
public:
    // storageIndex[i + j * width] is the storage index of cell (i, j). Starts as the closed box.
    WallPass(int width, int height, const std::vector<int>& storageIndex);

    // The rules of a flow whose moving wall or inflow has the given speed.
    void setFlow(Flow flow, float speed);

    // Cells is an accessor with x(k) and y(k), references to the components of storage cell k.
    template <typename Cells>
    void applyVector(Cells v) const;
    void applyScalar(float* s) const;

private:
    struct Link {  // an edge cell and its interior neighbour
        int target;
        int source;
    };
    struct Mean {  // target = 0.5 * (first + second)
        int target;
        int first;
        int second;
    };
    // What one component of an edge cell becomes.
    struct Rule {
        enum Kind { Copy, Set, Mirror } kind;
        float value;  // Set: the value; Mirror: twice the wall's value, target = value - source
    };
    // The edge cells of one wall, with the rules of its velocity components and of scalars.
    struct Edge {
        std::vector<Link> cells;
        Rule x;
        Rule y;
        Rule scalar;
    };

    template <typename Component>
    static void applyRule(const std::vector<Link>& cells, Rule rule, Component c);

    // Columns 0 and width - 1, whose normal is x; rows 0 and height - 1, whose normal is y.
    Edge left;
    Edge right;
    Edge top;
    Edge bottom;
    Mean vectorCorners[4];
    Mean scalarCorners[4];
};

template <typename Component>
void WallPass::applyRule(const std::vector<Link>& cells, Rule rule, Component c) {
    switch (rule.kind) {
        case Rule::Copy:
            for (const Link& l : cells) {
                c(l.target) = c(l.source);
            }
            break;
        case Rule::Set:
            for (const Link& l : cells) {
                c(l.target) = rule.value;
            }
            break;
        case Rule::Mirror:
            // Ghost cell: boundary = 2 * wall - interior, so that their mean is the wall's value.
            for (const Link& l : cells) {
                c(l.target) = rule.value - c(l.source);
            }
            break;
    }
}

template <typename Cells>
void WallPass::applyVector(Cells v) const {
    for (const Edge* edge : {&left, &right, &top, &bottom}) {
        applyRule(edge->cells, edge->x, [&v](int k) -> float& { return v.x(k); });
        applyRule(edge->cells, edge->y, [&v](int k) -> float& { return v.y(k); });
    }
    for (const Mean& m : vectorCorners) {
        v.x(m.target) = 0.5f * (v.x(m.first) + v.x(m.second));
        v.y(m.target) = 0.5f * (v.y(m.first) + v.y(m.second));
    }
}
