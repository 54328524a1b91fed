#include "historypoint.h"

namespace {
const float kNoDepth = -100.0f;
const float kNoBufferRange = 99999999.0f;
}

const QStringList &BasicHistoryPoint::valueNames()
{
    static const QStringList names = {
        "DepthBlwTransducer", "DepthBlwKeel", "DepthBlwSurface", "BufferRange", "CalculatedNoiseLevel",
        "TestNoiseLevel", "BestSnr", "BestRms", "BestIndex", "SnrPowCorrection", "MinSnr",
        "NoiseRmsForSnr", "CalculatedStartingIndex", "BottomIndex", "BottomDetectionWindowWidth",
        "SignalFrequency", "SignalPulseWidth", "SignalPower"};
    return names;
}

QVector<float> BasicHistoryPoint::defaultValues()
{
    QVector<float> v(StoredValueCount, 0.0f);
    v[DepthBlwTransducer] = v[DepthBlwKeel] = v[DepthBlwSurface] = kNoDepth;
    v[BufferRange] = kNoBufferRange;
    return v;
}

SignalProperties BasicHistoryPoint::signal() const
{
    SignalProperties s;
    s.frequencyKHz = value(SignalFrequency);
    s.pulseWidthUs = value(SignalPulseWidth);
    s.powerPercent = value(SignalPower);
    return s;
}

void BasicHistoryPoint::setSignal(const SignalProperties &signal)
{
    if (values.size() < StoredValueCount)
        values.resize(StoredValueCount);
    values[SignalFrequency] = signal.frequencyKHz;
    values[SignalPulseWidth] = signal.pulseWidthUs;
    values[SignalPower] = signal.powerPercent;
}

BasicHistoryPoint BasicHistoryPoint::fromRecord(const EchoRecordInfo &record, int channel, int *badFields)
{
    static_assert(int(ValueCount) == int(EchoRecordInfo::ValueCount),
                  "a history point keeps every figure of a record, in the record's order");
    BasicHistoryPoint p;
    p.channel = channel;
    p.time = record.dateTimeUtc();
    for (int i = 0; i < ValueCount; ++i)
        p.values[i] = record.value(EchoRecordInfo::Value(i), p.values[i]);
    if (badFields)
        *badFields = record.unreadableFields();
    return p;
}

bool BasicHistoryPoint::operator==(const BasicHistoryPoint &o) const
{
    return time == o.time && channel == o.channel && values == o.values && isMark == o.isMark
           && markText == o.markText;
}

QDataStream &operator<<(QDataStream &out, const BasicHistoryPoint &p)
{
    out << p.time.toMSecsSinceEpoch() << qint8(p.channel) << qint8(p.isMark) << quint8(p.values.size());
    for (float v : p.values)
        out << v;
    if (p.isMark)
        out << p.markText;
    return out;
}

QDataStream &operator>>(QDataStream &in, BasicHistoryPoint &p)
{
    qint64 ms = 0;
    qint8 channel = 0, mark = 0;
    quint8 count = 0;
    in >> ms >> channel >> mark >> count;
    p.time = QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
    p.channel = channel;
    p.isMark = mark != 0;
    p.values = BasicHistoryPoint::defaultValues();
    for (int i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        float v = 0;
        in >> v;
        if (i < p.values.size())
            p.values[i] = v;
    }
    p.markText.clear();
    if (p.isMark)
        in >> p.markText;
    return in;
}
