#include <gtest/gtest.h>

#include <stdexcept>

#include "ScalarField.h"
#include "Vec2.h"
#include "VectorField.h"

TEST(Vec2Test, ArithmeticAndGeometry) {
    const Vec2 a(3.0f, 4.0f);
    EXPECT_FLOAT_EQ(a.length(), 5.0f);
    EXPECT_FLOAT_EQ(dot(a, Vec2(2.0f, -1.0f)), 2.0f);

    const Vec2 half = a / 2.0f;
    EXPECT_EQ(half.x, 1.5f);
    EXPECT_EQ(half.y, 2.0f);
    const Vec2 byZero = a / 0.0f;
    EXPECT_EQ(byZero.x, 0.0f);
    EXPECT_EQ(byZero.y, 0.0f);

    const Vec2 unit = a.normalized();
    EXPECT_FLOAT_EQ(unit.x, 0.6f);
    EXPECT_FLOAT_EQ(unit.y, 0.8f);
    const Vec2 zero = Vec2().normalized();
    EXPECT_EQ(zero.x, 0.0f);
    EXPECT_EQ(zero.y, 0.0f);

    // A quarter turn from +x towards +y.
    EXPECT_EQ(Vec2(1, 0).perpendicular().x, 0.0f);
    EXPECT_EQ(Vec2(1, 0).perpendicular().y, 1.0f);
    EXPECT_EQ(Vec2(0, 1).perpendicular().x, -1.0f);
    EXPECT_EQ(Vec2(0, 1).perpendicular().y, 0.0f);
}

TEST(GridFieldTest, SpacingUsesTruncatedMeanSize) {
    EXPECT_EQ(VectorField(100, 100).spacing, static_cast<float>(1.0 / 98));
    EXPECT_EQ(ScalarField(101, 100).spacing, static_cast<float>(1.0 / 98));
    EXPECT_EQ(ScalarField(3, 3).spacing, 1.0f);
}

TEST(GridFieldTest, StorageIsRowAfterRow) {
    VectorField v(100, 100);
    EXPECT_EQ(v.index(3, 2), 203);
    v.set(3, 2, Vec2(7, 8));
    EXPECT_EQ(v.data[203].x, 7.0f);
    EXPECT_EQ(v.at(3, 2).y, 8.0f);
    for (const Vec2& cell : VectorField(10, 7).data) {
        EXPECT_EQ(cell.x, 0.0f);
        EXPECT_EQ(cell.y, 0.0f);
    }
}

TEST(GridFieldTest, RejectsGridsWithoutInterior) {
    EXPECT_THROW(VectorField(2, 100), std::invalid_argument);
    EXPECT_THROW(ScalarField(100, 2), std::invalid_argument);
    EXPECT_THROW(ScalarField(0, 0), std::invalid_argument);
    EXPECT_THROW(VectorField(-5, 10), std::invalid_argument);
    EXPECT_THROW(VectorField(100000, 100000), std::invalid_argument);
    EXPECT_NO_THROW(VectorField(3, 3));
}

TEST(VectorFieldTest, CopyFromOnlyBetweenEqualSizes) {
    VectorField source(100, 100);
    source.set(5, 6, Vec2(1, 2));
    VectorField same(100, 100);
    same.copyFrom(source);
    EXPECT_EQ(same.at(5, 6).x, 1.0f);
    EXPECT_EQ(same.at(5, 6).y, 2.0f);

    VectorField shorter(100, 99);
    shorter.set(5, 6, Vec2(9, 9));
    shorter.copyFrom(source);
    EXPECT_EQ(shorter.at(5, 6).x, 9.0f);
    source.copyFrom(shorter);
    EXPECT_EQ(source.at(5, 6).x, 1.0f);
}

TEST(ScalarFieldTest, ClearZeroesEveryCell) {
    ScalarField s(5, 4);
    for (float& cell : s.data) {
        cell = 3.0f;
    }
    s.clear();
    for (float cell : s.data) {
        EXPECT_EQ(cell, 0.0f);
    }
}

// A cell outside the field is a caller's bug: (-1, j) would silently address the row above.
TEST(GridFieldDeathTest, AccessOutsideTheFieldAsserts) {
#ifdef NDEBUG
    GTEST_SKIP() << "assertions are compiled out of this build";
#else
    ScalarField s(10, 10);
    EXPECT_DEATH(s.at(-1, 5), "contains");
    EXPECT_DEATH(s.set(3, 10, 1.0f), "contains");
#endif
}
