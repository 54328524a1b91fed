#pragma once

#include <QObject>

class DimmingController;
class LocalDimmingSetup;
class LocalDimmingSetupContainer;
class RemoteDimmingSetup;

// The backlight follows the dimming preset in use (day, twilight, night, off): each preset keeps
// its own brightness, and changing either the preset or the brightness of the preset in use
// takes effect at once.
class BrightnessFollower : public QObject
{
    Q_OBJECT
public:
    BrightnessFollower(DimmingController *dimming, RemoteDimmingSetup *preset, LocalDimmingSetupContainer *presets,
                       QObject *parent = nullptr);

private:
    LocalDimmingSetup *presetInUse() const;
    void apply();

    DimmingController *m_dimming;
    RemoteDimmingSetup *m_preset;
    LocalDimmingSetupContainer *m_presets;
};
