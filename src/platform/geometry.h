// Points and rectangles in the window system's convention: a rectangle
// covers [left, right) x [top, bottom).
#pragma once

#include <cstdint>

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

inline std::int32_t rect_width(const Rect& r) { return r.right - r.left; }
inline std::int32_t rect_height(const Rect& r) { return r.bottom - r.top; }
