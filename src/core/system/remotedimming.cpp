#include "remotedimming.h"

#include "eslocalsetup.h"

namespace {

enum OperationMode { Receive = 0, ReceiveAndSend = 1 };
constexpr int kIgnorePercentage = 0;   // "Yes"

// D day, K dusk (twilight), N night, O off: the positions of the setup's preset choices.
int presetIndex(const QString &letter)
{
    static const QString letters = QStringLiteral("DKNO");
    return letter.size() == 1 ? letters.indexOf(letter.at(0)) : -1;
}

} // namespace

RemoteDimmingFollower::RemoteDimmingFollower(RemoteDimmingSetup *setup, QObject *parent)
    : QObject(parent)
    , m_setup(setup)
{
}

void RemoteDimmingFollower::dimmingReceived(QString preset, int brightness_percentage, QString palette,
                                            QString status)
{
    if (status != QLatin1String("C"))
        return;
    if (m_setup->OperationMode() != Receive && m_setup->OperationMode() != ReceiveAndSend)
        return;
    const int presetAt = presetIndex(preset);
    if (presetAt >= 0 && preset != m_setup->DimmingPreset()) {
        m_setup->changeValue(QStringLiteral("DimmingPreset"), preset);
        m_setup->changeValue(QStringLiteral("DimmingPresetEnum"), presetAt);
    }
    const int paletteAt = presetIndex(palette);
    if (paletteAt >= 0 && palette != m_setup->ColorPalette()) {
        m_setup->changeValue(QStringLiteral("ColorPalette"), palette);
        m_setup->changeValue(QStringLiteral("ColorPaletteEnum"), paletteAt);
    }
    if (brightness_percentage >= 0 && brightness_percentage <= 99
        && m_setup->IgnorePercentageInDdc() != kIgnorePercentage
        && brightness_percentage != m_setup->CurrentBrightnessPercentage()) {
        m_setup->changeValue(QStringLiteral("BrightnessPercentage"), brightness_percentage);
        m_setup->changeValue(QStringLiteral("CurrentBrightnessPercentage"), brightness_percentage);
    }
}
