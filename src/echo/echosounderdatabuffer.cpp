#include "echosounderdatabuffer.h"

#include "echorecord.h"

#include <QDebug>

#include <cmath>

namespace {

// Strongest echo of two samples; 255 marks a sample without data and loses to any echo.
inline uchar stronger(uchar a, uchar b)
{
    const int va = a == 255 ? -1 : a;
    const int vb = b == 255 ? -1 : b;
    return uchar(va >= vb ? a : b);
}

int keptColumns(int columnsAcross) { return qBound(1, columnsAcross, EchosounderDataBuffer::kMaxColumns); }

} // namespace

EchosounderDataBuffer::EchosounderDataBuffer(int timeRangeMinutes, int columnsAcross)
    : m_minutes(qMax(1, timeRangeMinutes)), m_columnsAcross(keptColumns(columnsAcross))
{
    m_ring.resize(m_columnsAcross);
}

int EchosounderDataBuffer::capacity() const { return m_ring.size(); }

int EchosounderDataBuffer::columnsAcross() const { return m_columnsAcross; }

double EchosounderDataBuffer::columnMsecs() const
{
    return m_minutes * 60000.0 / m_columnsAcross;
}

void EchosounderDataBuffer::lockForWriting()
{
    if (!m_mutex.tryLock()) {
        m_abort.store(true, std::memory_order_relaxed);
        m_mutex.lock();
    }
}

EchogramColumn EchosounderDataBuffer::reduced(const QByteArray &samples, float depthRange,
                                              float bottomDepth)
{
    const int n = samples.size();
    if (n <= kMaxStoredSamples)
        return EchogramColumn{samples, depthRange, bottomDepth};
    // Bands of `factor` samples keep their strongest echo; the last band may be short, so the
    // range is that of the whole bands to keep every echo at its depth.
    const int factor = (n + kMaxStoredSamples - 1) / kMaxStoredSamples;
    const int bands = (n + factor - 1) / factor;
    QByteArray out(bands, '\0');
    const uchar *src = reinterpret_cast<const uchar *>(samples.constData());
    uchar *dst = reinterpret_cast<uchar *>(out.data());
    for (int b = 0; b < bands; ++b) {
        const int end = qMin(n, (b + 1) * factor);
        uchar v = src[b * factor];
        for (int i = b * factor + 1; i < end; ++i)
            v = stronger(v, src[i]);
        dst[b] = v;
    }
    return EchogramColumn{out, float(double(depthRange) * bands * factor / n), bottomDepth};
}

EchogramColumn &EchosounderDataBuffer::newest()
{
    const int n = m_ring.size();
    return m_ring[(m_head - 1 + n) % n];
}

bool EchosounderDataBuffer::addRecord(const QByteArray &samples, float depthRange, float bottomDepth,
                                      qint64 msecs)
{
    const bool noData = samples.isEmpty();
    const qint64 slice = qint64(std::floor(double(msecs) / columnMsecs()));
    lockForWriting();
    if (m_count > 0 && slice <= m_newestSlice) {
        // Same slice of time (or a clock that stepped back): fold into the newest column.
        EchogramColumn &c = newest();
        if (!noData) {
            const EchogramColumn r = reduced(samples, depthRange, bottomDepth);
            if (c.samples.isEmpty() || c.samples.size() != r.samples.size()
                || c.depthRange != r.depthRange) {
                // A change of range starts the column afresh; mixing ranges would smear depths.
                c.samples = r.samples;
                c.depthRange = r.depthRange;
            } else {
                uchar *dst = reinterpret_cast<uchar *>(c.samples.data());
                const uchar *src = reinterpret_cast<const uchar *>(r.samples.constData());
                for (int i = 0, n = r.samples.size(); i < n; ++i)
                    dst[i] = stronger(dst[i], src[i]);
            }
            m_newestFromSilence = false;
        }
        if (bottomDepth > EchoRecordInfo::kNoDepth)
            c.bottomDepth = bottomDepth;
        ++m_newestRecords;
    } else {
        if (m_count > 0) {
            // Slices without a record of their own: a slow ping stretches over them, a silence
            // leaves them empty.
            const qint64 skipped = qMin<qint64>(slice - m_newestSlice - 1, m_ring.size());
            const EchogramColumn fill = (noData || m_newestFromSilence) ? EchogramColumn() : newest();
            for (qint64 i = 0; i < skipped; ++i)
                push(fill);
        }
        push(noData ? EchogramColumn{QByteArray(), 0.0f, EchoRecordInfo::kNoDepth}
                    : reduced(samples, depthRange, bottomDepth));
        if (noData && bottomDepth > EchoRecordInfo::kNoDepth)
            newest().bottomDepth = bottomDepth;
        m_newestSlice = slice;
        m_newestRecords = 1;
        m_newestFromSilence = noData;
    }
    m_changes.fetch_add(1, std::memory_order_relaxed);
    m_mutex.unlock();
    return true;
}

void EchosounderDataBuffer::push(const EchogramColumn &column)
{
    m_ring[m_head] = column;
    m_head = (m_head + 1) % m_ring.size();
    ++m_total;
    if (m_count < m_ring.size())
        ++m_count;
}

void EchosounderDataBuffer::setColumnsAcross(int columns)
{
    columns = keptColumns(columns);
    lockForWriting();
    if (columns != m_columnsAcross) {
        QVector<EchogramColumn> ring(columns);
        const int keep = qMin(m_count, columns);
        for (int i = 0; i < keep; ++i)
            ring[keep - 1 - i] = columnFromNewest(i);
        // The newest column's slice in the new slicing: the next record starts a column of its own.
        const double oldMsecs = columnMsecs();
        m_columnsAcross = columns;
        m_newestSlice = qint64(std::floor((m_newestSlice + 1) * oldMsecs / columnMsecs()));
        m_ring = ring;
        m_count = keep;
        m_head = keep % columns;
        m_changes.fetch_add(1, std::memory_order_relaxed);
    }
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
    return EchoRecordInfo::kNoDepth;
}
