#pragma once

#include <QByteArray>
#include <QMutex>
#include <QVector>

#include <atomic>

// One stored echogram column: the samples, the depth range they cover and the bottom depth. A
// column without samples shows as without data.
struct EchogramColumn
{
    QByteArray samples;
    float depthRange = 0.0f;
    float bottomDepth = -100.0f;
};

// The echogram of one channel for one display time range, shared between the record intake
// (main thread) and the renderer (its own thread) under the buffer's mutex.
//
// Columns stand for equal slices of time: the time range divided by the columns that span the
// echogram, so the picture shows the time it is labelled with whatever the ping rate. The first
// record of a slice starts a new column; later records of the same slice fold into it, keeping the
// strongest echo of each depth. Slices a record skipped are filled: with the previous column while
// the channel keeps pinging (a slow ping rate is drawn as wide as the time it takes), empty when
// the record is one the unit made for a silent channel (the silence shows as a gap of its width).
//
// Memory is bounded: at most kMaxColumns columns of at most kMaxStoredSamples samples each;
// longer records are reduced to that many bands, each keeping its strongest echo.
class EchosounderDataBuffer
{
public:
    static constexpr int kMaxColumns = 2048;
    static constexpr int kMaxStoredSamples = 1024;
    static constexpr int kDefaultColumnsAcross = 1024;
    // The five-minute picture draws each column two pixels wide.
    static int pixelsPerColumn(int timeRangeMinutes) { return timeRangeMinutes == 5 ? 2 : 1; }

    explicit EchosounderDataBuffer(int timeRangeMinutes, int columnsAcross = kDefaultColumnsAcross);

    int timeRangeMinutes() const { return m_minutes; }
    // Columns that span the time range; also the number kept (at most kMaxColumns).
    int columnsAcross() const;
    void setColumnsAcross(int columns);
    // The slice of time one column stands for.
    double columnMsecs() const;

    // Writer side; takes the lock itself. `msecs` is the arrival time on a steady clock. An empty
    // sample buffer marks a record without data. Returns true when the picture changed.
    bool addRecord(const QByteArray &samples, float depthRange, float bottomDepth, qint64 msecs);
    int capacity() const;

    // Reader side: the renderer only tries the lock and never waits for it.
    bool tryLock() { return m_mutex.tryLock(); }
    void lock() { m_mutex.lock(); }
    void unlock() { m_mutex.unlock(); }

    // Changes to the picture so far; readable without the lock, so views can tell cheaply
    // whether there is anything new to draw.
    quint64 changeCount() const { return m_changes.load(std::memory_order_relaxed); }

    // The following are read under the lock.
    int columnCount() const { return m_count; }
    // Columns ever started, including those that have left the ring; lets the renderer tell how
    // many columns arrived since it last drew.
    quint64 totalColumns() const { return m_total; }
    // Records folded into the newest column since it was started (0 while empty); tells the
    // renderer that the newest column it drew has grown.
    int newestColumnRecords() const { return m_newestRecords; }
    // 0 is the newest column.
    const EchogramColumn &columnFromNewest(int index) const;
    // Bottom depths around the newest column: the one before it and the newest; the newest column
    // is the one records still fold into, so there is no later one (-100).
    float previousDepth() const;
    float currentDepth() const;
    float nextDepth() const;

    // Set by a writer that found the renderer holding the lock: a full redraw in progress may give
    // up so the writer is not kept waiting.
    bool abortRequested() const { return m_abort.load(std::memory_order_relaxed); }
    void clearAbort() { m_abort.store(false, std::memory_order_relaxed); }

private:
    void lockForWriting();
    void push(const EchogramColumn &column);
    EchogramColumn &newest();
    static EchogramColumn reduced(const QByteArray &samples, float depthRange, float bottomDepth);

    const int m_minutes;
    int m_columnsAcross;
    QMutex m_mutex;
    QVector<EchogramColumn> m_ring;
    int m_head = 0;    // next slot to write
    int m_count = 0;
    quint64 m_total = 0;
    qint64 m_newestSlice = 0;
    int m_newestRecords = 0;
    bool m_newestFromSilence = false;
    std::atomic<bool> m_abort{false};
    std::atomic<quint64> m_changes{0};
};
