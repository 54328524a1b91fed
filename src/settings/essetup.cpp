#include "essetup.h"

EsTransducerSetup::EsTransducerSetup(const QString &name, QObject *parent)
    : SetupSerializableClass(name, parent)
{
    connect(this, &EsTransducerSetup::CombinedGainChanged, this, &EsTransducerSetup::combinedGainWritten);
}

void EsTransducerSetup::setGainMarksEnabled(bool enabled)
{
    m_gainMarksEnabled = enabled;
    m_markedGain = CombinedGain();
}

void EsTransducerSetup::combinedGainWritten(int gain)
{
    // The setter also announces unchanged values; only a real change is marked.
    if (gain == m_markedGain)
        return;
    m_markedGain = gain;
    if (!m_gainMarksEnabled)
        return;
    emit gainMarkReady(typeTag() + QStringLiteral(",SingleProperty,") + path() + QStringLiteral(",CombinedGain=")
                       + QString::number(gain));
}

EsTransducerSetup *ESSetup::transducer(int channel) const
{
    ESTransducerSelectSetup *select = SetupSetup()->TransducerSelectSetup();
    return channel == 1 ? select->TransducerSetup2() : select->TransducerSetup1();
}
