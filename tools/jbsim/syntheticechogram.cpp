#include "syntheticechogram.h"

#include "echorecord.h"

#include <QtMath>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

constexpr double kMinSnrDb = 12.0;
constexpr int kBottomThreshold = 200;   // a bottom echo is at least this strong; a school is not
constexpr double kTwoPi = 6.283185307179586;

// One reproducible stream of random numbers per seed, channel and ping.
std::mt19937 streamFor(quint32 seed, int channel, qint64 number)
{
    std::seed_seq seq{seed, quint32(channel), quint32(number & 0xffffffff), quint32(quint64(number) >> 32)};
    return std::mt19937(seq);
}

// A repeatable value in [0, 1) for an event window, independent of the ping stream.
double eventValue(quint32 seed, int channel, qint64 window, int which)
{
    std::mt19937 g = streamFor(seed ^ 0x5eedf15bu, channel * 31 + which, window);
    return std::uniform_real_distribution<double>(0.0, 1.0)(g);
}

QString fixed(double v, int decimals = 2) { return QString::number(v, 'f', decimals); }

// A missing depth is written as the plain marker value.
QString depthText(double metres)
{
    return metres <= EchoRecordInfo::kNoDepth ? QStringLiteral("-100") : fixed(metres);
}

quint8 clampLevel(double v)
{
    return quint8(qBound(0.0, std::round(v), double(SyntheticEchogram::kStrongest)));
}

} // namespace

SyntheticEchogram::SyntheticEchogram(int channel, const Seabed &seabed) : m_channel(channel), m_seabed(seabed) {}

SyntheticEchogram::Seabed SyntheticEchogram::defaultSeabed(int channel)
{
    Seabed s;
    if (channel == 0) {
        // A coastal channel: a few metres over banks to about sixty in the troughs.
        s.shallowest = 4.0;
        s.deepest = 60.0;
        s.periodS = 420.0;
        s.phase = 0.7;
        s.transducerDraft = 2.0;
        s.keelOffset = 0.5;
        s.seed = 0x1a2b3c4du;
        s.lostEveryS = 0.0;
        s.fishEveryS = 40.0;
    } else {
        // A deep-water channel down to a few hundred metres, losing the bottom now and then.
        s.shallowest = 40.0;
        s.deepest = 320.0;
        s.periodS = 900.0;
        s.phase = 2.1;
        s.transducerDraft = 2.5;
        s.keelOffset = 0.3;
        s.seed = 0x5e6f7081u;
        s.lostEveryS = 150.0;
        s.lostForS = 6.0;
        s.fishEveryS = 55.0;
    }
    return s;
}

const QVector<double> &SyntheticEchogram::standardRanges()
{
    static const QVector<double> ranges{5, 10, 20, 50, 100, 200, 500, 1000, 2000};
    return ranges;
}

double SyntheticEchogram::rangeFor(double depth)
{
    for (double r : standardRanges()) {
        if (depth <= 0.8 * r)
            return r;
    }
    return standardRanges().last();
}

int SyntheticEchogram::sampleIndex(double depth, double range, int sampleCount)
{
    if (range <= 0.0 || sampleCount <= 0)
        return 0;
    return qBound(0, int(std::floor(depth / range * sampleCount)), sampleCount - 1);
}

double SyntheticEchogram::depthAt(double elapsedS) const
{
    const Seabed &s = m_seabed;
    const double w = kTwoPi * elapsedS / s.periodS + s.phase;
    // A long undulation with shorter ridges on it, kept within the bounds.
    const double shape = 0.65 * std::sin(w) + 0.25 * std::sin(2.7 * w + 1.3) + 0.10 * std::sin(7.1 * w + 0.4);
    const double middle = 0.5 * (s.shallowest + s.deepest);
    const double half = 0.5 * (s.deepest - s.shallowest);
    return qBound(s.shallowest, middle + half * shape, s.deepest);
}

bool SyntheticEchogram::bottomLostAt(double elapsedS) const
{
    const Seabed &s = m_seabed;
    if (s.lostEveryS <= 0.0 || s.lostForS <= 0.0)
        return false;
    const double into = std::fmod(elapsedS, s.lostEveryS);
    return into >= s.lostEveryS - s.lostForS;
}

