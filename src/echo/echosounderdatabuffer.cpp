#include "echosounderdatabuffer.h"

#include "echorecord.h"

#include <QDebug>

namespace {

// Strongest echo of two samples; 255 marks a sample without data and loses to any echo.
inline uchar stronger(uchar a, uchar b)
{
    const int va = a == 255 ? -1 : a;
    const int vb = b == 255 ? -1 : b;
    return uchar(va >= vb ? a : b);
}

} // namespace

EchosounderDataBuffer::EchosounderDataBuffer(int timeRangeMinutes, double recordsPerColumn,
                                             int capacity)
    : m_minutes(timeRangeMinutes), m_recordsPerColumn(qMax(1.0, recordsPerColumn))
{
    m_ring.resize(qMax(1, capacity));
}

int EchosounderDataBuffer::capacity() const { return m_ring.size(); }

void EchosounderDataBuffer::lockForWriting()
{
    if (!m_mutex.tryLock()) {
        m_abort.store(true, std::memory_order_relaxed);
        m_mutex.lock();
    }
}

bool EchosounderDataBuffer::addRecord(const QByteArray &samples, float depthRange, float bottomDepth)
{
    lockForWriting();
    bool completed = false;
    if (m_recordsPerColumn <= 1.0) {
        push(EchogramColumn{samples, depthRange, bottomDepth});
        completed = true;
    } else {
        if (m_foldedRecords == 0 || m_folding.samples.size() != samples.size()
            || m_folding.depthRange != depthRange) {
            // A change of range starts the column afresh; mixing ranges would smear depths.
            m_folding = EchogramColumn{samples, depthRange, bottomDepth};
            m_folding.samples.detach();
        } else {
            uchar *dst = reinterpret_cast<uchar *>(m_folding.samples.data());
            const uchar *src = reinterpret_cast<const uchar *>(samples.constData());
            for (int i = 0, n = samples.size(); i < n; ++i)
                dst[i] = stronger(dst[i], src[i]);
            if (bottomDepth != EchoRecordInfo::kNoDepth)
                m_folding.bottomDepth = bottomDepth;
        }
        ++m_foldedRecords;
        m_accumulated += 1.0;
        if (m_accumulated >= m_recordsPerColumn) {
            m_accumulated -= m_recordsPerColumn;
            push(m_folding);
            m_folding = EchogramColumn();
            m_foldedRecords = 0;
            completed = true;
        }
    }
    m_mutex.unlock();
    return completed;
}

void EchosounderDataBuffer::push(const EchogramColumn &column)
{
    m_ring[m_head] = column;
    m_head = (m_head + 1) % m_ring.size();
    ++m_total;
    m_newestSamples.store(column.samples.size(), std::memory_order_relaxed);
    if (m_count < m_ring.size())
        ++m_count;
}

void EchosounderDataBuffer::clear()
{
    lockForWriting();
    for (EchogramColumn &c : m_ring)
        c = EchogramColumn();
    m_head = 0;
    m_count = 0;
    m_newestSamples.store(0, std::memory_order_relaxed);
    m_accumulated = 0.0;
    m_folding = EchogramColumn();
    m_foldedRecords = 0;
    m_mutex.unlock();
}

void EchosounderDataBuffer::setCapacity(int columns)
{
    columns = qMax(1, columns);
    lockForWriting();
    QVector<EchogramColumn> ring(columns);
    const int keep = qMin(m_count, columns);
    for (int i = 0; i < keep; ++i)
        ring[keep - 1 - i] = columnFromNewest(i);
    m_ring = ring;
    m_count = keep;
    m_head = keep % columns;
    m_mutex.unlock();
}

const EchogramColumn &EchosounderDataBuffer::columnFromNewest(int index) const
{
    if (index < 0 || index >= m_count) {
        qDebug() << "EchosounderDataBuffer column out of range: " << index << " of " << m_count;
        throw "EchosounderDataBuffer: column index out of range";
    }
    const int n = m_ring.size();
    return m_ring[((m_head - 1 - index) % n + n) % n];
}

float EchosounderDataBuffer::previousDepth() const
{
    return m_count >= 2 ? columnFromNewest(1).bottomDepth : EchoRecordInfo::kNoDepth;
}

float EchosounderDataBuffer::currentDepth() const
{
    return m_count >= 1 ? columnFromNewest(0).bottomDepth : EchoRecordInfo::kNoDepth;
}

float EchosounderDataBuffer::nextDepth() const
{
    return m_foldedRecords > 0 ? m_folding.bottomDepth : EchoRecordInfo::kNoDepth;
}
