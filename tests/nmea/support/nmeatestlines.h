#pragma once

#include <QString>

namespace NmeaTest {
// "$" + body + "*" + checksum + "\r\n".
QString line(const QString &body);
// Keeps debug lines of deliberately bad input out of the test output.
void quietDebug();
}
