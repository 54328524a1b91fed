#include "simulatedalertmanager.h"

#include "alertvocabulary.h"
#include "esalerts.h"
#include "essetup.h"

#include <QDebug>
#include <QMetaProperty>
#include <QtMath>

namespace {

const QString shallowName = QStringLiteral("AlarmShallow");
const QString deepName = QStringLiteral("AlertDeep");
const QString bottomLostName = QStringLiteral("AlertBottomLost");
const QString sourceJb = QStringLiteral("JB");
const QString sourceDisplay = QStringLiteral("CU");

void markAllValid(SerializableAlertInfo *alert)
{
    const QMetaObject *mo = alert->metaObject();
    for (int i = 1; i < mo->propertyCount(); ++i)
        alert->setValid(QString::fromLatin1(mo->property(i).name()), true);
}

} // namespace

SimulatedAlertManager::SimulatedAlertManager(QObject *parent)
    : QObject(parent), m_alerts(new ES_Alerts(QStringLiteral("ESAlerts"), this))
{
    m_alerts->setDefaultValuesFromClassInfo_RecursivelyForAllChildren();
    const QList<SerializableAlertInfo *> alerts = m_alerts->alerts();
    for (SerializableAlertInfo *alert : alerts) {
        const AlertDescriptor *d = AlertVocabulary::descriptor(alert->objectName());
        if (!d) {
            qDebug().noquote() << "Alert table has no row for " + alert->objectName();
            throw "Alert table has no row for a mirrored alert";
        }
        alert->setAlertText(d->text);
        alert->setAlertPriority(d->priority);
        alert->setAlertCategory(d->category);
        alert->setAlertInstanceNumber(1);
        alert->setAlertState(AlertVocabulary::Normal);
        markAllValid(alert);
        m_conditions.insert(alert->objectName(), false);
    }
    m_alerts->setValid(QStringLiteral("AckFromDisplay"), true);
    connect(m_alerts, &ES_Alerts::AckFromDisplayChanged, this, [this](const QString &text) {
        if (!text.isEmpty())
            acknowledge(text);
    });
}

QString SimulatedAlertManager::completeText() const
{
    return m_alerts->serialize();
}

void SimulatedAlertManager::setAlarmShallow(double metres)
{
    m_alarmShallow = metres;
    evaluate();
}

void SimulatedAlertManager::setAlertDeep(double metres)
{
    m_alertDeep = metres;
    evaluate();
}

void SimulatedAlertManager::followAlertSetup(ESAlertSetup *setup)
{
    if (m_setup)
        disconnect(m_setup, nullptr, this, nullptr);
    m_setup = setup;
    if (!setup)
        return;
    connect(setup, &ESAlertSetup::AlarmShallowChanged, this, &SimulatedAlertManager::setAlarmShallow);
    connect(setup, &ESAlertSetup::AlertDeepChanged, this, &SimulatedAlertManager::setAlertDeep);
    // The choices are "1" to "5" minutes.
    auto escalation = [this](int choice) { setEscalationSeconds((choice + 1) * 60); };
    connect(setup, &ESAlertSetup::EscalationTimeChanged, this, escalation);
    escalation(setup->EscalationTime());
    m_alarmShallow = setup->AlarmShallow();
    setAlertDeep(setup->AlertDeep());
}

bool SimulatedAlertManager::setCondition(const QString &alertName, bool active)
{
    SerializableAlertInfo *alert = qobject_cast<SerializableAlertInfo *>(m_alerts->child(alertName));
    if (!alert)
        return false;
    m_conditions.insert(alertName, active);
    applyCondition(alert, active);
    publishIfChanged();
    return true;
}

int SimulatedAlertManager::state(const QString &alertName) const
{
    SerializableAlertInfo *alert = qobject_cast<SerializableAlertInfo *>(m_alerts->child(alertName));
    return alert ? alert->AlertState() : -1;
}

void SimulatedAlertManager::updateDepth(double depthMetres, bool bottomLost)
{
    m_depth = depthMetres;
    m_bottomLost = bottomLost;
    evaluate();
}

void SimulatedAlertManager::evaluate()
{
    const bool haveDepth = !m_bottomLost && qIsFinite(m_depth) && m_depth >= 0.0;
    const bool shallow = haveDepth && m_depth < m_alarmShallow;
    const bool deep = haveDepth && m_alertDeep > 0.0 && m_depth > m_alertDeep;
    m_conditions.insert(shallowName, shallow);
    m_conditions.insert(deepName, deep);
    m_conditions.insert(bottomLostName, m_bottomLost);
    applyCondition(m_alerts->AlarmShallow(), shallow);
    applyCondition(m_alerts->AlertDeep(), deep);
    applyCondition(m_alerts->AlertBottomLost(), m_bottomLost);
    publishIfChanged();
}