SyntheticEchogram::Ping SyntheticEchogram::ping(qint64 number, double elapsedS, const QDateTime &timeUtc) const
{
    const Seabed &s = m_seabed;
    Ping p;
    p.channel = m_channel;
    p.number = number;
    p.timeUtc = timeUtc;
    p.trueDepth = depthAt(elapsedS);
    p.bufferRange = rangeFor(p.trueDepth);

    std::mt19937 g = streamFor(s.seed, m_channel, number);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::normal_distribution<double> gauss(0.0, 1.0);

    const double d = p.trueDepth;
    const bool lost = bottomLostAt(elapsedS);
    const double peak = lost ? 20.0 : 240.0 + 8.0 * unit(g);
    const double tail = 0.5 + 0.03 * d;             // the bottom echo fades over this depth
    const double rise = qMax(0.05, 0.002 * d);      // its leading edge
    const double surfaceScale = 0.9 + 0.4 * unit(g);

    // A school passes once per window, for a few seconds, at a depth between surface and bottom.
    const qint64 window = qint64(std::floor(elapsedS / s.fishEveryS));
    const double schoolStart = window * s.fishEveryS + 0.6 * s.fishEveryS * eventValue(s.seed, m_channel, window, 0);
    const double schoolLength = 4.0 + 6.0 * eventValue(s.seed, m_channel, window, 1);
    const double schoolDepth = d * (0.3 + 0.4 * eventValue(s.seed, m_channel, window, 2));
    const double schoolHalfHeight = 0.5 + 0.03 * d * eventValue(s.seed, m_channel, window, 3) + 0.5;
    const double schoolStrength = 110.0 + 50.0 * eventValue(s.seed, m_channel, window, 4);
    double schoolShare = 0.0;   // 0 outside, 1 at the middle of its passage
    if (elapsedS >= schoolStart && elapsedS < schoolStart + schoolLength) {
        const double x = (elapsedS - schoolStart - schoolLength / 2) / (schoolLength / 2);
        schoolShare = std::sqrt(qMax(0.0, 1.0 - x * x));
    }

    p.raw.resize(kRawSamples);
    const double step = p.bufferRange / kRawSamples;
    for (int i = 0; i < kRawSamples; ++i) {
        const double z = (i + 0.5) * step;
        double v = 6.0 + 6.0 * unit(g) + 4.0 * z / p.bufferRange;                         // background
        v += 210.0 * std::exp(-z / surfaceScale) * (0.8 + 0.4 * unit(g));                  // surface
        if (z >= d - rise && z < d)
            v += peak * (z - (d - rise)) / rise;                                           // leading edge
        else if (z >= d)
            v += peak * std::exp(-(z - d) / tail) * (0.9 + 0.1 * unit(g));                 // bottom and tail
        const double second = 2.0 * d + s.transducerDraft;
        if (!lost && z >= second)
            v += 0.35 * peak * std::exp(-(z - second) / (2.0 * tail));                     // second echo
        if (schoolShare > 0.0 && std::abs(z - schoolDepth) < schoolHalfHeight * schoolShare)
            v += schoolStrength * (0.6 + 0.4 * unit(g));                                   // fish
        v += 2.0 * gauss(g);
        p.raw[i] = char(clampLevel(v));
    }

    // Filtered and display samples: groups of raw samples, smoothed for the scope and the
    // strongest of each group for the echogram so the bottom edge stays sharp.
    p.filtered.resize(kDisplaySamples);
    p.display.resize(kDisplaySamples);
    const auto rawAt = [&p](int i) { return double(quint8(p.raw.at(qBound(0, i, kRawSamples - 1)))); };
    constexpr int group = kRawSamples / kDisplaySamples;
    for (int i = 0; i < kDisplaySamples; ++i) {
        const int a = group * i;
        double sum = 0.0;
        double strongest = 0.0;
        for (int j = 0; j < group; ++j) {
            sum += rawAt(a + j);
            strongest = qMax(strongest, rawAt(a + j));
        }
        p.filtered[i] = char(clampLevel(sum / group));
        p.display[i] = char(clampLevel(strongest));
    }

    detect(&p);
    return p;
}

