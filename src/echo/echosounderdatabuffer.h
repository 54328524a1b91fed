#pragma once

#include <QByteArray>
#include <QMutex>
#include <QVector>

#include <atomic>

// One stored echogram column: the samples, the depth range they cover and the bottom depth.
struct EchogramColumn
{
    QByteArray samples;
    float depthRange = 0.0f;
    float bottomDepth = -100.0f;
};

// The echogram of one channel for one display time range, shared between the record intake
// (main thread) and the renderer (its own thread) under the buffer's mutex. It keeps a bounded
// ring of columns, about what one screen width needs. Longer time ranges fold several records
// into one column, keeping the strongest sample of each depth, so a screen width spans the range.
class EchosounderDataBuffer
{
public:
    static constexpr int kDefaultCapacity = 2048;

    // recordsPerColumn >= 1; fractional values spread the folding evenly.
    EchosounderDataBuffer(int timeRangeMinutes, double recordsPerColumn,
                          int capacity = kDefaultCapacity);

    int timeRangeMinutes() const { return m_minutes; }
    double recordsPerColumn() const { return m_recordsPerColumn; }

    // Writer side; takes the lock itself. Returns true when a new column was completed.
    bool addRecord(const QByteArray &samples, float depthRange, float bottomDepth);
    void clear();
    void setCapacity(int columns);
    int capacity() const;

    // Reader side: the renderer only tries the lock and never waits for it.
    bool tryLock() { return m_mutex.tryLock(); }
    void lock() { m_mutex.lock(); }
    void unlock() { m_mutex.unlock(); }

    // The following are read under the lock.
    int columnCount() const { return m_count; }
    // Samples of the newest column, readable without the lock (0 while empty); views size
    // their canvas to it.
    int newestSampleCount() const { return m_newestSamples.load(std::memory_order_relaxed); }
    // Columns ever completed, including those that have left the ring; lets the renderer tell
    // how many columns arrived since it last drew.
    quint64 totalColumns() const { return m_total; }
    // 0 is the newest column.
    const EchogramColumn &columnFromNewest(int index) const;
    // Bottom depths around the newest column: the one before it, the newest, and the depth of the
    // column being folded (-100 when none is in progress).
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

    const int m_minutes;
    const double m_recordsPerColumn;
    QMutex m_mutex;
    QVector<EchogramColumn> m_ring;
    int m_head = 0;    // next slot to write
    int m_count = 0;
    quint64 m_total = 0;
    double m_accumulated = 0.0;
    EchogramColumn m_folding;
    int m_foldedRecords = 0;
    std::atomic<bool> m_abort{false};
    std::atomic<int> m_newestSamples{0};
};
