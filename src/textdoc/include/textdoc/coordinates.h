// The two ways the text box counts places in its text, as types that do not mix: a Position counts as the
// view's document does (a CR LF one, a joint one), an Offset counts units of the exact text. ExactText
// converts between them; passing one for the other does not compile.
#pragma once

#include <compare>

#include <QtGlobal>

template <typename Kind> class Coordinate
{
public:
    constexpr Coordinate() = default;
    constexpr explicit Coordinate(qsizetype value)
        : value_(value)
    {
    }

    constexpr qsizetype value() const { return value_; }
    // For the toolkit's int positions; a document never holds more than an int counts.
    constexpr int toInt() const { return int(value_); }

    friend constexpr auto operator<=>(Coordinate, Coordinate) = default;
    friend constexpr Coordinate operator+(Coordinate at, qsizetype distance)
    {
        return Coordinate(at.value_ + distance);
    }
    friend constexpr Coordinate operator-(Coordinate at, qsizetype distance)
    {
        return Coordinate(at.value_ - distance);
    }
    friend constexpr qsizetype operator-(Coordinate to, Coordinate from) { return to.value_ - from.value_; }
    constexpr Coordinate &operator+=(qsizetype distance) { return *this = *this + distance; }
    constexpr Coordinate &operator-=(qsizetype distance) { return *this = *this - distance; }
    constexpr Coordinate &operator++() { return *this += 1; }
    constexpr Coordinate &operator--() { return *this -= 1; }

private:
    qsizetype value_ = 0;
};

using Position = Coordinate<struct PositionKind>;
using Offset = Coordinate<struct OffsetKind>;
