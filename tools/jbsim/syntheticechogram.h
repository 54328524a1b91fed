#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVector>

// The simulated transceiver of one channel: for every ping it makes a plausible echo from a
// slowly varying seabed (strong bottom echo with a tail and a weaker second echo, surface
// noise near the transducer, weak background noise, a passing fish school now and then) and
// the detector's figures for it. Everything follows from the channel's parameters, the seed
// and the time since the start, so a ping can be made again exactly.
class SyntheticEchogram
{
public:
    // Vertical resolution of the echogram: the view draws one canvas row per display sample.
    static constexpr int kDisplaySamples = 400;
    static constexpr int kRawSamples = 2000;
    static constexpr quint8 kStrongest = 254;   // 255 is drawn as "no data" by the echogram

    struct Seabed
    {
        double shallowest = 5.0;       // metres below the transducer
        double deepest = 60.0;
        double periodS = 600.0;        // of the main undulation
        double phase = 0.0;
        double transducerDraft = 2.0;  // transducer below the surface
        double keelOffset = 0.5;       // transducer above the keel
        quint32 seed = 1;
        // The bottom is lost for lostForS seconds in every lostEveryS (0: never).
        double lostEveryS = 0.0;
        double lostForS = 0.0;
        double fishEveryS = 45.0;      // a school passes once in this time, for a fraction of it
    };

    // One ping of the channel, with the three sample buffers and the detector's figures.
    struct Ping
    {
        int channel = 0;
        qint64 number = 0;
        QDateTime timeUtc;
        double trueDepth = 0.0;        // of the seabed, metres below the transducer
        bool bottomFound = true;
        double depthBlwTransducer = -100.0;
        double depthBlwKeel = -100.0;
        double depthBlwSurface = -100.0;
        double bufferRange = 0.0;      // depth the samples cover, metres
        int bottomIndex = -1;          // in the raw samples; -1 when lost
        double noiseLevel = 0.0;
        double noiseRms = 0.0;
        double bestSnr = 0.0;          // dB
        double bestRms = 0.0;
        int bestIndex = 0;
        int startingIndex = 0;
        double windowWidth = 1.1;
        QByteArray raw;                // kRawSamples, unfiltered
        QByteArray filtered;           // kDisplaySamples, smoothed
        QByteArray display;            // kDisplaySamples, as drawn

        // Comma-separated values after the record header: date, time, the three depths
        // (-100 when lost), the buffer range and the detector's figures.
        QString values() const;
        // Information text of the display, raw or filtered record (header + values).
        QString displayInfo() const;
        QString rawInfo() const;
        QString filteredInfo() const;
    };

    explicit SyntheticEchogram(int channel, const Seabed &seabed);
    // The two channels of the simulated junction box: a shallow and a deep one.
    static Seabed defaultSeabed(int channel);

    int channel() const { return m_channel; }
    const Seabed &seabed() const { return m_seabed; }

    // Seabed depth below the transducer at elapsedS seconds, always within the seabed's bounds.
    double depthAt(double elapsedS) const;
    bool bottomLostAt(double elapsedS) const;
    // The range the junction box would choose for a depth: the smallest standard range that
    // holds the depth with a margin below it.
    static double rangeFor(double depth);
    static const QVector<double> &standardRanges();
    // Sample index of a depth within a range of sampleCount samples.
    static int sampleIndex(double depth, double range, int sampleCount);

    Ping ping(qint64 number, double elapsedS, const QDateTime &timeUtc) const;

private:
    void detect(Ping *p) const;

    int m_channel;
    Seabed m_seabed;
};
