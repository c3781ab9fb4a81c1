#pragma once

#include <cmath>

// A two-component single-precision vector: a position or a velocity in cell units.
struct Vec2 {
    float x = 0.0f;
    float y = 0.0f;

    constexpr Vec2() = default;
    constexpr Vec2(float x_, float y_) : x(x_), y(y_) {}

    // |v| = sqrt(x*x + y*y), the sum of squares rounded to a float before the root.
    float length() const {
        const float squares = x * x + y * y;
        return std::sqrt(squares);
    }

    // v / |v|; the zero vector stays (0, 0).
    Vec2 normalized() const;

    // (-y, x): a quarter turn from +x towards +y (clockwise on screen, where y grows downward).
    constexpr Vec2 perpendicular() const { return Vec2(-y, x); }
};

constexpr Vec2 operator+(const Vec2& a, const Vec2& b) {
    return Vec2(a.x + b.x, a.y + b.y);
}
constexpr Vec2 operator-(const Vec2& a, const Vec2& b) {
    return Vec2(a.x - b.x, a.y - b.y);
}
constexpr Vec2 operator*(const Vec2& a, float s) {
    return Vec2(s * a.x, s * a.y);
}

// a / s, with division by zero giving (0, 0).
constexpr Vec2 operator/(const Vec2& a, float s) {
    return s == 0.0f ? Vec2() : Vec2(a.x / s, a.y / s);
}

constexpr float dot(const Vec2& a, const Vec2& b) {
    return a.x * b.x + a.y * b.y;
}

inline Vec2 Vec2::normalized() const {
    return *this / length();
}
