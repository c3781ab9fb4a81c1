#pragma once

#include <atomic>
#include <cstdint>
#include <utility>
#include <vector>

#include "Obstacle.h"

// The solver's obstacles, in the order in which they were added; owns them.
class ObstacleList {
public:
    void append(Obstacle obstacle) {
        items.push_back(std::move(obstacle));
        stamp = nextStamp();
    }
    void clear() {
        items.clear();
        stamp = nextStamp();
    }
    bool empty() const { return items.empty(); }
    int size() const { return static_cast<int>(items.size()); }
    const Obstacle& operator[](int k) const { return items[k]; }

    std::vector<Obstacle>::const_iterator begin() const { return items.begin(); }
    std::vector<Obstacle>::const_iterator end() const { return items.end(); }

    // Changes whenever the contents change. Stamps are unique in the process, so two lists with
    // the same revision hold the same obstacles (a copy keeps its original's revision).
    std::uint64_t revision() const { return stamp; }

private:
    static std::uint64_t nextStamp() {
        static std::atomic<std::uint64_t> counter{0};
        return ++counter;
    }

    std::vector<Obstacle> items;
    std::uint64_t stamp = 0;  // every empty list holds the same obstacles: none
};
