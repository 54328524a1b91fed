#include "listofsfisonnetwork.h"

#include <QDebug>

ListOfSfisOnNetwork::ListOfSfisOnNetwork(QObject *parent)
    : QObject(parent)
{
}

ListOfSfisOnNetwork &ListOfSfisOnNetwork::instance()
{
    static ListOfSfisOnNetwork list;
    return list;
}

void ListOfSfisOnNetwork::addSfi(QString sfi)
{
    if (!m_onNetwork.contains(sfi))
        m_onNetwork.append(sfi);
}

void ListOfSfisOnNetwork::removeSfi(QString sfi)
{
    m_onNetwork.removeAll(sfi);
    if (m_connected.removeAll(sfi) > 0)
        emit connectedSfisChanged(m_connected);
}

void ListOfSfisOnNetwork::connectSfi(QString sfi)
{
    addSfi(sfi);
    const QStringList previous = m_connected;
    m_connected = QStringList{sfi};
    if (previous != m_connected)
        emit connectedSfisChanged(m_connected);
}

void ListOfSfisOnNetwork::disconnectSfi(QString sfi)
{
    qDebug().noquote() << "Disconnect SFI: " + sfi;
    if (m_connected.removeAll(sfi) > 0)
        emit connectedSfisChanged(m_connected);
}

void ListOfSfisOnNetwork::deviceOnNetworkChangedLocalSfi(QString new_sfi, QString old_sfi)
{
    if (new_sfi == old_sfi)
        return;
    if (m_connected.contains(old_sfi))
        connectSfi(new_sfi);
    else
        addSfi(new_sfi);
    removeSfi(old_sfi);
}

void ListOfSfisOnNetwork::externalLocalSfiChanged(QString local_sfi)
{
    if (local_sfi == m_localSfi)
        return;
    m_localSfi = local_sfi;
    emit localSfiChanged(local_sfi);
}
