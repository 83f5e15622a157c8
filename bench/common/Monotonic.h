#pragma once

#include <ctime>

// Seconds on the system-wide monotonic clock, comparable between processes.
inline double MonotonicSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}
