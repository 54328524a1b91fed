#pragma once

#include "nmeagroupinfo.h"

#include <QList>
#include <QObject>
#include <QString>

// Carries the send requests of every component to the sentence controller. The system object
// connects these signals to the controller's normal or standby slots, by operating mode.
class SignalEmitter : public QObject
{
    Q_OBJECT
public:
    static SignalEmitter &instance();
    explicit SignalEmitter(QObject *parent = nullptr);

signals:
    void signalNmeaMessageTypeAndPortAndId(QString type, Port port, QString id);
    void signalTypeAndCompleteNmeaMessageAndPort(QString type, QString message, Port port,
                                                 bool to_connected_devices);
    void signalTypeAndCompleteNmeaMessageListWithCustomDestinationSFI(
        QString type, QList<QString> complete_messages, Port port, QString id,
        QString destination_sfi);
};
