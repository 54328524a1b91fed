#include "nmeabufferclass.h"

NmeaBufferClass::NmeaBufferClass(int interval_ms, QObject *parent)
    : QObject(parent)
{
    m_timer.setInterval(interval_ms);
    m_timer.start();
}
