#include "nmeamessageregistry.h"

#include "nmeamessage.h"

#include <QDebug>

NmeaMessageRegistry &NmeaMessageRegistry::instance()
{
    static NmeaMessageRegistry registry;
    return registry;
}

NmeaMessageRegistry::NmeaMessageRegistry()
{
    registerNmeaCatalogue(*this);
}

void NmeaMessageRegistry::registerStandard(const QString &formatter, Factory factory)
{
    if (m_standard.contains(formatter)) {
        qDebug() << "Sentence registered twice: " << formatter;
        throw "Sentence registered twice!";
    }
    m_standard.insert(formatter, factory);
}

void NmeaMessageRegistry::registerProprietary(const QString &formatter, Factory factory)
{
    if (m_proprietary.contains(formatter)) {
        qDebug() << "Proprietary sentence registered twice: " << formatter;
        throw "Proprietary sentence registered twice!";
    }
    m_proprietary.insert(formatter, factory);
}

NmeaMessageRegistry::Factory NmeaMessageRegistry::find(const QString &talker,
                                                       const QString &formatter) const
{
    if (talker == QLatin1String("PZTQ"))
        return m_proprietary.value(formatter, nullptr);
    if (!talker.isEmpty()) {
        if (Factory whole = m_standard.value(talker + formatter, nullptr))
            return whole;
    }
    return m_standard.value(formatter, nullptr);
}

QString NmeaMessageRegistry::registeredFormatter(const QString &talker,
                                                 const QString &formatter) const
{
    if (talker == QLatin1String("PZTQ"))
        return m_proprietary.contains(formatter) ? formatter : QString();
    if (!talker.isEmpty() && m_standard.contains(talker + formatter))
        return talker + formatter;
    return m_standard.contains(formatter) ? formatter : QString();
}

NmeaMessage *NmeaMessageRegistry::create(const QString &talker, const QString &formatter,
                                         QObject *parent) const
{
    Factory factory = find(talker, formatter);
    return factory ? factory(talker, parent) : nullptr;
}

bool NmeaMessageRegistry::isKnown(const QString &talker, const QString &formatter) const
{
    return find(talker, formatter) != nullptr;
}

QStringList NmeaMessageRegistry::standardFormatters() const
{
    QStringList list = m_standard.keys();
    list.sort();
    return list;
}

QStringList NmeaMessageRegistry::proprietaryFormatters() const
{
    QStringList list = m_proprietary.keys();
    list.sort();
    return list;
}
