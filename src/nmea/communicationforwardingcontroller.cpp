#include "communicationforwardingcontroller.h"

CommunicationForwardingController::CommunicationForwardingController(QObject *parent)
    : QObject(parent)
{
}

void CommunicationForwardingController::addCommunicationInformation(QString info, int status, bool flush_immediately)
{
    if (m_pending.size() >= kMaxPendingLines)
        m_pending.removeFirst();
    m_pending.append({info, status});
    if (flush_immediately)
        flush();
}

void CommunicationForwardingController::addIgnoredInput(QString info)
{
    if (m_showIgnoredInput)
        addCommunicationInformation(info, 1, true);
}

void CommunicationForwardingController::flush()
{
    if (m_pending.isEmpty())
        return;
    const QList<Line> lines = m_pending;
    m_pending.clear();
    emit communicationInformationReady(lines);
}
