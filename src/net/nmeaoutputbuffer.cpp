#include "nmeaoutputbuffer.h"

NmeaOutputBuffer::NmeaOutputBuffer(int interval_ms, QObject *parent)
    : NmeaBufferClass(interval_ms, parent)
{
    connect(&m_timer, &QTimer::timeout, this, &NmeaOutputBuffer::groupTimedOut);
}

void NmeaOutputBuffer::addGroup(const QList<Record> &records)
{
    if (!records.isEmpty())
        m_groups.append(records);
}

bool NmeaOutputBuffer::acknowledge(const QString &msg_tag, const QString &s_sfi)
{
    for (int g = 0; g < m_groups.size(); ++g) {
        QList<Record> &group = m_groups[g];
        for (int r = 0; r < group.size(); ++r) {
            const Record &rec = group.at(r);
            if (rec.messageTag != msg_tag)
                continue;
            // An acknowledgement from a unit the datagram was not sent to does not count.
            if (!rec.destinationSfis.isEmpty() && !s_sfi.isEmpty() && !rec.destinationSfis.contains(s_sfi))
                continue;
            group.removeAt(r);
            if (group.isEmpty())
                m_groups.removeAt(g);
            return true;
        }
    }
    return false;
}

int NmeaOutputBuffer::pendingDatagrams() const
{
    int n = 0;
    for (const QList<Record> &g : m_groups)
        n += g.size();
    return n;
}

void NmeaOutputBuffer::groupTimedOut()
{
    for (int g = 0; g < m_groups.size();) {
        QList<Record> &group = m_groups[g];
        QStringList lost;
        for (Record &rec : group) {
            ++rec.resendCount;
            if (rec.resendCount <= MaxResends)
                emit resendDatagram(QByteArrayList{rec.datagram}, rec.toInternalInterface);
            else
                for (const QString &sfi : rec.destinationSfis)
                    if (!lost.contains(sfi))
                        lost.append(sfi);
        }
        bool expired = false;
        for (const Record &rec : group)
            expired = expired || rec.resendCount > MaxResends;
        if (expired) {
            m_groups.removeAt(g);
            for (const QString &sfi : lost)
                emit lostCommunicationWithSfi(sfi);
        } else {
            ++g;
        }
    }
}
