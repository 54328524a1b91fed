#pragma once

#include "echorecord.h"

#include <QDataStream>
#include <QDateTime>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVector>

// The transmitted signal of a channel when a depth was measured: it tells how far the depth can
// be trusted (a low frequency reaches deeper, a long pulse resolves less).
struct SignalProperties
{
    float frequencyKHz = 0.0f;     // 0 while not known
    float pulseWidthUs = 0.0f;
    float powerPercent = 0.0f;

    bool isKnown() const { return frequencyKHz > 0.0f; }
    bool operator==(const SignalProperties &o) const
    {
        return frequencyKHz == o.frequencyKHz && pulseWidthUs == o.pulseWidthUs && powerPercent == o.powerPercent;
    }
    bool operator!=(const SignalProperties &o) const { return !(*this == o); }
};

// One point of the depth history of a channel: the ping time and the detector's per-ping values
// in the order of the junction box's record text, or a mark with its text.
struct BasicHistoryPoint
{
    enum Value {
        DepthBlwTransducer, DepthBlwKeel, DepthBlwSurface, BufferRange, CalculatedNoiseLevel,
        TestNoiseLevel, BestSnr, BestRms, BestIndex, SnrPowCorrection, MinSnr, NoiseRmsForSnr,
        CalculatedStartingIndex, BottomIndex, BottomDetectionWindowWidth, ValueCount,
        // Stored after the record's own values.
        SignalFrequency = ValueCount, SignalPulseWidth, SignalPower, StoredValueCount
    };

    QDateTime time;
    int channel = 0;
    QVector<float> values = defaultValues();
    bool isMark = false;
    QString markText;

    float value(Value v) const { return values.value(v, 0.0f); }
    SignalProperties signal() const;
    void setSignal(const SignalProperties &signal);

    static const QStringList &valueNames();
    static QVector<float> defaultValues();
    // From a display record. Missing or unreadable values keep their defaults and are counted in
    // *badFields; an unreadable date or time gives a point without a valid time.
    static BasicHistoryPoint fromRecord(const EchoRecordInfo &record, int channel, int *badFields = nullptr);

    bool operator==(const BasicHistoryPoint &o) const;
};

QDataStream &operator<<(QDataStream &out, const BasicHistoryPoint &p);
QDataStream &operator>>(QDataStream &in, BasicHistoryPoint &p);

Q_DECLARE_METATYPE(SignalProperties)
Q_DECLARE_METATYPE(BasicHistoryPoint)
Q_DECLARE_METATYPE(QList<BasicHistoryPoint>)
