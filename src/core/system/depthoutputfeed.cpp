#include "depthoutputfeed.h"

#include "echorecord.h"
#include "eslocalsetup.h"
#include "essetup.h"
#include "nmeadataholders.h"
#include "settingsmetadata.h"
#include "transducertables.h"
#include "validatedproperty.h"

namespace {

constexpr double kFeetPerMetre = 1.0 / 0.3048;
constexpr double kMetresPerFathom = 1.8288;

bool isDepth(float metres)
{
    return metres > EchoRecordInfo::kNoDepth && metres >= 0.0f;
}

void setReal(ValidatedProperty *field, double value)
{
    if (auto *real = qobject_cast<ValidatedFloatProperty *>(field))
        real->setValue(value);
}

// Metres, feet and fathoms of one depth, when the record has it.
void setDepth(float metres, ValidatedProperty *feet, ValidatedProperty *inMetres, ValidatedProperty *fathoms)
{
    if (!isDepth(metres))
        return;
    setReal(feet, metres * kFeetPerMetre);
    setReal(inMetres, metres);
    setReal(fathoms, metres / kMetresPerFathom);
}

} // namespace

DepthOutputFeed::DepthOutputFeed(ESSetup *setup, ESOtherLocalSettings *local, QObject *parent)
    : QObject(parent)
    , m_setup(setup)
    , m_local(local)
{
}

int DepthOutputFeed::feedingChannel() const
{
    const int selected = m_local->SelectedConnectorOnRuntimeScreen() == 1 ? 1 : 0;
    const int other = 1 - selected;
    const qint64 silentAfterMs = qint64(ValidatedProperty::defaultValidityLimit) * 1000;
    const auto running = [this, silentAfterMs](int channel) {
        return m_lastRecord[channel].isValid() && m_lastRecord[channel].elapsed() <= silentAfterMs;
    };
    return !running(selected) && running(other) ? other : selected;
}

void DepthOutputFeed::displayRecordReceived(const EchoRecordInfo &info, int channel)
{
    if (channel < 0 || channel > 1 || info.kind() != EchoRecordInfo::Kind::Display)
        return;
    m_lastRecord[channel].start();
    if (channel != feedingChannel())
        return;

    using V = EchoRecordInfo;
    const float none = EchoRecordInfo::kNoDepth;
    NmeaOutputData &out = NmeaOutputData::instance();
    setDepth(info.depth(), out.DepthBlwTransducerFeet(), out.DepthBlwTransducerMeters(),
             out.DepthBlwTransducerFathoms());
    setDepth(info.value(V::DepthBlwSurface, none), out.DepthBlwSurfaceFeet(), out.DepthBlwSurfaceMeters(),
             out.DepthBlwSurfaceFathoms());
    setDepth(info.value(V::DepthBlwKeel, none), out.DepthBlwKeelFeet(), out.DepthBlwKeelMeters(),
             out.DepthBlwKeelFathoms());
    if (info.bufferRange() > 0.0f)
        setReal(out.MaximumRangeScale(), info.bufferRange());

    const EsTransducerSetup *transducer = m_setup->transducer(channel);
    setReal(out.OffsetFromTransducerMeters(), transducer->Draft());
    if (auto *frequency = qobject_cast<ValidatedIntProperty *>(out.TransducerFrequency())) {
        const int kHz = TransducerTables::frequencyKHz(transducer->SensorFrequency());
        if (kHz > 0)
            frequency->setValue(kHz);
    }
    static const QStringList positions = ClassMetadata::of(&EsTransducerSetup::staticMetaObject)
                                             .property(QStringLiteral("Position"))
                                             ->enumList();
    if (transducer->Position() >= 0 && transducer->Position() < positions.size())
        out.TransducerPosition()->setFieldText(positions.at(transducer->Position()));
}
