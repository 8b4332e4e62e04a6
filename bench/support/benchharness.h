#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QTextStream>

#include <algorithm>
#include <vector>

namespace Bench {

// The median wall time of one call of fn, in microseconds, over repeats calls
// after one warm-up call.
template <class Fn>
double medianMicros(Fn&& fn, int repeats)
{
    fn();
    std::vector<double> times;
    times.reserve(repeats);
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer timer;
        timer.start();
        fn();
        times.push_back(timer.nsecsElapsed() / 1000.0);
    }
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    return times[times.size() / 2];
}

// One line of the report: the measured case against its baseline of the same run.
inline void report(const QString& name, double micros, double baselineMicros, double targetRatio)
{
    const double ratio = baselineMicros > 0 ? micros / baselineMicros : 0;
    QTextStream(stdout) << QString("%1  %2 us  baseline %3 us  ratio %4  (target <= %5)  %6\n")
                               .arg(name, -58)
                               .arg(micros, 9, 'f', 1)
                               .arg(baselineMicros, 9, 'f', 1)
                               .arg(ratio, 5, 'f', 2)
                               .arg(targetRatio, 0, 'f', 1)
                               .arg(ratio <= targetRatio ? "ok" : "SLOW");
}

inline void reportAbsolute(const QString& name, double micros, double limitMicros)
{
    QTextStream(stdout) << QString("%1  %2 us  (limit %3 us)  %4\n")
                               .arg(name, -58)
                               .arg(micros, 9, 'f', 1)
                               .arg(limitMicros, 0, 'f', 0)
                               .arg(micros <= limitMicros ? "ok" : "SLOW");
}

} // namespace Bench
