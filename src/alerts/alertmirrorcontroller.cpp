#include "alertmirrorcontroller.h"

#include "alertvocabulary.h"
#include "esalerts.h"

#include <QDebug>

namespace {
const QString localAlertName = QStringLiteral("AlertDisplayError");
const QString ackProperty = QStringLiteral("AckFromDisplay");
} // namespace

AlertMirrorController::AlertMirrorController(ES_Alerts *mirror, QObject *parent)
    : QObject(parent), m_mirror(mirror), m_localState(AlertVocabulary::Normal)
{
    if (!mirror) {
        qDebug() << "AlertMirrorController: no alert mirror given";
        throw "AlertMirrorController needs an alert mirror";
    }
    const AlertDescriptor *d = AlertVocabulary::descriptor(localAlertName);
    if (!d) {
        qDebug() << "Alert table has no row for" << localAlertName;
        throw "Alert table has no row for the communication alert";
    }
    m_localText = d->text;
    m_localPriority = d->priority;
    m_localCategory = d->category;
    writeLocalAlert();

    connect(mirror, &ES_Alerts::AckFromDisplayChanged, this, &AlertMirrorController::ackAlertsFromDisplay);
    connect(mirror, &ES_Alerts::dataReceivedFromCommunication, this, &AlertMirrorController::keepLocalAlert);
}

SerializableAlertInfo *AlertMirrorController::localAlert() const
{
    return m_mirror ? m_mirror->AlertDisplayError() : nullptr;
}

void AlertMirrorController::commsToKX12StateChanged(bool comms_ok)
{
    if (comms_ok)
        clearCommunicationFailure();
    else
        raiseCommunicationFailure();
}

void AlertMirrorController::raiseCommunicationFailure()
{
    if (!m_mirror)
        return;
    qDebug() << "Communication with junction box lost, alerts cleared";
    m_commsLost = true;
    // What the junction box last published can no longer be trusted: only the own alert stays.
    for (SerializableAlertInfo *alert : m_mirror->alerts()) {
        alert->setValid(QStringLiteral("AlertState"), true);
        alert->setAlertState(AlertVocabulary::Normal);
    }
    SerializableAlertInfo *local = localAlert();
    local->setValid(QStringLiteral("AlertText"), true);
    local->setAlertText(m_localText);
    local->setValid(QStringLiteral("AlertPriority"), true);
    local->setAlertPriority(m_localPriority);
    setLocalState(AlertVocabulary::ActiveUnacknowledged);
}

void AlertMirrorController::clearCommunicationFailure()
{
    if (!m_mirror)
        return;
    m_commsLost = false;
    if (m_localState == AlertVocabulary::ActiveUnacknowledged)
        setLocalState(AlertVocabulary::RectifiedUnacknowledged);
    else if (m_localState == AlertVocabulary::ActiveAcknowledged)
        setLocalState(AlertVocabulary::Normal);
    emit m_mirror->dataReceivedFromCommunication();
}

void AlertMirrorController::acknowledgeFromDisplay(const QString &alertText)
{
    if (!m_mirror)
        return;
    m_ackPending = true;
    m_mirror->setValid(ackProperty, true);
    m_mirror->setAckFromDisplay(alertText);
    // A handler that did not run (signal blocked) must not leave the next echo armed.
    m_ackPending = false;
}

void AlertMirrorController::ackAlertsFromDisplay()
{
    if (!m_mirror)
        return;
    const QString text = m_mirror->AckFromDisplay();
    if (!m_ackPending) {
        // Every publication of the junction box carries the text again; say so once per text.
        if (!text.isEmpty() && text != m_lastEcho)
            qDebug().noquote() << "Acknowledgement from junction box data not sent back: " + text;
        m_lastEcho = text;
        return;
    }
    m_ackPending = false;

    if (text == m_localText) {
        if (m_localState == AlertVocabulary::ActiveUnacknowledged)
            setLocalState(AlertVocabulary::ActiveAcknowledged);
        else if (m_localState == AlertVocabulary::RectifiedUnacknowledged)
            setLocalState(AlertVocabulary::Normal);
        emit m_mirror->dataReceivedFromCommunication();
        return;
    }
    // Sent as it stands, also when no mirrored alert has this text: the junction box decides.
    qDebug().noquote() << "Acknowledgement sent to junction box: " + text;
    m_mirror->serializeSingleProperty(ackProperty);
}

void AlertMirrorController::keepLocalAlert()
{
    SerializableAlertInfo *local = localAlert();
    if (!local)
        return;
    // The junction box publishes this child too, but the alert belongs to this unit.
    if (local->AlertState() != m_localState || local->AlertText() != m_localText
        || local->AlertPriority() != m_localPriority || !local->isValid(QStringLiteral("AlertState")))
        writeLocalAlert();
}

void AlertMirrorController::setLocalState(int state)
{
    const bool changed = state != m_localState;
    m_localState = state;
    SerializableAlertInfo *local = localAlert();
    local->setValid(QStringLiteral("AlertState"), true);
    local->setAlertState(state);
    if (changed) {
        qDebug().noquote() << "Communication alert state: " + AlertVocabulary::stateNames().value(state);
    }
}

void AlertMirrorController::writeLocalAlert()
{
    SerializableAlertInfo *local = localAlert();
    for (const char *name : {"AlertText", "AlertPriority", "AlertCategory", "AlertState"})
        local->setValid(QString::fromLatin1(name), true);
    local->setAlertText(m_localText);
    local->setAlertPriority(m_localPriority);
    local->setAlertCategory(m_localCategory);
    local->setAlertState(m_localState);
}
