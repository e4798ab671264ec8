#pragma once

// BPoint, a plain value type of the interface kit. It lives in the support
// kit here because messages (the application kit) carry points, and the
// application kit sits below the interface kit in our layering.

#include <SupportDefs.h>

class BRect;

class BPoint {
public:
    float x = 0;
    float y = 0;

    constexpr BPoint() = default;
    constexpr BPoint(float px, float py)
        : x(px)
        , y(py)
    {
    }

    void Set(float px, float py)
    {
        x = px;
        y = py;
    }

    // Moves the point into the rectangle, to its nearest edge.
    void ConstrainTo(BRect rect);
    void PrintToStream() const;

    BPoint operator-() const { return BPoint(-x, -y); }
    BPoint operator+(const BPoint& other) const { return BPoint(x + other.x, y + other.y); }
    BPoint operator-(const BPoint& other) const { return BPoint(x - other.x, y - other.y); }
    BPoint& operator+=(const BPoint& other)
    {
        x += other.x;
        y += other.y;
        return *this;
    }
    BPoint& operator-=(const BPoint& other)
    {
        x -= other.x;
        y -= other.y;
        return *this;
    }
    bool operator==(const BPoint& other) const { return x == other.x && y == other.y; }
    bool operator!=(const BPoint& other) const { return !(*this == other); }
};

extern const BPoint B_ORIGIN;
