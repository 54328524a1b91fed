#include "esunitconverter.h"

#include <QDebug>

namespace {

constexpr float metersPerFoot = 0.3048f;
constexpr float metersPerFathom = 1.8288f;
constexpr float metersPerNauticalMile = 1852.0f;
constexpr float metersPerStatuteMile = 1609.344f;
constexpr float secondsPerHour = 3600.0f;
constexpr float kilometersPerNauticalMile = 1.852f;
constexpr float milesPerNauticalMile = 1.15078f;
constexpr float kilometersPerMile = 1.609344f;

int unitFromText(const QString &unit, const char *const texts[3], const char *error)
{
    for (int i = 0; i < 3; ++i) {
        if (unit == QLatin1String(texts[i]))
            return i;
    }
    qDebug() << error << unit;
    throw error;
}

void checkUnit(int unit, const char *error)
{
    if (unit < 0 || unit > 2) {
        qDebug() << error << unit;
        throw error;
    }
}

const char depthError[] = "Error in ESUnitConverter: enum of type enum_ScalesDepth not handled in conversion!";
const char speedError[] = "Error in ESUnitConverter: enum of type enum_ScalesSpeed not handled in conversion!";

} // namespace

int ESUnitConverter::depthEnumFromString(const QString &unit)
{
    static const char *const texts[3] = {"m", "ft", "fm"};
    return unitFromText(unit, texts, "Invalid unit string passed to ESUnitConverter::depthEnumFromString()!");
}

int ESUnitConverter::speedEnumFromString(const QString &unit)
{
    static const char *const texts[3] = {"kn", "m/s", "mi/h"};
    return unitFromText(unit, texts, "Invalid unit string passed to ESUnitConverter::speedEnumFromString()!");
}

int ESUnitConverter::distanceEnumFromString(const QString &unit)
{
    static const char *const texts[3] = {"NM", "km", "mi"};
    return unitFromText(unit, texts, "Invalid unit string passed to ESUnitConverter::distanceEnumFromString()!");
}

double ESUnitConverter::convertDepth(float value, int from, int to)
{
    checkUnit(from, depthError);
    checkUnit(to, depthError);
    if (from == to)
        return value;
    // Through metres: 1 ft = 0.3048 m, 1 fathom = 1.8288 m.
    static const float metersPerUnit[3] = {1.0f, metersPerFoot, metersPerFathom};
    const double meters = double(value) * double(metersPerUnit[from]);
    return meters / double(metersPerUnit[to]);
}

double ESUnitConverter::convertDepth(float value, const QString &from, const QString &to)
{
    return convertDepth(value, depthEnumFromString(from), depthEnumFromString(to));
}

double ESUnitConverter::convertSpeed(float value, int from, int to)
{
    checkUnit(from, speedError);
    checkUnit(to, speedError);
    if (from == to)
        return value;
    // Through metres per hour: 1 kn = 1852 m/h, 1 m/s = 3600 m/h, 1 mi/h = 1609.344 m/h.
    static const float metersPerHour[3] = {metersPerNauticalMile, secondsPerHour, metersPerStatuteMile};
    const double perHour = double(value) * double(metersPerHour[from]);
    return perHour / double(metersPerHour[to]);
}

double ESUnitConverter::convertSpeed(float value, const QString &from, const QString &to)
{
    return convertSpeed(value, speedEnumFromString(from), speedEnumFromString(to));
}

double ESUnitConverter::convertDistance(float value, int from, int to)
{
    checkUnit(from, speedError);
    checkUnit(to, speedError);
    if (from == to)
        return value;
    const double v = value;
    if (from == 0)
        return to == 1 ? v * double(kilometersPerNauticalMile) : v * double(milesPerNauticalMile);
    if (from == 1)
        return to == 0 ? v / double(kilometersPerNauticalMile) : v / double(kilometersPerMile);
    return to == 0 ? v / double(milesPerNauticalMile) : v * double(kilometersPerMile);
}

double ESUnitConverter::convertDistance(float value, const QString &from, const QString &to)
{
    return convertDistance(value, distanceEnumFromString(from), distanceEnumFromString(to));
}
