#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include "esalerts.h"

class ES_Alerts;
class SerializableAlertInfo;

// Runs the control unit's side of the alert mirror: raises and clears the unit's own "KX12 Comms
// Fail" alert as the link to the junction box goes and comes, keeps that alert out of reach of the
// junction box's published data, and carries the operator's acknowledgements: the own alert is
// acknowledged here, every other alert text goes to the junction box as a change of AckFromDisplay.
class AlertMirrorController : public QObject
{
    Q_OBJECT

public:
    explicit AlertMirrorController(ES_Alerts *mirror, QObject *parent = nullptr);

    ES_Alerts *mirror() const { return m_mirror; }
    // The unit's own communication alert (the mirror's AlertDisplayError child).
    SerializableAlertInfo *localAlert() const;
    QString localAlertText() const { return m_localText; }
    bool isCommunicationLost() const { return m_commsLost; }

public slots:
    // The settings controller's link state: false raises the communication alert, true clears it.
    void commsToKX12StateChanged(bool comms_ok);
    // The operator acknowledged the alert with this text: stored in AckFromDisplay, whose change
    // is handled by ackAlertsFromDisplay().
    void acknowledgeFromDisplay(const QString &alertText);
    // Handler of AckFromDisplayChanged. Only an acknowledgement made on this unit is acted upon: the
    // junction box publishes AckFromDisplay back with its alert data, and sending that echo again
    // would acknowledge a later alert of the same text that nobody has seen.
    void ackAlertsFromDisplay();

private slots:
    void keepLocalAlert();

private:
    void raiseCommunicationFailure();
    void clearCommunicationFailure();
    void setLocalState(int state);
    void writeLocalAlert();

    QPointer<ES_Alerts> m_mirror;
    QString m_localText;
    QString m_lastEcho;
    int m_localPriority = 1;
    int m_localCategory = 1;
    int m_localState;
    bool m_commsLost = false;
    bool m_ackPending = false;
};
