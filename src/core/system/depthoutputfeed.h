#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class EchoRecordInfo;
class ESOtherLocalSettings;
class ESSetup;

// Puts the unit's own depth into the values it sends (NmeaOutputData), from the display records of
// the channel selected on the runtime screen ("SelectedConnectorOnRuntimeScreen"): the depths below
// transducer, surface and keel in metres, feet and fathoms, the transducer's offset from the water
// line (its draft), the range of the channel and the transducer's frequency and position. While the
// selected channel sends no records at all (a single-transducer installation), the other channel
// feeds the output. A depth that is not renewed expires with its validity limit, so a channel that
// has had no valid depth for longer than that sends empty depth fields.
class DepthOutputFeed : public QObject
{
    Q_OBJECT
public:
    DepthOutputFeed(ESSetup *setup, ESOtherLocalSettings *local, QObject *parent = nullptr);

    // The channel (0 or 1) whose records feed the output now.
    int feedingChannel() const;

public slots:
    // The information of one display record of a channel, as the echo buffers took it in.
    void displayRecordReceived(const EchoRecordInfo &info, int channel);

private:
    ESSetup *m_setup;
    ESOtherLocalSettings *m_local;
    QElapsedTimer m_lastRecord[2];
};
