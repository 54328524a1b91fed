#include "hardware.h"

#include "beepgenerator.h"
#include "buzzer.h"
#include "dimmingcontroller.h"
#include "gpiocontainer.h"

#include <QDebug>

Hardware::Hardware(QObject *parent)
    : QObject(parent)
    , m_dimming(new DimmingController(this))
    , m_gpio(new GpioContainer(this))
    , m_beeper(new BeepGenerator(this))
    , m_buzzer(new Buzzer(m_beeper, this))
{
}

void Hardware::addInitStep(const InitStep &step)
{
    m_extraSteps.append(step);
}

QStringList Hardware::failureBanner()
{
    return {QString(81, QLatin1Char('!')),
            QStringLiteral("!!!!!!!!!!!!!!!!!!!!!!!!!!!!  Hardware init failed   !!!!!!!!!!!!!!!!!!!!!!!!!!!!"),
            QStringLiteral("!!!!!!!!!!!!!!!!!!!!!!!!!!!!  Check Hardware!        !!!!!!!!!!!!!!!!!!!!!!!!!!!!")};
}

bool Hardware::init()
{
    m_supply.readAll();
    for (const SupplyVoltages::RailChannel &channel : SupplyVoltages::channels())
        qDebug().noquote() << QString::fromLatin1(channel.name) + ": "
                                  + QString::number(m_supply.voltage(channel.rail), 'f', 2) + " V";

    bool ok = m_dimming->init();
    ok = m_gpio->init() && ok;
    for (const InitStep &step : qAsConst(m_extraSteps))
        ok = step() && ok;

    if (!ok) {
        for (const QString &line : failureBanner())
            qDebug().noquote() << line;
    }
    return ok;
}