bool SimulatedAlertManager::applyCondition(SerializableAlertInfo *alert, bool active)
{
    const int current = alert->AlertState();
    int next = current;
    if (active) {
        if (current == AlertVocabulary::Normal || current == AlertVocabulary::RectifiedUnacknowledged)
            next = AlertVocabulary::ActiveUnacknowledged;
    } else {
        switch (current) {
        case AlertVocabulary::ActiveUnacknowledged:
        case AlertVocabulary::ActiveSilenced:
            next = AlertVocabulary::RectifiedUnacknowledged;
            break;
        case AlertVocabulary::ActiveAcknowledged:
        case AlertVocabulary::ActiveResponsibilityTransferred:
            next = AlertVocabulary::Normal;
            break;
        default:
            break;
        }
    }
    if (next == current)
        return false;
    setState(alert, next, sourceJb);
    return true;
}

bool SimulatedAlertManager::acknowledge(const QString &alertText)
{
    bool any = false;
    for (SerializableAlertInfo *alert : m_alerts->alerts()) {
        if (alert->AlertText() != alertText)
            continue;
        const int current = alert->AlertState();
        if (current == AlertVocabulary::ActiveUnacknowledged || current == AlertVocabulary::ActiveSilenced) {
            setState(alert, AlertVocabulary::ActiveAcknowledged, sourceDisplay);
            any = true;
        } else if (current == AlertVocabulary::RectifiedUnacknowledged) {
            setState(alert, AlertVocabulary::Normal, sourceDisplay);
            any = true;
        }
    }
    if (!any)
        qDebug().noquote() << "Acknowledgement changed no alert: " + alertText;
    publishIfChanged();
    return any;
}

void SimulatedAlertManager::tick()
{
    for (SerializableAlertInfo *alert : m_alerts->alerts()) {
        const AlertDescriptor *d = AlertVocabulary::descriptor(alert->objectName());
        if (alert->AlertState() != AlertVocabulary::ActiveUnacknowledged || !d || d->escalation == AlertVocabulary::NoEscalation)
            continue;
        int &seconds = m_unacknowledgedSeconds[alert->objectName()];
        if (++seconds < m_escalationSeconds)
            continue;
        seconds = 0;
        alert->setEscalationCounter(alert->EscalationCounter() + 1);
        if (d->escalation == AlertVocabulary::WarningToAlarm && alert->AlertPriority() == AlertVocabulary::Warning)
            alert->setAlertPriority(AlertVocabulary::Alarm);
        alert->setRevisionCounter(alert->RevisionCounter() + 1);
        qDebug().noquote() << "Simulated alert " + alert->objectName() + " escalated, count "
                                  + QString::number(alert->EscalationCounter());
        m_changed = true;
    }
    publishIfChanged();
}

void SimulatedAlertManager::deserializeData(const QString &text)
{
    const QStringList tokens = text.split(QLatin1Char(','));
    QString tag = tokens.value(0);
    if (tag.endsWith(QLatin1String("NoAck")))
        tag.chop(5);
    if (tag != QLatin1String("Type_Alert"))
        return;
    if (tokens.size() != 4 || tokens.at(1) != QLatin1String("SingleProperty") || tokens.at(2) != m_alerts->objectName()
        || !tokens.at(3).startsWith(QLatin1String("AckFromDisplay="))) {
        qDebug().noquote() << "Alert text from display ignored: " + text;
        return;
    }
    m_alerts->deserializeSingleProperty(text);
}

void SimulatedAlertManager::setState(SerializableAlertInfo *alert, int state, const QString &source)
{
    qDebug().noquote() << "Simulated alert " + alert->objectName() + ": "
                              + AlertVocabulary::stateNames().value(alert->AlertState()) + " -> "
                              + AlertVocabulary::stateNames().value(state);
    alert->setAlertState(state);
    alert->setActionSource(source);
    m_unacknowledgedSeconds.remove(alert->objectName());
    if (state == AlertVocabulary::Normal) {
        // The next occurrence starts afresh, as the alert it was declared.
        const AlertDescriptor *d = AlertVocabulary::descriptor(alert->objectName());
        alert->setAlertPriority(d ? d->priority : alert->AlertPriority());
        alert->setEscalationCounter(0);
    }
    alert->setRevisionCounter(alert->RevisionCounter() + 1);
    m_changed = true;
}

void SimulatedAlertManager::publishIfChanged()
{
    if (!m_changed)
        return;
    m_changed = false;
    emit publishRequested(completeText());
}
