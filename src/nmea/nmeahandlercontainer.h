#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

class NmeaHandler;
class QTimer;

// The one set of receive handlers, created on first use: one handler per sentence type, looked up
// by talker and formatter ("PZTQ" selects the proprietary handlers).
class NmeaHandlerContainer : public QObject
{
    Q_OBJECT
public:
    static NmeaHandlerContainer &instance();

    NmeaHandler *handler(const QString &talker, const QString &formatter) const;
    NmeaHandler *standardHandler(const QString &formatter) const { return m_standard.value(formatter); }
    NmeaHandler *proprietaryHandler(const QString &formatter) const { return m_proprietary.value(formatter); }
    const QList<NmeaHandler *> &handlers() const { return m_handlers; }

    template <class T>
    T *find() const
    {
        for (NmeaHandler *h : m_handlers) {
            if (T *typed = qobject_cast<T *>(h))
                return typed;
        }
        return nullptr;
    }

public slots:
    // One validity tick for every handler (driven by the container's 1000 ms timer).
    void tickAll();

private:
    NmeaHandlerContainer();
    void add(NmeaHandler *handler);

    QHash<QString, NmeaHandler *> m_standard;
    QHash<QString, NmeaHandler *> m_proprietary;
    QList<NmeaHandler *> m_handlers;
    QTimer *m_timer = nullptr;
};
