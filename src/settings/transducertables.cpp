#include "transducertables.h"

#include "essetup.h"
#include "settingsmetadata.h"

#include <QDebug>

#include <iterator>

namespace {

const int frequencies[] = {200, 50, 38, 210, 100, 33, 30, 24};
const double gainFactors[] = {0.25, 1, 3, 6, 10, 20, 30, 40, 60, 80, 120, 157};
const int sensorGainSteps[] = {1, 4, 5, 6, 7, 8, 9, 10, 11, 0};

template <typename T, std::size_t N>
bool inTable(const T (&)[N], int index)
{
    return index >= 0 && index < int(N);
}

} // namespace

namespace TransducerTables {

int frequencyKHz(int sensorFrequencyIndex)
{
    return inTable(frequencies, sensorFrequencyIndex) ? frequencies[sensorFrequencyIndex] : 0;
}

int mostSamplesPerPing()
{
    static const int most = [] {
        const PropertyMetadata *p =
            ClassMetadata::of(&EsTransducerSetup::staticMetaObject).property(QStringLiteral("SensorSampleNumber"));
        bool ok = false;
        const int samples = p ? p->validatorDescription().section(QLatin1Char(';'), 2, 2).toInt(&ok) : 0;
        if (!ok || samples <= 0) {
            qDebug() << "No sample count limit in the transducer settings";
            throw "TransducerTables: no sample count limit in the transducer settings";
        }
        return samples;
    }();
    return most;
}

double gainFactor(int combinedGainIndex)
{
    return inTable(gainFactors, combinedGainIndex) ? gainFactors[combinedGainIndex] : 1.0;
}

int combinedGainStepOfSensorGain(int sensorGainIndex)
{
    return inTable(sensorGainSteps, sensorGainIndex) ? sensorGainSteps[sensorGainIndex] : 1;
}

double gainFactorOfSensorGain(int sensorGainIndex)
{
    return inTable(sensorGainSteps, sensorGainIndex) ? gainFactors[sensorGainSteps[sensorGainIndex]] : 1.0;
}

} // namespace TransducerTables
