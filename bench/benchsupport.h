#pragma once

// What every benchmark here shares: medians of timed runs and the one
// optional SCALE argument.

#include <QElapsedTimer>
#include <QStringList>
#include <QTextStream>
#include <QVector>
#include <algorithm>
#include <functional>
#include <optional>

/// The median of times in nanoseconds, in milliseconds.
inline double medianOf(QVector<qint64> ns)
{
    if (ns.isEmpty())
        return 0;
    std::sort(ns.begin(), ns.end());
    return double(ns[ns.size() / 2]) / 1e6;
}

/// Runs work runs times (with the run's index) and gives the median in ms.
inline double medianMs(int runs, const std::function<void(int)> &work)
{
    QVector<qint64> ns;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work(i);
        ns << t.nsecsElapsed();
    }
    return medianOf(ns);
}

inline double medianMs(int runs, const std::function<void()> &work)
{
    return medianMs(runs, [&](int) { work(); });
}

/// The command line's SCALE (default 20); without one that is valid, the
/// usage is printed and the exit code returned instead.
inline std::optional<int> scaleArgument(const QStringList &args, const char *usage, int &exitCode)
{
    bool ok = args.isEmpty();
    const int scale = ok ? 20 : args.first().toInt(&ok);
    if (ok && scale >= 1 && args.size() <= 1)
        return scale;
    QTextStream(stderr) << usage;
    exitCode =
        args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h")) ? 0 : 2;
    return std::nullopt;
}
