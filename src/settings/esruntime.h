#pragma once

#include "settingsmacros.h"
#include "settingsvariants.h"

// Published measurements: depths, position, speeds, heading, time and supply voltages.
class ESRuntime : public RuntimeSerializableClass
{
    Q_OBJECT
    KVE_SETTINGS_CONSTRUCTOR(ESRuntime, RuntimeSerializableClass, "ESRuntime")
    KVE_SETTING(double, DepthSurface, "type=runtime unit=m measurement=depth changeable=true")
    KVE_SETTING(double, DepthKeel, "type=runtime unit=m measurement=depth changeable=true")
    KVE_SETTING(double, DepthTransducer, "type=runtime unit=m measurement=depth changeable=true")
    KVE_SETTING(double, DepthSurfaceCh1, "type=runtime unit=m measurement=depth changeable=true")
    KVE_SETTING(double, DepthKeelCh1, "type=runtime unit=m measurement=depth changeable=true")
    KVE_SETTING(double, DepthTransducerCh1, "type=runtime unit=m measurement=depth changeable=true")
    KVE_SETTING(double, DepthSurfaceCh2, "type=runtime unit=m measurement=depth changeable=true")
    KVE_SETTING(double, DepthKeelCh2, "type=runtime unit=m measurement=depth changeable=true")
    KVE_SETTING(double, DepthTransducerCh2, "type=runtime unit=m measurement=depth changeable=true")
    KVE_SETTING(QString, LatitudeDegreesSigned, "type=runtime isNumeric=false")
    KVE_SETTING(QString, LongitudeDegreesSigned, "type=runtime isNumeric=false")
    KVE_SETTING(double, SpeedGPS, "type=runtime unit=kn measurement=speed changeable=true")
    KVE_SETTING(double, SpeedSOGLog, "type=runtime unit=kn measurement=speed changeable=true")
    KVE_SETTING(double, SpeedSTWLog, "type=runtime unit=kn measurement=speed changeable=true")
    KVE_SETTING(double, Heading, "type=runtime unit=°")
    KVE_SETTING(double, ROT, "type=runtime")
    KVE_SETTING(double, LOGDepth, "type=runtime unit=m measurement=depth changeable=true")
    KVE_SETTING(QString, UtcDateTime, "type=runtime isNumeric=false")
    KVE_SETTING(int, UtcToLocalDateTimeSecsOffset, "type=runtime defaultValue=0 isNumeric=true")
    KVE_SETTING(double, Cu24V, "type=runtime unit=V validator=float;21.0;28 changeable=false")
    KVE_SETTING(double, Cu5V, "type=runtime unit=V changeable=false")
    KVE_SETTING(double, Cu3V3, "type=runtime unit=V changeable=false")
    KVE_SETTING(double, Jb24V, "type=runtime unit=V changeable=false")
    KVE_SETTING(double, Jb5V, "type=runtime unit=V changeable=false")
    KVE_SETTING(double, Jb3V3, "type=runtime unit=V changeable=false")
    KVE_SETTING(double, Transceiver5V, "type=runtime unit=V changeable=false")
    KVE_SETTING(double, TransceiverPowerSupply, "type=runtime unit=V changeable=false")
    KVE_SETTING(double, Transceiver30V, "type=runtime unit=V changeable=false")
    KVE_SETTING(double, TransceiverDCTransmit, "type=runtime unit=V changeable=false")
    // Setup information panels of screen layouts A to C: property,holder pairs and their labels.
    Q_CLASSINFO("SetupInformationA", "Range,TransducerSetup1_|_TransducerSetup2;CombinedGain,TransducerSetup1_|_TransducerSetup2;SensorFrequency,TransducerSetup1_|_TransducerSetup2;AlarmShallow,AlertSetup;AlertDeep,AlertSetup")
    Q_CLASSINFO("SetupInformationToDisplayA", "Range;Gain;Frequency;Shallow_Alarm;Deep_Alert")
    Q_CLASSINFO("SetupInformationB", "Range,TransducerSetup1_|_TransducerSetup2;CombinedGain,TransducerSetup1_|_TransducerSetup2;TvgPercentage,TransducerSetup1_|_TransducerSetup2;PowerPercentage,TransducerSetup1_|_TransducerSetup2")
    Q_CLASSINFO("SetupInformationToDisplayB", "Range;Gain;TVG;Power")
    Q_CLASSINFO("SetupInformationC", "Range,TransducerSetup1_|_TransducerSetup2;SensorPulseWidth,TransducerSetup1_|_TransducerSetup2;Draft,TransducerSetup1_|_TransducerSetup2")
    Q_CLASSINFO("SetupInformationToDisplayC", "Range;Pulse_Width;Draft")
};

// The bottom-bar choices of the runtime screens; it carries only its panel tables.
class ESBottomBars : public RuntimeSerializableClass
{
    Q_OBJECT
    KVE_SETTINGS_CONSTRUCTOR(ESBottomBars, RuntimeSerializableClass, "ESBottomBars")
    Q_CLASSINFO("RangeSetupInformationA", "Range,TransducerSetup1_|_TransducerSetup2;MaxRange,TransducerSetup1_|_TransducerSetup2")
    Q_CLASSINFO("RangeSetupInformationToDisplayA", "Range;Max_Range")
    Q_CLASSINFO("RangeSetupInformationB", "Range,TransducerSetup1_|_TransducerSetup2;HistoryRange,OtherLocalSettings")
    Q_CLASSINFO("RangeSetupInformationToDisplayB", "Range;History_Range")
    Q_CLASSINFO("RangeSetupInformationC", "Range,TransducerSetup1_|_TransducerSetup2")
    Q_CLASSINFO("RangeSetupInformationToDisplayC", "Range")
    Q_CLASSINFO("SetupInformationA", "CombinedGain,TransducerSetup1_|_TransducerSetup2;SensorFrequency,TransducerSetup1_|_TransducerSetup2;AlarmShallow,AlertSetup")
    Q_CLASSINFO("SetupInformationToDisplayA", "Gain;Frequency;Shallow_Alarm")
    Q_CLASSINFO("SetupInformationB", "TvgPercentage,TransducerSetup1_|_TransducerSetup2;PowerPercentage,TransducerSetup1_|_TransducerSetup2")
    Q_CLASSINFO("SetupInformationToDisplayB", "TVG;Power")
    Q_CLASSINFO("SetupInformationC", "SensorPulseWidth,TransducerSetup1_|_TransducerSetup2;Draft,TransducerSetup1_|_TransducerSetup2")
    Q_CLASSINFO("SetupInformationToDisplayC", "Pulse_Width;Draft")
};
