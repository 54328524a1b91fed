#pragma once

#include <QDate>
#include <QDateTime>
#include <QMetaType>
#include <QString>
#include <QTime>

#include <array>

// The information text of one echo record, read once where the record comes in and passed on as
// this value to the echogram buffers, the readouts, the raw data logger and the depth history.
//
// The junction box starts the text with a 13-character header whose characters 9 to 11 name the
// kind of record ("Raw", "Fil", anything else a display record); after it follow the ping's date
// ("dd-MM-yyyy"), time ("hh-mm-ss-zzz") and the fifteen figures of the ping, comma-separated.
// Missing or unreadable figures are reported as missing; a depth of -100 means the box found no
// bottom.
class EchoRecordInfo
{
public:
    enum class Kind { Raw, Filtered, Display };

    // The figures after date and time, in the order of the text.
    enum Value {
        DepthBlwTransducer, DepthBlwKeel, DepthBlwSurface, BufferRange, CalculatedNoiseLevel,
        TestNoiseLevel, BestSnr, BestRms, BestIndex, SnrPowCorrection, MinSnr, NoiseRmsForSnr,
        CalculatedStartingIndex, BottomIndex, BottomDetectionWindowWidth, ValueCount
    };

    static constexpr int kHeaderLength = 13;
    static constexpr float kNoDepth = -100.0f;

    EchoRecordInfo() = default;

    // The whole text as it arrives, header first. A text shorter than the header has no kind
    // and no values (isComplete() is false).
    static EchoRecordInfo parse(const QString &info);
    // The text after the header, as the depth history and the logs keep it.
    static EchoRecordInfo fromValues(const QString &values, Kind kind = Kind::Display);
    // A display record the unit makes for a channel that fell silent: the time and no depth.
    static EchoRecordInfo noData(const QDateTime &utc);

    // The 13-character header of a record of this kind, as the unit writes it.
    static QString header(Kind kind);
    // The value text of a record without data: "dd-MM-yyyy,hh-mm-ss-zzz" followed by three
    // invalid depths and six zeros.
    static QString noDataValues(const QDateTime &utc);

    bool isComplete() const { return m_complete; }
    Kind kind() const { return m_kind; }
    QString text() const { return m_text; }
    QString values() const { return m_complete ? m_text.mid(m_valuesAt) : QString(); }

    QDate date() const { return m_date; }
    QTime time() const { return m_time; }
    // Both date and time readable: the ping's moment in UTC; otherwise invalid.
    QDateTime dateTimeUtc() const;

    bool has(Value v) const { return (m_present >> v) & 1u; }
    float value(Value v, float fallback = 0.0f) const { return has(v) ? m_values[size_t(v)] : fallback; }
    // Fields that were present but unreadable, date and time counted as one.
    int unreadableFields() const { return m_unreadable; }

    // The depth below the transducer; kNoDepth when the box found no bottom or sent none.
    float depth() const;
    bool hasDepth() const { return depth() > kNoDepth; }
    // The depth the samples cover, in metres; 0 when not given.
    float bufferRange() const;

    bool operator==(const EchoRecordInfo &o) const { return m_text == o.m_text && m_kind == o.m_kind; }
    bool operator!=(const EchoRecordInfo &o) const { return !(*this == o); }

private:
    void readValues();

    QString m_text;
    int m_valuesAt = 0;
    bool m_complete = false;
    Kind m_kind = Kind::Display;
    QDate m_date;
    QTime m_time;
    std::array<float, ValueCount> m_values{};
    quint32 m_present = 0;
    int m_unreadable = 0;
};

Q_DECLARE_METATYPE(EchoRecordInfo)
