#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <map>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

#include "InteriorScan.h"

namespace {

using Cells = std::vector<std::pair<int, int>>;

Cells scan(const std::vector<Vec2>& polygon) {
    Cells cells;
    for (const Vec2& c : scanInterior(polygon.data(), static_cast<int>(polygon.size()))) {
        cells.emplace_back(static_cast<int>(c.x), static_cast<int>(c.y));
    }
    return cells;
}

// Columns per row, in the order produced.
std::map<int, std::vector<int>> byRow(const Cells& cells) {
    std::map<int, std::vector<int>> rows;
    for (const auto& [c, r] : cells) {
        rows[r].push_back(c);
    }
    return rows;
}

std::vector<int> range(int from, int to) {
    std::vector<int> columns;
    for (int c = from; c <= to; ++c) {
        columns.push_back(c);
    }
    return columns;
}

std::vector<int> concat(std::vector<int> a, const std::vector<int>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

TEST(InteriorScanTest, SquareLosesItsLastColumnBelowTheFirstRow) {
    const std::vector<Vec2> clockwise{{10, 10}, {20, 10}, {20, 20}, {10, 20}};
    const std::vector<Vec2> counter{{10, 10}, {10, 20}, {20, 20}, {20, 10}};
    const Cells cells = scan(clockwise);
    ASSERT_EQ(cells.size(), 91u);
    EXPECT_EQ(scan(counter), cells);
    const auto rows = byRow(cells);
    EXPECT_EQ(rows.at(10), range(10, 19));
    for (int r = 11; r <= 19; ++r) {
        EXPECT_EQ(rows.at(r), range(10, 18)) << "row " << r;
    }
    EXPECT_EQ(rows.count(20), 0u);
}

// Rows upward and, within a row, columns upward: every cell comes after the one before it in
// that order, so none comes twice.
TEST(InteriorScanTest, TriangleRowByRowLeftToRight) {
    const Cells cells = scan({{10, 10}, {30, 15}, {12, 25}});
    EXPECT_EQ(cells.size(), 129u);
    const auto notAfter = [](const std::pair<int, int>& a, const std::pair<int, int>& b) {
        return std::tie(b.second, b.first) <= std::tie(a.second, a.first);
    };
    EXPECT_TRUE(std::adjacent_find(cells.begin(), cells.end(), notAfter) == cells.end());
    const auto rows = byRow(cells);
    EXPECT_EQ(rows.count(10), 0u);
    EXPECT_EQ(rows.at(11), range(11, 12));
    EXPECT_EQ(rows.at(15), range(11, 29));
    EXPECT_EQ(rows.at(24), range(12, 12));
    EXPECT_EQ(rows.count(25), 0u);
}

TEST(InteriorScanTest, UShapeKeepsItsNotchOutside) {
    const Cells cells =
        scan({{10, 10}, {14, 10}, {14, 20}, {20, 20}, {20, 10}, {24, 10}, {24, 24}, {10, 24}});
    EXPECT_EQ(cells.size(), 114u);
    const auto rows = byRow(cells);
    EXPECT_EQ(rows.at(10), concat(range(10, 13), range(20, 23)));
    for (int r = 11; r <= 19; ++r) {
        EXPECT_EQ(rows.at(r), concat(range(10, 12), range(20, 22))) << "row " << r;
    }
    for (int r = 20; r <= 23; ++r) {
        EXPECT_EQ(rows.at(r), range(10, 22)) << "row " << r;
    }
}

TEST(InteriorScanTest, DegeneratePolygons) {
    EXPECT_TRUE(scan({{10, 10}, {20, 10}, {30, 10}}).empty());

    // Zero area on one column still yields a strip one cell wide beside it, left of the grid for
    // column 0.
    const auto strip = [](int column) {
        Cells cells;
        for (int r = 11; r <= 20; ++r) {
            cells.emplace_back(column, r);
        }
        return cells;
    };
    EXPECT_EQ(scan({{10, 10}, {10, 20}, {10, 30}}), strip(9));
    EXPECT_EQ(scan({{0, 10}, {0, 20}, {0, 30}}), strip(-1));
}

// The edge that joins the active list second gets the odd-position remainder and steps to column
// -1, though it is the left edge of every span.
TEST(InteriorScanTest, PositionAtAppendingDecidesTheStepping) {
    const Cells cells = scan({{23, 15}, {0, 16}, {0, 6}, {8, 4}});
    EXPECT_EQ(cells.size(), 178u);
    const auto rows = byRow(cells);
    EXPECT_EQ(rows.at(5), range(4, 8));
    EXPECT_EQ(rows.at(6), range(0, 9));
    EXPECT_EQ(rows.at(7), range(-1, 11));
    EXPECT_EQ(rows.at(15), range(-1, 22));
    for (int r = 7; r <= 15; ++r) {
        EXPECT_EQ(rows.at(r).front(), -1) << "row " << r;
    }
}

TEST(InteriorScanTest, SelfIntersectionFillsByEvenOdd) {
    // A bow tie: its two triangles are inside, the wedges between its crossing edges are not.
    const Cells bowTie = scan({{10, 10}, {30, 30}, {30, 10}, {10, 30}});
    const std::set<std::pair<int, int>> bow(bowTie.begin(), bowTie.end());
    EXPECT_TRUE(bow.count({12, 20}));   // left triangle
    EXPECT_TRUE(bow.count({27, 20}));   // right triangle
    EXPECT_FALSE(bow.count({20, 12}));  // the top wedge is outside
    EXPECT_FALSE(bow.count({20, 27}));  // and the bottom one

    // A pentagram: the centre, covered twice, is outside; the points are inside.
    const Cells star = scan({{50, 10}, {62, 46}, {30, 24}, {70, 24}, {38, 46}});
    const std::set<std::pair<int, int>> pentagram(star.begin(), star.end());
    EXPECT_FALSE(pentagram.count({50, 30}));  // the centre pentagon
    EXPECT_TRUE(pentagram.count({50, 18}));   // the top point
    EXPECT_TRUE(pentagram.count({36, 26}));   // the left point
}

// Vertices that are not finite, or beyond the working range, give no cells, quickly: the scan
// would otherwise convert them to int (undefined for NaN and past the int range) or walk
// millions of rows.
TEST(InteriorScanTest, RefusesVerticesItCannotHandle) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (const float bad : {nan, inf, -inf, 1e30f, 3e9f, -3e9f, kScanRange + 1.0f}) {
        EXPECT_TRUE(scan({{10, 10}, {bad, 20}, {12, 25}}).empty()) << bad;
        EXPECT_TRUE(scan({{10, 10}, {30, 15}, {12, bad}}).empty()) << bad;
    }
    EXPECT_TRUE(scan({{0, -4e7f}, {1, 4e7f}, {2, 0}}).empty());  // the thin, tall triangle

    // Up to the edges of the range the scan still works (a rectangle's first row is whole, the
    // others lose their last column).
    const float r = kScanRange;
    EXPECT_EQ(scan({{-r, -r}, {-r + 4, -r}, {-r + 4, r}, {-r, r}}).size(), 4u + 2047u * 3u);
    EXPECT_EQ(scan({{-r, r - 4}, {r, r - 4}, {r, r}, {-r, r}}).size(), 2048u + 3u * 2047u);
}
