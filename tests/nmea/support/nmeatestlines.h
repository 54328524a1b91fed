#pragma once

#include <QSignalSpy>
#include <QString>

namespace NmeaTest {
// "$" + body + "*" + checksum + "\r\n".
QString line(const QString &body);
// Keeps debug lines of deliberately bad input out of the test output.
void quietDebug();
// The first argument of every emission the spy caught, in order.
QVariantList firstArguments(const QSignalSpy &spy);
// Runs the shared validity tick of all fields that many times.
void tickFields(int times);
}
