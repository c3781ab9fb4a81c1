#pragma once

#include <utility>
#include <vector>

#include "Obstacle.h"

// The solver's obstacles, in the order in which they were added; owns them.
class ObstacleList {
public:
    void append(Obstacle obstacle) { items.push_back(std::move(obstacle)); }
    void clear() { items.clear(); }
    bool empty() const { return items.empty(); }
    int size() const { return static_cast<int>(items.size()); }
    const Obstacle& operator[](int k) const { return items[k]; }

    std::vector<Obstacle>::const_iterator begin() const { return items.begin(); }
    std::vector<Obstacle>::const_iterator end() const { return items.end(); }

private:
    std::vector<Obstacle> items;
};
