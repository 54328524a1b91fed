#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QString>
#include <QStringList>

// One echo record as the junction box delivers it after a ping: the channel's samples (one byte
// each), an information text and the channel (0 or 1). The information text starts with a
// 13-character header whose characters 9 to 11 name the kind of record; after it follow the
// comma-separated values of the ping: date, time, the three depths, the buffer range and the
// detector's figures.
struct EchoRecord
{
    enum class Kind { Raw, Filtered, Display };

    static constexpr int kHeaderLength = 13;
    static constexpr float kNoDepth = -100.0f;

    // Positions of the values after the header.
    enum Field {
        DateField = 0,
        TimeField = 1,
        DepthBlwTransducerField = 2,
        DepthBlwKeelField = 3,
        DepthBlwSurfaceField = 4,
        BufferRangeField = 5,
    };

    QByteArray samples;
    QString info;
    int channel = 0;

    Kind kind() const { return kindOf(info); }
    // The text after the header.
    QString values() const { return info.mid(kHeaderLength); }

    static Kind kindOf(const QString &info);
    // The 13-character header the unit uses for records it makes itself.
    static QString header(Kind kind);
    // A depth or range value of a record's value list; fallback when missing or unreadable.
    static float number(const QStringList &values, int field, float fallback);
    // Text of a display record without data at the given time: "dd-MM-yyyy,hh-mm-ss-zzz"
    // followed by three invalid depths and six zeros.
    static QString noDataValues(const QDateTime &when);
};

Q_DECLARE_METATYPE(EchoRecord)
