#include "alertbench.h"

#include "essetup.h"

QString jbAlertText(const QList<JbAlert> &alerts, const QString &ack)
{
    QString text = QStringLiteral("Type_Alert,AckFromDisplay=%1=T").arg(ack);
    for (const JbAlert &a : alerts) {
        text += QStringLiteral(",SerializableClass1=%1,AlertState=%2=T,AlertCategory=0=T,AlertPriority=%3=T,"
                               "AlertInstanceNumber=1=T,EscalationCounter=0=T,RevisionCounter=1=T,"
                               "ActionSource=JB=T,AlertText=%4=T")
                    .arg(a.name)
                    .arg(a.state)
                    .arg(a.priority)
                    .arg(a.text);
    }
    return text;
}

AlertBench::AlertBench()
    : m_data(std::make_unique<ESData>(m_dir.path() + QStringLiteral("/setup/"))),
      m_settings(std::make_unique<SerializationController>(*m_data)),
      m_alerts(std::make_unique<AlertMirrorController>(m_data->alerts()))
{
    QObject::connect(m_settings.get(), &SerializationController::commsToKX12StateChanged, m_alerts.get(),
                     &AlertMirrorController::commsToKX12StateChanged);
    // The link counts as up only once a complete setup has been accepted.
    restoreLink();
}

void AlertBench::loseLink()
{
    for (int s = 0; s <= SerializationController::linkTimeoutSeconds; ++s)
        m_settings->timerTimeout();
}

void AlertBench::restoreLink()
{
    m_settings->deserializeData(m_data->setup()->serialize());
}
