#include "validatedobject.h"

#include <QDebug>
#include <QVariant>

ValidatedObject::ValidatedObject(const QString &name, QObject *parent) : QObject(parent)
{
    if (name.isEmpty() || name == QLatin1String("UNINITIALIZED")) {
        qDebug().noquote() << "ValidatedObject::ValidatedObject - Object name not set for serializable class. Parent is: "
                                  + (parent ? parent->objectName() : QString());
        throw "Object name not set for serializable class";
    }
    setObjectName(name);
}

bool ValidatedObject::isValid(const QString &name) const
{
    return m_valid.value(name, false);
}

void ValidatedObject::setValid(const QString &name, bool valid)
{
    m_valid.insert(name, valid);
    m_validityCounters.insert(name, 0);
}

bool ValidatedObject::integrity(const QString &name) const
{
    return m_integrity.value(name, true);
}

void ValidatedObject::setIntegrity(const QString &name, bool integrity)
{
    m_integrity.insert(name, integrity);
}

void ValidatedObject::increaseValidityCounters()
{
    QStringList expired;
    for (auto it = m_validityCounters.begin(); it != m_validityCounters.end(); ++it) {
        ++it.value();
        if (it.value() > m_validityLimit && m_valid.value(it.key(), false))
            expired.append(it.key());
    }
    for (const QString &name : qAsConst(expired)) {
        setValid(name, false);
        const QByteArray latin = name.toLatin1();
        setProperty(latin.constData(), property(latin.constData()));
    }
}
