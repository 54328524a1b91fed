#pragma once

#include <QString>
#include <QVector>

// The supply rails measured by the unit's ADC through the kernel's IIO interface. A rail whose
// input cannot be read (no ADC on this host) reads 0 V.
class SupplyVoltages
{
public:
    enum Rail { Supply24V, Supply5V, Supply3V3 };

    struct RailChannel
    {
        Rail rail;
        const char *name;
        const char *iioChannel;
        double dividerFactor;
    };

    // One ADC step in volts: 3.3 V over 12 bits.
    static constexpr double LsbVolts = 3.3 / 4095.0;

    static const QVector<RailChannel> &channels();
    static QString rawValuePath(const char *iioChannel);

    // Voltage of one rail; 0 when the input is missing or not a number.
    static double read(Rail rail);
    // Raw ADC count to volts for a rail.
    static double toVolts(Rail rail, int raw);

    // Reads all rails and keeps the values.
    void readAll();
    double voltage(Rail rail) const;

private:
    double m_volts[3] = {0.0, 0.0, 0.0};
};
