#pragma once

#include <cstdint>

#include <QTime>

// Milliseconds from one time of day to a later one. A span across midnight comes out of
// QTime negative; it is the true duration a day later. Invalid times give 0.
inline int32_t msecsBetween(const QTime &from, const QTime &to)
{
    constexpr int32_t msecsPerDay = 24 * 60 * 60 * 1000;
    const int32_t msecs = from.msecsTo(to);
    return msecs < 0 ? msecs + msecsPerDay : msecs;
}
