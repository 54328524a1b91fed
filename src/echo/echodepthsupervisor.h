#pragma once

#include "echorecord.h"

#include <QObject>
#include <QString>

#include <array>

class ValidatedFloatProperty;

// The depth each channel's readout shows. A depth is a received value like any other: it stays
// valid for its validity limit after the last record that carried one and then ages out with the
// unit's validity tick, so that the readout never shows an old depth as if it were current. While a
// channel has no valid depth the supervisor says why, in words for the operator: the junction box
// sends no echo data for the channel, or it sends echoes without finding the bottom.
class EchoDepthSupervisor : public QObject
{
    Q_OBJECT
public:
    static constexpr int kChannels = 2;
    // Which depth the readouts show, in the order of the runtime screen's "DepthValue" choice.
    enum Reference { BelowTransducer = 0, BelowSurface = 1, BelowKeel = 2 };

    explicit EchoDepthSupervisor(QObject *parent = nullptr);
    ~EchoDepthSupervisor() override;

    bool isDepthValid(int channel) const;
    // In metres; meaningful while valid.
    double depth(int channel) const;
    Reference reference() const { return m_reference; }
    int validityLimitSecs() const;
    // Why the channel shows no depth; empty while its depth is valid.
    QString reason(int channel) const;
    // The reasons of both channels, one line each; empty while both depths are valid.
    QString notice() const;
    // Seconds a depth stays valid after the last record that carried one.
    void setValidityLimitSecs(int secs);

public slots:
    void recordAdded(EchoRecordInfo info, int channel);
    void channelSilenceChanged(int channel, bool silent);
    void setReference(int reference);

signals:
    void depthChanged(int channel, double depth_in_metres, bool valid);
    void noticeChanged(QString text);

private:
    void publish(int channel);
    void updateNotice();

    std::array<ValidatedFloatProperty *, kChannels> m_depth{};
    std::array<bool, kChannels> m_silent{};
    std::array<bool, kChannels> m_heard{};
    std::array<bool, kChannels> m_shownValid{};
    std::array<double, kChannels> m_shownDepth{};
    Reference m_reference = BelowTransducer;
    QString m_notice;
};
