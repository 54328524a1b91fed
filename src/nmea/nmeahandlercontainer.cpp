#include "nmeahandlercontainer.h"

#include "nmeahandlers.h"

#include <QCoreApplication>
#include <QDebug>
#include <QTimer>

NmeaHandlerContainer &NmeaHandlerContainer::instance()
{
    static NmeaHandlerContainer *container = new NmeaHandlerContainer;
    return *container;
}

NmeaHandlerContainer::NmeaHandlerContainer()
{
    add(new HandlerAck(this));
    add(new HandlerAcn(this));
    add(new HandlerAlc(this));
    add(new HandlerAlf(this));
    add(new HandlerAlr(this));
    add(new HandlerArc(this));
    add(new HandlerCur(this));
    add(new HandlerDat(this));
    add(new HandlerDbk(this));
    add(new HandlerDbs(this));
    add(new HandlerDbt(this));
    add(new HandlerDdc(this));
    add(new HandlerDpt(this));
    add(new HandlerDtm(this));
    add(new HandlerGga(this));
    add(new HandlerGll(this));
    add(new HandlerGsa(this));
    add(new HandlerGst(this));
    add(new HandlerGsv(this));
    add(new HandlerHbt(this));
    add(new HandlerHdt(this));
    add(new HandlerIivbw(this));
    add(new HandlerMtw(this));
    add(new HandlerRmc(this));
    add(new HandlerRot(this));
    add(new HandlerSrp(this));
    add(new HandlerThs(this));
    add(new HandlerVbw(this));
    add(new HandlerVhw(this));
    add(new HandlerVlw(this));
    add(new HandlerVtg(this));
    add(new HandlerXdr(this));
    add(new HandlerZda(this));
    add(new HandlerPztqCfg(this));
    add(new HandlerPztqCfgr(this));
    add(new HandlerPztqDat(this));
    add(new HandlerPztqDevStart(this));
    add(new HandlerPztqDpt(this));
    add(new HandlerPztqErrorcode(this));
    add(new HandlerPztqErrortable(this));
    add(new HandlerPztqGcf(this));
    add(new HandlerPztqIcm(this));
    add(new HandlerPztqMaca(this));
    add(new HandlerPztqMtwf(this));
    add(new HandlerPztqPair(this));
    add(new HandlerPztqPara(this));
    add(new HandlerPztqReboot(this));
    add(new HandlerPztqRsto(this));
    add(new HandlerPztqRstt(this));
    add(new HandlerPztqScf(this));
    add(new HandlerPztqSfiAck(this));
    add(new HandlerPztqSfiChange(this));
    add(new HandlerPztqSfiChk(this));
    add(new HandlerPztqSfiTkn(this));
    add(new HandlerPztqSlp(this));
    add(new HandlerPztqSnf(this));
    add(new HandlerPztqStl(this));
    add(new HandlerPztqSyc(this));
    add(new HandlerPztqTst(this));
    add(new HandlerPztqVbwf(this));
    add(new HandlerPztqVbwx(this));
    add(new HandlerPztqVmpcgter(this));

    if (QCoreApplication::instance()) {
        m_timer = new QTimer(this);
        m_timer->setInterval(1000);
        connect(m_timer, &QTimer::timeout, this, &NmeaHandlerContainer::tickAll);
        m_timer->start();
    }
}

void NmeaHandlerContainer::add(NmeaHandler *handler)
{
    QHash<QString, NmeaHandler *> &map = handler->isProprietary() ? m_proprietary : m_standard;
    if (map.contains(handler->formatter())) {
        qDebug() << "Handler registered twice: " << handler->formatter();
        throw "Handler registered twice!";
    }
    map.insert(handler->formatter(), handler);
    m_handlers.append(handler);
}

NmeaHandler *NmeaHandlerContainer::handler(const QString &talker, const QString &formatter) const
{
    if (talker == QLatin1String("PZTQ"))
        return m_proprietary.value(formatter);
    if (!talker.isEmpty()) {
        if (NmeaHandler *whole = m_standard.value(talker + formatter))
            return whole;
    }
    return m_standard.value(formatter);
}

void NmeaHandlerContainer::tickAll()
{
    for (NmeaHandler *h : qAsConst(m_handlers))
        h->validityTimerTimeout();
    if (auto *reboot = find<HandlerPztqReboot>())
        reboot->tick();
}
