#pragma once

#include "nmeabufferclass.h"

#include <QByteArrayList>
#include <QList>
#include <QStringList>

// Setup datagrams sent to the other unit and not yet acknowledged. Each is sent again every
// tick, at most ten times; then the peer is reported lost and the group dropped.
class NmeaOutputBuffer : public NmeaBufferClass
{
    Q_OBJECT
public:
    static constexpr int MaxResends = 10;

    struct Record
    {
        QByteArray datagram;
        QString messageTag;
        QStringList destinationSfis;
        bool toInternalInterface = false;
        bool acknowledged = false;
        int resendCount = 0;
    };

    explicit NmeaOutputBuffer(int interval_ms = 1000, QObject *parent = nullptr);

    void addGroup(const QList<Record> &records);
    // Marks the record with this tag acknowledged and drops it; false when no record matches.
    bool acknowledge(const QString &msg_tag, const QString &s_sfi);
    int pendingDatagrams() const;
    int pendingGroups() const { return m_groups.size(); }

signals:
    void resendDatagram(QByteArrayList datagram, bool to_internal_interface);
    void resendDatagramInternally(QByteArrayList datagram, bool to_internal_interface);
    void lostCommunicationWithSfi(QString sfi);

private slots:
    void groupTimedOut();

private:
    QList<QList<Record>> m_groups;
};
