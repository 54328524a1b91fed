#pragma once

#include <QObject>

class EchogramPanel;
class ESLocalSetup;
class ESSetup;

// Makes the echogram panel show what the settings say, now and whenever they change: the depth
// unit of the scales and readouts ("ScalesDepth"), each channel's range as chosen in that unit
// ("Range" of its transducer), and from runtime screen page A the picture speed ("PicSpeed"), the
// colours ("EchoColour") and whether the second echogram is off ("Echogram2"); local time or UTC
// on the time labels ("TimeMode").
class EchogramSettingsFollower : public QObject
{
    Q_OBJECT
public:
    EchogramSettingsFollower(EchogramPanel *panel, ESSetup *setup, ESLocalSetup *local,
                             QObject *parent = nullptr);

    // Each channel's depth range in metres: the range value of the transducer's choice in the
    // depth unit shown (650 ft, not 200 m converted).
    static float rangeInMetres(const ESSetup *setup, int channel);

private:
    void showUnitAndRanges();

    EchogramPanel *m_panel;
    ESSetup *m_setup;
};
