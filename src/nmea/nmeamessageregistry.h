#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

class NmeaMessage;
class QObject;

// The two process-wide registries of sentence classes: proprietary sentences (talker "PZTQ") and
// all others, each mapping a formatter to the constructor of its class.
class NmeaMessageRegistry
{
public:
    using Factory = NmeaMessage *(*)(const QString &talker, QObject *parent);

    static NmeaMessageRegistry &instance();

    void registerStandard(const QString &formatter, Factory factory);
    void registerProprietary(const QString &formatter, Factory factory);

    // None for an unknown formatter. A standard talker and formatter that together name a class
    // of their own ("IIVBW") select that class.
    NmeaMessage *create(const QString &talker, const QString &formatter,
                        QObject *parent = nullptr) const;
    bool isKnown(const QString &talker, const QString &formatter) const;
    // The key under which (talker, formatter) is registered; empty when unknown.
    QString registeredFormatter(const QString &talker, const QString &formatter) const;

    QStringList standardFormatters() const;
    QStringList proprietaryFormatters() const;

    template <class T>
    static NmeaMessage *construct(const QString &talker, QObject *parent)
    {
        return new T(talker, parent);
    }

private:
    NmeaMessageRegistry();
    Factory find(const QString &talker, const QString &formatter) const;

    QHash<QString, Factory> m_standard;
    QHash<QString, Factory> m_proprietary;
};

// Registers every sentence class of the catalogue; defined with the catalogue.
void registerNmeaCatalogue(NmeaMessageRegistry &registry);
