#pragma once

#include <QElapsedTimer>
#include <QList>
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

// The report: one row per case, measured against a baseline of the same run
// (a ratio target) or against a time limit, printed as one table.
class Table
{
public:
    void ratio(const QString& name, double micros, const QString& baseline, double baselineMicros, double target)
    {
        const double r = baselineMicros > 0 ? micros / baselineMicros : 0;
        m_rows.append({name, micros, baseline, baselineMicros, QString("ratio <= %1").arg(target, 0, 'f', 1),
                       r <= target});
    }
    void limit(const QString& name, double micros, const QString& baseline, double baselineMicros,
               double limitMicros)
    {
        m_rows.append({name, micros, baseline, baselineMicros, "< " + duration(limitMicros), micros < limitMicros});
    }
    void info(const QString& name, double micros, const QString& baseline = QString(), double baselineMicros = 0)
    {
        m_rows.append({name, micros, baseline, baselineMicros, QString(), true});
    }

    void print() const
    {
        QTextStream out(stdout);
        out << "| case | time | baseline | ratio | target | |\n|---|---:|---|---:|---|---|\n";
        for (const Row& row : m_rows) {
            const QString ratio = row.baselineMicros > 0 ? QString::number(row.micros / row.baselineMicros, 'f', 2) : "";
            const QString baseline = row.baseline.isEmpty() ? QString() : row.baseline + " " + duration(row.baselineMicros);
            out << "| " << row.name << " | " << duration(row.micros) << " | " << baseline << " | " << ratio << " | "
                << row.target << " | " << (row.target.isEmpty() ? "" : row.met ? "ok" : "MISSED") << " |\n";
        }
    }

    static QString duration(double micros)
    {
        if (micros >= 1e6)
            return QString::number(micros / 1e6, 'f', 2) + " s";
        if (micros >= 1e3)
            return QString::number(micros / 1e3, 'f', 2) + " ms";
        return QString::number(micros, 'f', 1) + " us";
    }

private:
    struct Row
    {
        QString name;
        double micros;
        QString baseline;
        double baselineMicros;
        QString target;
        bool met;
    };
    QList<Row> m_rows;
};

} // namespace Bench
