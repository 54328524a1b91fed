#pragma once

#include <QObject>
#include <QString>

class RemoteDimmingSetup;

// Follows the dimming commands of the bridge's dimming system (DDC sentences with status "C") while
// the dimming setup receives ("OperationMode" RX or RX/TX): the preset and the colour palette
// become the unit's day, twilight, night or off lighting, and the brightness percentage is taken
// unless the setup ignores it. Reports of other equipment (status "R") change nothing.
class RemoteDimmingFollower : public QObject
{
    Q_OBJECT
public:
    explicit RemoteDimmingFollower(RemoteDimmingSetup *setup, QObject *parent = nullptr);

public slots:
    // Empty texts and a negative percentage stand for fields the sentence left empty.
    void dimmingReceived(QString preset, int brightness_percentage, QString palette, QString status);

private:
    RemoteDimmingSetup *m_setup;
};
