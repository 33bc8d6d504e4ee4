#pragma once

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

// The median and the best time of one call in microseconds, over runs calls
// after warmUp calls not counted. call returns a number that is summed and
// looked at, so that the compiler cannot drop the work.
struct CallTimes
{
    double median = 0;
    double best = 0;
};

template <typename Call> CallTimes timeCalls(int warmUp, int runs, Call call)
{
    std::vector<double> us;
    us.reserve(size_t(runs));
    double sink = 0;
    for (int i = 0; i < warmUp + runs; ++i) {
        QElapsedTimer t;
        t.start();
        sink += double(call());
        const double elapsed = double(t.nsecsElapsed()) / 1e3;
        if (i >= warmUp)
            us.push_back(elapsed);
    }
    if (sink == -1.5)
        std::printf("(unreachable)\n");
    std::sort(us.begin(), us.end());
    return {us[us.size() / 2], us.front()};
}
