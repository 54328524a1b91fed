#include "brightnessfollower.h"

#include "dimmingcontroller.h"
#include "eslocalsetup.h"

BrightnessFollower::BrightnessFollower(DimmingController *dimming, RemoteDimmingSetup *preset,
                                       LocalDimmingSetupContainer *presets, QObject *parent)
    : QObject(parent), m_dimming(dimming), m_preset(preset), m_presets(presets)
{
    connect(preset, &RemoteDimmingSetup::DimmingPresetEnumChanged, this, &BrightnessFollower::apply);
    for (LocalDimmingSetup *each : {presets->DayDimmingSetup(), presets->TwilightDimmingSetup(),
                                    presets->NightDimmingSetup(), presets->OffDimmingSetup()})
        connect(each, &LocalDimmingSetup::BrightnessChanged, this, [this, each] {
            if (each == presetInUse())
                apply();
        });
    apply();
}

LocalDimmingSetup *BrightnessFollower::presetInUse() const
{
    switch (m_preset->DimmingPresetEnum()) {
    case 1:
        return m_presets->TwilightDimmingSetup();
    case 2:
        return m_presets->NightDimmingSetup();
    case 3:
        return m_presets->OffDimmingSetup();
    default:
        return m_presets->DayDimmingSetup();
    }
}

void BrightnessFollower::apply()
{
    m_dimming->setBrightness(presetInUse()->Brightness());
}
