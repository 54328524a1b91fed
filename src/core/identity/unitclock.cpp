#include "unitclock.h"

UnitClock &UnitClock::instance()
{
    static UnitClock clock;
    return clock;
}

QDateTime UnitClock::currentDateTimeUtc() const
{
    return QDateTime::currentDateTimeUtc().addMSecs(m_offsetMs);
}

QDateTime UnitClock::currentDateTimeLocal() const
{
    const QDateTime utc = currentDateTimeUtc();
    if (!m_localOffsetValid)
        return utc.toLocalTime();
    QDateTime local = utc.addSecs(m_localOffsetSecs);
    local.setOffsetFromUtc(m_localOffsetSecs);
    return local;
}

void UnitClock::setCurrentDateTimeUtc(const QDateTime &utc)
{
    if (!utc.isValid())
        return;
    m_offsetMs = QDateTime::currentDateTimeUtc().msecsTo(utc.toUTC());
}

void UnitClock::setUtcToLocalOffsetSecs(int secs, bool valid)
{
    m_localOffsetValid = valid;
    if (valid)
        m_localOffsetSecs = secs;
}
