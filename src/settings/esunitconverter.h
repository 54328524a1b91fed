#pragma once

#include <QString>

// Depths, speeds and distances are stored in metres, knots and nautical miles and shown in the
// unit the operator chose. Unit numbers: depth 0 m, 1 ft, 2 fathoms; speed 0 kn, 1 m/s, 2 mi/h;
// distance 0 NM, 1 km, 2 mi. A unit text or number that is not listed is a programming error and
// throws its C-string message.
class ESUnitConverter
{
public:
    static int depthEnumFromString(const QString &unit);
    static int speedEnumFromString(const QString &unit);
    static int distanceEnumFromString(const QString &unit);

    static double convertDepth(float value, int from, int to);
    static double convertDepth(float value, const QString &from, const QString &to);
    static double convertSpeed(float value, int from, int to);
    static double convertSpeed(float value, const QString &from, const QString &to);
    static double convertDistance(float value, int from, int to);
    static double convertDistance(float value, const QString &from, const QString &to);
};
