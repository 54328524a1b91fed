#pragma once

#include <QHash>
#include <QMutex>
#include <QString>

#include <functional>

class QCoreApplication;

// The unit's debug log, held to a rate that no flood of bad input can turn into a full disk or a
// thread stalled on its own output:
// - A line that repeats the line just written, within a second of it, is not written again but
//   counted; when another line comes or the second is over, it is written once more with
//   " (repeated N times)", N being the copies left out. (Lines that take turns, such as a buzzer's
//   "on" and "off", are each news and are all written.)
// - No source (a debug line is a fixed label and values: the label names its source) writes
//   more than kLinesPerSourcePerSecond lines in one second of the clock, and all sources
//   together no more than kLinesPerSecond; the last kLinesKeptForQuietSources of those are kept for
//   sources that have written fewer than kQuietSourceLines lines in that second, so a rare line
//   (a thread reported stuck) is not lost to a flood of others.
// - Once a second in which lines were left out is over, one line tells how many and from where.
// So the log takes at most kLinesPerSecond + 1 lines a second. Safe to use from every thread.
class DebugLog
{
public:
    static constexpr int kLinesPerSourcePerSecond = 50;
    static constexpr int kLinesPerSecond = 200;
    static constexpr int kLinesKeptForQuietSources = 40;
    static constexpr int kQuietSourceLines = 2;
    static constexpr qint64 kRepeatWindowMsecs = 1000;

    using Sink = std::function<void(const QString &line)>;
    using Clock = std::function<qint64()>;   // milliseconds of a steady clock

    explicit DebugLog(Sink sink, Clock clock = steadyMsecs);

    // One line from a source; it is written now, later with its count, or left out.
    void write(const QString &source, const QString &line);
    // Writes what has become due without a new line: repeat counts and the note of lines left out.
    void flush();

    static qint64 steadyMsecs();
    // The label a line starts with: the text before its first colon or digit.
    static QString labelOf(const QString &line);

    // Takes over the program's message handling: every message goes through one process-wide log
    // that writes to standard error; fatal messages are written at once. The application's timer
    // writes what is due once a second.
    static void install(QCoreApplication *app);

private:
    struct Last
    {
        qint64 firstMsecs = 0;
        int repeats = 0;
        QString source;
        QString line;
    };
    struct SourceCount
    {
        int written = 0;
        int leftOut = 0;
    };

    void catchUp(qint64 now);
    void endRepeats();
    bool emitWithinLimits(const QString &source, const QString &line);

    static constexpr int kMostSourcesTracked = 1000;

    Sink m_sink;
    Clock m_clock;
    QMutex m_mutex;
    qint64 m_second = -1;
    int m_writtenThisSecond = 0;
    int m_leftOutThisSecond = 0;
    QHash<QString, SourceCount> m_sources;
    bool m_hasLast = false;
    Last m_last;   // the line written last, while its repeats are counted
};
