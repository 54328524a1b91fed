#include "binarybufferclass.h"

BinaryBufferClass::BinaryBufferClass(int tick_interval_msecs, QObject *parent)
    : QObject(parent), m_tickTimer(this)
{
    m_tickTimer.setInterval(tick_interval_msecs);
    m_tickTimer.start();
}
