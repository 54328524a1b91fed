#include "serviceaccess.h"

#include <QDebug>

namespace {
// The code given to service engineers with the installation manual.
const QString kServiceCode = QStringLiteral("0420");
}

ServiceAccess::ServiceAccess(QObject *parent) : QObject(parent) {}

bool ServiceAccess::unlock(const QString &code)
{
    if (code != kServiceCode) {
        qDebug() << "Service code refused";
        return false;
    }
    if (!m_unlocked) {
        m_unlocked = true;
        qDebug() << "Service settings opened";
        emit unlockedChanged(true);
    }
    return true;
}

void ServiceAccess::lock()
{
    if (!m_unlocked)
        return;
    m_unlocked = false;
    qDebug() << "Service settings closed";
    emit unlockedChanged(false);
}
