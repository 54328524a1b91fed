#pragma once

#include <QDateTime>

// The unit's clock. On the unit the received time sets the clock; on a desktop host the host clock
// must not be touched, so the unit keeps its own offset from it and everything asks here for "now".
class UnitClock
{
public:
    static UnitClock &instance();

    QDateTime currentDateTimeUtc() const;
    QDateTime currentDateTimeLocal() const;
    void setCurrentDateTimeUtc(const QDateTime &utc);

    // Offset of local time from UTC in seconds, from the local settings, and whether it is known.
    void setUtcToLocalOffsetSecs(int secs, bool valid);
    int utcToLocalOffsetSecs() const { return m_localOffsetSecs; }
    bool isUtcToLocalOffsetValid() const { return m_localOffsetValid; }

private:
    UnitClock() = default;
    qint64 m_offsetMs = 0;
    int m_localOffsetSecs = 0;
    bool m_localOffsetValid = false;
};
