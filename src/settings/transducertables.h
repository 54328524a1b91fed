#pragma once

// Numbers behind the frequency and gain choices of a transducer (choice index as stored in the
// transducer settings). Indexes outside the tables give the neutral value.
namespace TransducerTables {

int frequencyKHz(int sensorFrequencyIndex);            // 200, 50, 38, 210, 100, 33, 30, 24; else 0
double gainFactor(int combinedGainIndex);              // 0.25 ... 157; else 1.0
int combinedGainStepOfSensorGain(int sensorGainIndex); // 1, 4, 5, ... 11, 0; else 1
double gainFactorOfSensorGain(int sensorGainIndex);    // gain factor of that step; else 1.0

// The most samples one ping of a transducer can carry at any range: the upper limit of the
// transducer settings' "SensorSampleNumber". Received echo images and records longer than that
// are not the transceiver's.
int mostSamplesPerPing();

} // namespace TransducerTables
