#include "echogramsettingsfollower.h"

#include "echogrampanel.h"
#include "eslocalsetup.h"
#include "essetup.h"
#include "esunitconverter.h"
#include "multiplees_transducersbuffer.h"
#include "rangevaluefromenumcalculator.h"
#include "settingsmetadata.h"

namespace {

// The name of an enumeration setting's choice, from the class metadata; empty when out of range.
QString choiceName(const QObject *settings, const char *property, int index)
{
    const PropertyMetadata *p = ClassMetadata::of(settings->metaObject()).property(QLatin1String(property));
    return p ? p->enumList().value(index) : QString();
}

} // namespace

EchogramSettingsFollower::EchogramSettingsFollower(EchogramPanel *panel, ESSetup *setup,
                                                   ESLocalSetup *local, QObject *parent)
    : QObject(parent), m_panel(panel), m_setup(setup)
{
    ESOptionsSetup *options = setup->SetupSetup()->OptionsSetup();
    connect(options, &ESOptionsSetup::ScalesDepthChanged, this, &EchogramSettingsFollower::showUnitAndRanges);
    for (int ch = 0; ch < 2; ++ch)
        connect(setup->transducer(ch), &EsTransducerSetup::RangeChanged, this,
                &EchogramSettingsFollower::showUnitAndRanges);
    showUnitAndRanges();

    ESRuntimeScreenSetup *page = local->RuntimeScreenSetupA();
    auto showSpeed = [panel](int speed) {
        const int minutes = MultipleES_TransducersBuffer::timeRangeFromName(QString::number(speed));
        if (minutes > 0)
            panel->setTimeScaleInMinutes(minutes);
    };
    auto showColour = [panel, page](int colour) { panel->slotColorChanged(choiceName(page, "EchoColour", colour)); };
    auto showSecond = [panel](int echogram2) { panel->setChannelVisible(1, echogram2 != 2); };   // 2: Off
    connect(page, &ESRuntimeScreenSetup::PicSpeedChanged, panel, showSpeed);
    connect(page, &ESRuntimeScreenSetup::EchoColourChanged, panel, showColour);
    connect(page, &ESRuntimeScreenSetup::Echogram2Changed, panel, showSecond);
    showSpeed(page->PicSpeed());
    showColour(page->EchoColour());
    showSecond(page->Echogram2());

    ESOtherLocalSettings *other = local->OtherLocalSettings();
    auto showTimeMode = [panel](int mode) { panel->setLocalTimeShown(mode == 1); };   // 1: Local
    connect(other, &ESOtherLocalSettings::TimeModeChanged, panel, showTimeMode);
    showTimeMode(other->TimeMode());
}

float EchogramSettingsFollower::rangeInMetres(const ESSetup *setup, int channel)
{
    const int unit = setup->SetupSetup()->OptionsSetup()->ScalesDepth();
    const int index = setup->transducer(channel)->Range();
    const RangeValueFromEnumCalculator &ranges = RangeValueFromEnumCalculator::instance();
    if (unit < 0 || unit > 2 || index < 0 || index >= ranges.meters().size())
        return 0.0f;
    return float(ESUnitConverter::convertDepth(ranges.rangeValue(index, unit), unit, 0));
}

void EchogramSettingsFollower::showUnitAndRanges()
{
    ESOptionsSetup *options = m_setup->SetupSetup()->OptionsSetup();
    m_panel->setDepthUnit(choiceName(options, "ScalesDepth", options->ScalesDepth()));
    for (int ch = 0; ch < 2; ++ch) {
        const float metres = rangeInMetres(m_setup, ch);
        if (metres > 0.0f)
            m_panel->setDepthRangeInDefaultUnit(ch, metres);
    }
}
