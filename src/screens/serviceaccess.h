#pragma once

#include <QObject>
#include <QString>

// Protected settings (transducer installation, identities, ports, detector tuning) are changed by
// service engineers only: they open after the service code is entered and close again when the
// operator leaves the setup menu.
class ServiceAccess : public QObject
{
    Q_OBJECT
public:
    explicit ServiceAccess(QObject *parent = nullptr);

    bool isUnlocked() const { return m_unlocked; }
    // False, and still locked, for a wrong code.
    bool unlock(const QString &code);
    void lock();

signals:
    void unlockedChanged(bool unlocked);

private:
    bool m_unlocked = false;
};
