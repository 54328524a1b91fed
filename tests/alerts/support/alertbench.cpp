#include "alertbench.h"

#include "essetup.h"

QString jbAlertText(const QList<JbAlert> &alerts, const QString &ack)
{
    QString text = QStringLiteral("Type_Alert,AckFromDisplay=%1=T").arg(ack);
    for (const JbAlert &a : alerts)
        text += QStringLiteral(",SerializableClass1=%1,AlertState=%2=T,AlertCategory=0=T,AlertPriority=%3=T,"
                               "AlertInstanceNumber=1=T,EscalationCounter=0=T,RevisionCounter=1=T,"
                               "ActionSource=JB=T,AlertText=%4=T")
                    .arg(a.name).arg(a.state).arg(a.priority).arg(a.text);
    return text;
}

AlertBench::AlertBench()
{
    QObject::connect(&settings, &SerializationController::commsToKX12StateChanged, &alerts,
                     &AlertMirrorController::commsToKX12StateChanged);
    restoreLink(); // the link counts as up once a complete setup was accepted
}

void AlertBench::loseLink()
{
    for (int s = 0; s <= SettingsLinkSupervisor::linkTimeoutSeconds; ++s)
        settings.timerTimeout();
}

void AlertBench::restoreLink()
{
    settings.deserializeData(data.setup()->serialize());
}