// The detector works on the raw samples alone: past the surface ringing it looks for the
// strongest echo, tests it against the noise and takes the leading edge as the bottom.
void SyntheticEchogram::detect(Ping *p) const
{
    const auto at = [p](int i) { return int(quint8(p->raw.at(i))); };
    const double step = p->bufferRange / kRawSamples;

    int start = 0;
    while (start < kRawSamples - 1 && at(start) > 40)
        ++start;
    p->startingIndex = start;

    int best = start;
    for (int i = start; i < kRawSamples; ++i) {
        if (at(i) > at(best))
            best = i;
    }
    p->bestIndex = best;

    // Noise from the water column between the surface ringing and the echo, robust to a school.
    const int guard = qMax(start, best - int(2.0 / step) - 4);
    QVector<int> water;
    for (int i = start; i < guard; ++i)
        water.append(at(i));
    if (water.isEmpty())
        water.append(at(start));
    std::sort(water.begin(), water.end());
    p->noiseLevel = water.at(water.size() / 2);
    double squares = 0.0;
    for (int v : water)
        squares += double(v) * v;
    p->noiseRms = std::sqrt(squares / water.size());

    const int half = qMax(1, int(p->windowWidth / 2 / step));
    double window = 0.0;
    int counted = 0;
    for (int i = qMax(0, best - half); i <= qMin(kRawSamples - 1, best + half); ++i, ++counted)
        window += double(at(i)) * at(i);
    p->bestRms = std::sqrt(window / qMax(1, counted));
    p->bestSnr = 20.0 * std::log10(qMax(1.0, double(at(best))) / qMax(1.0, p->noiseRms));

    p->bottomFound = at(best) >= kBottomThreshold && p->bestSnr >= kMinSnrDb;
    if (!p->bottomFound) {
        p->bottomIndex = -1;
        p->depthBlwTransducer = p->depthBlwKeel = p->depthBlwSurface = EchoRecordInfo::kNoDepth;
        return;
    }
    // Leading edge: back from the peak to where the echo first passes half of it.
    int edge = best;
    const int halfPeak = (at(best) + int(p->noiseLevel)) / 2;
    while (edge > start && at(edge - 1) >= halfPeak)
        --edge;
    p->bottomIndex = edge;
    p->depthBlwTransducer = (edge + 0.5) * step;
    p->depthBlwKeel = p->depthBlwTransducer - m_seabed.keelOffset;
    p->depthBlwSurface = p->depthBlwTransducer + m_seabed.transducerDraft;
}

QString SyntheticEchogram::Ping::values() const
{
    const QStringList v{
        timeUtc.toString(QStringLiteral("dd-MM-yyyy")),
        timeUtc.toString(QStringLiteral("hh-mm-ss-zzz")),
        depthText(depthBlwTransducer),
        depthText(depthBlwKeel),
        depthText(depthBlwSurface),
        fixed(bufferRange, 0),
        fixed(noiseLevel, 1),
        fixed(noiseLevel + 2.0 * qMax(0.0, noiseRms - noiseLevel), 1),
        fixed(bestSnr, 1),
        fixed(bestRms, 1),
        QString::number(bestIndex),
        fixed(0.0, 1),
        fixed(kMinSnrDb, 1),
        fixed(noiseRms, 1),
        QString::number(startingIndex),
        QString::number(qMax(0, bottomIndex)),
        fixed(windowWidth, 1),
    };
    return v.join(QLatin1Char(','));
}

QString SyntheticEchogram::Ping::displayInfo() const { return EchoRecordInfo::header(EchoRecordInfo::Kind::Display) + values(); }
QString SyntheticEchogram::Ping::rawInfo() const { return EchoRecordInfo::header(EchoRecordInfo::Kind::Raw) + values(); }
QString SyntheticEchogram::Ping::filteredInfo() const { return EchoRecordInfo::header(EchoRecordInfo::Kind::Filtered) + values(); }
