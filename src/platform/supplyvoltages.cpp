#include "supplyvoltages.h"

#include "rootpath.h"
#include "sysfsfile.h"

#include <QDebug>

namespace {
const char *const kIioPrefix = "/sys/bus/iio/devices/iio:device0/in_voltage";
const char *const kIioSuffix = "_raw";

const SupplyVoltages::RailChannel &channelOf(SupplyVoltages::Rail rail)
{
    for (const SupplyVoltages::RailChannel &channel : SupplyVoltages::channels()) {
        if (channel.rail == rail)
            return channel;
    }
    qDebug() << "Unknown supply rail: " << int(rail);
    throw "Unknown supply rail";
}
}

const QVector<SupplyVoltages::RailChannel> &SupplyVoltages::channels()
{
    static const QVector<RailChannel> table = {
        {Supply24V, "24 V supply", "11", 12.020408},
        {Supply5V, "5 V supply", "10", 2.0},
        {Supply3V3, "3.3 V supply", "6", 1.3316327},
    };
    return table;
}

QString SupplyVoltages::rawValuePath(const char *iioChannel)
{
    return kve::rootPath(QLatin1String(kIioPrefix) + QLatin1String(iioChannel)
                         + QLatin1String(kIioSuffix));
}

double SupplyVoltages::toVolts(Rail rail, int raw)
{
    return raw * LsbVolts * channelOf(rail).dividerFactor;
}

double SupplyVoltages::read(Rail rail)
{
    const QString text = kve::sysfs::readValue(rawValuePath(channelOf(rail).iioChannel));
    bool ok = false;
    const int raw = text.toInt(&ok);
    if (!ok || raw < 0)
        return 0.0;
    return toVolts(rail, raw);
}

void SupplyVoltages::readAll()
{
    for (const RailChannel &channel : channels())
        m_volts[channel.rail] = read(channel.rail);
}

double SupplyVoltages::voltage(Rail rail) const
{
    return m_volts[channelOf(rail).rail];
}
