#include "nmeaperiodicalsender.h"

#include "nmeahandler.h"
#include "nmeahandlercontainer.h"
#include "signalemitter.h"

#include <QTimer>
#include <QVector>

NmeaPeriodicalSender::NmeaPeriodicalSender(QObject *parent, int line_count)
    : NmeaPeriodicalSender(NmeaHandlerContainer::instance().handlers(), &SignalEmitter::instance(),
                           line_count, parent)
{
}

NmeaPeriodicalSender::NmeaPeriodicalSender(const QList<NmeaHandler *> &handlers,
                                           SignalEmitter *emitter, int line_count, QObject *parent)
    : QObject(parent)
    , m_timer(new QTimer(this))
    , m_handlers(handlers)
    , m_emitter(emitter)
    , m_lineCount(line_count)
{
    m_timer->setSingleShot(true);
    m_timer->setInterval(baseIntervalMs);
    connect(m_timer, &QTimer::timeout, this, &NmeaPeriodicalSender::sendPeriodicalFromTimeout);
    m_timer->start();
}

void NmeaPeriodicalSender::sendPeriodicalFromTimeout()
{
    sendPeriodicalMessages(0);
}

void NmeaPeriodicalSender::restartTimer()
{
    m_timer->start(baseIntervalMs);
}

void NmeaPeriodicalSender::sendPeriodicalMessages(int id)
{
    m_timer->stop();
    QVector<QList<QString>> perLine(m_lineCount);
    QVector<bool> marks(m_lineCount);
    for (NmeaHandler *handler : qAsConst(m_handlers)) {
        if (!handler->isPeriodicEnabled())
            continue;
        bool any = false;
        for (int line = 0; line < m_lineCount; ++line) {
            marks[line] = handler->registeredLines().contains(line);
            any = any || marks[line];
        }
        if (!any || !handler->advanceCycle())
            continue;
        const QStringList sentences =
            handler->isMultiSentence() ? handler->buildMultiOutgoing() : handler->buildOutgoing();
        for (int line = 0; line < m_lineCount; ++line) {
            if (marks[line])
                perLine[line].append(sentences);
        }
    }
    for (int line = 0; line < m_lineCount; ++line) {
        QList<QString> rest;
        for (const QString &sentence : qAsConst(perLine[line])) {
            if (sentence.contains(QLatin1String("HBT")) || sentence.contains(QLatin1String("DPT"))) {
                emit m_emitter->signalTypeAndCompleteNmeaMessageListWithCustomDestinationSFI(
                    QString(), {sentence}, Port(line), QString(), QString());
            } else {
                rest.append(sentence);
            }
        }
        if (!rest.isEmpty())
            emit m_emitter->signalTypeAndCompleteNmeaMessageListWithCustomDestinationSFI(
                QString(), rest, Port(line), QString(), QString());
    }
    m_timer->start(id == 0 ? baseIntervalMs : 2 * baseIntervalMs);
}
