#pragma once

#include "settingsmacros.h"
#include "settingsvariants.h"

// The settings shared by the control unit and the junction box. One row per property, in the order
// of the text form; each row gives the value type, the name and the metadata entry.

class EchoScopeSetup : public SetupSerializableClass
{
    Q_OBJECT
    KVE_SETTINGS_CONSTRUCTOR(EchoScopeSetup, SetupSerializableClass, "ScopeSetup")
    KVE_SETTING(double, SignalMaxGood, "type=value unit=mV validator=float;0.0;65535.0 defaultValue=30.0 isProtected=false changeable=false")
    KVE_SETTING(double, SignalMaxDecent, "type=value unit=mV validator=float;0.0;65535.0 defaultValue=10.0 isProtected=false changeable=false")
    KVE_SETTING(double, NoiseLevelGood, "type=value unit=mV validator=float;0.0;65535.0 defaultValue=10.0 isProtected=false changeable=false")
    KVE_SETTING(double, NoiseLevelDecent, "type=value unit=mV validator=float;0.0;65535.0 defaultValue=15.0 isProtected=false changeable=false")
    KVE_SETTING(double, SnrGoodDiff, "type=value unit=dB validator=float;0.0;100.0 defaultValue=6.0 isProtected=false changeable=false")
    KVE_SETTING(double, SnrDecentDiff, "type=value unit=dB validator=float;0.0;100.0 defaultValue=3.0 isProtected=false changeable=false")
};

class NoiseSelfTestResults : public SetupSerializableClass
{
    Q_OBJECT
    KVE_SETTINGS_CONSTRUCTOR(NoiseSelfTestResults, SetupSerializableClass, "NoiseTestResults")
    KVE_SETTING(int, SensorFrequency, "type=enum unit=kHz enumList=200;50;38;210;100;33;30;24 defaultValue=1 isProtected=false autoMode=true")
    KVE_SETTING(double, InternalNoiseMin, "type=value unit=mV validator=float;0.0;65535.0 defaultValue=0.0 isProtected=false changeable=false")
    KVE_SETTING(double, InternalNoiseMax, "type=value unit=mV validator=float;0.0;65535.0 defaultValue=0.0 isProtected=false changeable=false")
    KVE_SETTING(double, InternalNoiseAvg, "type=value unit=mV validator=float;0.0;65535.0 defaultValue=0.0 isProtected=false changeable=false")
    KVE_SETTING(double, InternalNoisePeakMax, "type=value unit=mV validator=float;0.0;65535.0 defaultValue=0.0 isProtected=false changeable=false")
    KVE_SETTING(double, ExternalNoiseMin, "type=value unit=mV validator=float;0.0;65535.0 defaultValue=0.0 isProtected=false changeable=false")
    KVE_SETTING(double, ExternalNoiseMax, "type=value unit=mV validator=float;0.0;65535.0 defaultValue=0.0 isProtected=false changeable=false")
    KVE_SETTING(double, ExternalNoiseAvg, "type=value unit=mV validator=float;0.0;65535.0 defaultValue=0.0 isProtected=false changeable=false")
    KVE_SETTING(double, ExternalNoisePeakMax, "type=value unit=mV validator=float;0.0;65535.0 defaultValue=0.0 isProtected=false changeable=false")
    KVE_SETTING(QString, TestDateTime, "type=value validator=regex;. defaultValue=Not_Tested isNumeric=false")
    KVE_SETTING(QString, InternalNoiseFormattedResult, "type=value validator=regex;. defaultValue=Not_Tested isNumeric=false")
    KVE_SETTING(QString, ExternalNoiseFormattedResult, "type=value validator=regex;. defaultValue=Not_Tested isNumeric=false")
    KVE_SETTING(int, RawInternalNoiseGain1, "type=value validator=int;0;65535 defaultValue=0")
    KVE_SETTING(int, RawInternalNoiseGain12, "type=value validator=int;0;65535 defaultValue=0")
    KVE_SETTING(int, FilteredInternalNoiseGain1, "type=value validator=int;0;65535 defaultValue=0")
    KVE_SETTING(int, FilteredInternalNoiseGain12, "type=value validator=int;0;65535 defaultValue=0")
    KVE_SETTING(int, TestStatus, "type=enum enumList=Ok;Fail defaultValue=1")
};

class NoiseSelfTestContainer : public SetupSerializableClass
{
    Q_OBJECT
    KVE_SETTINGS_CONSTRUCTOR(NoiseSelfTestContainer, SetupSerializableClass, "NoiseSelfTest")
    KVE_SETTING(QString, NoiseResultCH1, "type=value validator=regex;. defaultValue=Not_Tested isNumeric=false")
    KVE_SETTING(QString, NoiseResultCH2, "type=value validator=regex;. defaultValue=Not_Tested isNumeric=false")
    KVE_CHILD(NoiseSelfTestResults, NoiseTestResultsCh1FreqLow)
    KVE_CHILD(NoiseSelfTestResults, NoiseTestResultsCh2FreqLow)
    KVE_CHILD(NoiseSelfTestResults, NoiseTestResultsCh1FreqHigh)
    KVE_CHILD(NoiseSelfTestResults, NoiseTestResultsCh2FreqHigh)
};

class SnrCalibrationSetup : public SetupSerializableClass
{
    Q_OBJECT
    KVE_SETTINGS_CONSTRUCTOR(SnrCalibrationSetup, SetupSerializableClass, "SnrCalibSetup")
    KVE_SETTING(double, ManDepthCh1, "type=value unit=m measurement=depth validator=float;0.2;6000.0 defaultValue=0.0 changeable=true")
    KVE_SETTING(double, ManDepthCh2, "type=value unit=m measurement=depth validator=float;0.2;6000.0 defaultValue=0.0 changeable=true")
    KVE_SETTING(int, Ch1Selected, "type=enum enumList=Yes;No")
    KVE_SETTING(int, Ch2Selected, "type=enum enumList=Yes;No")
    KVE_SETTING(int, InitCalib, "type=enum enumList=Ignore;Execute")
    KVE_SETTING(int, GoToManualDepthEntry, "type=enum enumList=Ignore;Execute")
    KVE_SETTING(int, Start, "type=enum enumList=Ignore;Execute")
    KVE_SETTING(int, Cancel, "type=enum enumList=Ignore;Execute")
    KVE_SETTING(int, AcceptCalib, "type=enum enumList=Ignore;Execute")
    KVE_SETTING(int, Status, "type=enum enumList=Waiting;ChannelSelection;ManualDepthEntry;Ready;Running;Finished")
    KVE_SETTING(int, Progress, "type=value unit=% validator=int;0;100 defaultValue=0 changeable=false")
    KVE_SETTING(QString, Ch1LowResult, "type=value validator=regex;x defaultValue=37.0_00.0_U_Bottom.lost isNumeric=false")
    KVE_SETTING(QString, Ch1HighResult, "type=value validator=regex;x defaultValue=37.0_00.0_U_Bottom.lost isNumeric=false")
    KVE_SETTING(QString, Ch2LowResult, "type=value validator=regex;x defaultValue=37.0_00.0_U_Bottom.lost isNumeric=false")
    KVE_SETTING(QString, Ch2HighResult, "type=value validator=regex;x defaultValue=37.0_00.0_U_Bottom.lost isNumeric=false")
    KVE_SETTING(QString, Ch1LowSavedRes, "type=value validator=regex;x defaultValue=37.0_37.0_N_Bottom.lost isNumeric=false")
    KVE_SETTING(QString, Ch1HighSavedRes, "type=value validator=regex;x defaultValue=37.0_37.0_N_Bottom.lost isNumeric=false")
    KVE_SETTING(QString, Ch2LowSavedRes, "type=value validator=regex;x defaultValue=37.0_37.0_N_Bottom.lost isNumeric=false")
    KVE_SETTING(QString, Ch2HighSavedRes, "type=value validator=regex;x defaultValue=37.0_37.0_N_Bottom.lost isNumeric=false")
};

class ESAlertSetup : public SetupSerializableClass
{
    Q_OBJECT
    KVE_SETTINGS_CONSTRUCTOR(ESAlertSetup, SetupSerializableClass, "AlertSetup")
    KVE_SETTING(double, AlarmShallow, "type=value unit=m measurement=depth validator=float;1.0;100.0;;0.0 defaultValue=10.0 isProtected=false changeable=true longPress=Change;Default:10")
    KVE_SETTING(int, AlarmShallowID, "type=value validator=int;0;20000 defaultValue=230 isProtected=true isNumeric=true")
    KVE_SETTING(double, AlertDeep, "type=value unit=m measurement=depth validator=float;120.0;6000.0;;0.0 defaultValue=0.0 isProtected=false changeable=true")
    KVE_SETTING(int, AlertDeepID, "type=value validator=int;0;20000 defaultValue=10456 isProtected=true isNumeric=true")
    KVE_SETTING(int, AlertType, "type=enum enumList=CAT_A_ALR;CAT_A_ALF;CAT_B_ALR;CAT_B_ALF defaultValue=1 isProtected=true")
    KVE_SETTING(int, EscalationTime, "type=enum unit=min enumList=1;2;3;4;5 defaultValue=3 isProtected=true")
    KVE_SETTING(int, AlertSensorCommsID, "type=value validator=int;0;20000 defaultValue=10457 isProtected=true isNumeric=true")
    KVE_SETTING(int, AlertSensorMutedID, "type=value validator=int;0;20000 defaultValue=10458 isProtected=true isNumeric=true")
    KVE_SETTING(int, AlertDisplayCommsID, "type=value validator=int;0;20000 defaultValue=10459 isProtected=true isNumeric=true")
    KVE_SETTING(int, AlertPowerFailureID, "type=value validator=int;0;20000 defaultValue=10231 isProtected=true isNumeric=true")
    KVE_SETTING(QString, AlarmSFI, "type=value validator=sfi;[a-zA-Z]{2}\\d{4} defaultValue=VM1235 isProtected=true isNumeric=false")
    KVE_SETTING(int, WarningEscType, "type=enum enumList=W-W;W-A;A-A isProtected=true")
};

class ESAUXSetup : public SetupSerializableClass
{
    Q_OBJECT
    KVE_SETTINGS_CONSTRUCTOR(ESAUXSetup, SetupSerializableClass, "AUXSetup")
    KVE_SETTING(int, AuxInput4, "type=enum enumList=AckCatBAlr+;AckCatBAlr-;AckAllAlr+;AckAllAlr-;SilenceAlr+;SilenceAlr-;PingNow+;PingNow-;MuteIn+;MuteIn-;MuteNoAlr+;MuteNoAlr-;Disabled")
    KVE_SETTING(int, AuxOutput1, "type=enum enumList=PowerFailure;Ping+;Ping-;ShallowAlarm+;ShallowAlarm-;ShallAlrBeep+;ShallAlrBeep-;DeepAlarm+;DeepAlarm-;DeepAlrBeep+;DeepAlrBeep-;ShallDeepAlr+;ShallDeepAlr-;ShallDeepAlrBeep+;ShallDeepAlrBeep-;ShallDeepLimit+;ShallDeepLimit-;SynchOut+;SynchOut-;MuteConfirm+;MuteConfirm-;Disabled defaultValue=3")
    KVE_SETTING(int, AuxOutput2, "type=enum enumList=PowerFailure;Ping+;Ping-;ShallowAlarm+;ShallowAlarm-;ShallAlrBeep+;ShallAlrBeep-;DeepAlarm+;DeepAlarm-;DeepAlrBeep+;DeepAlrBeep-;ShallDeepAlr+;ShallDeepAlr-;ShallDeepAlrBeep+;ShallDeepAlrBeep-;ShallDeepLimit+;ShallDeepLimit-;SynchOut+;SynchOut-;MuteConfirm+;MuteConfirm-;Disabled defaultValue=7")
    KVE_SETTING(int, AuxOutput3Relay, "type=enum enumList=PowerFailure;ShallowAlarm+;ShallAlrBeep+;DeepAlarm+;DeepAlrBeep+;ShallDeepAlr+;ShallDeepAlrBeep+;ShallDeepLimit+;MuteConfirm+;Disabled defaultValue=7")
    KVE_SETTING(double, DeepLimit, "type=value unit=m measurement=depth validator=float;50.0;1000.0 defaultValue=500 changeable=true")
    KVE_SETTING(double, ShallowLimit, "type=value unit=m measurement=depth validator=float;5.0;100.0 defaultValue=50 changeable=true")
};

class ESPortSetup : public SetupSerializableClass
{
    Q_OBJECT
    KVE_SETTINGS_CONSTRUCTOR(ESPortSetup, SetupSerializableClass, "PortSetup")
    KVE_SETTING(int, InputEnabled, "type=enum enumList=Yes;No isProtected=true")
    KVE_SETTING(int, Baud, "type=enum enumList=4800;38400;115200 isProtected=true")
    KVE_SETTING(int, DPT, "type=enum enumList=ON;off isProtected=true")
    KVE_SETTING(int, PZTQDPT, "type=enum enumList=ON;off isProtected=true")
    KVE_SETTING(int, DBS, "type=enum enumList=ON;off defaultValue=1 isProtected=true")
    KVE_SETTING(int, DBK, "type=enum enumList=ON;off defaultValue=1 isProtected=true")
    KVE_SETTING(int, DBT, "type=enum enumList=ON;off defaultValue=1 isProtected=true")
    KVE_SETTING(int, Alarm, "type=enum enumList=ON;off isProtected=true")
};

class ESCommunicationsSetup : public SetupSerializableClass
{
    Q_OBJECT
    KVE_SETTINGS_CONSTRUCTOR(ESCommunicationsSetup, SetupSerializableClass, "CommunicationsSetup")
    KVE_CHILD(ESPortSetup, NmeaPort1Setup)
    KVE_CHILD(ESPortSetup, NmeaPort2Setup)
    KVE_CHILD(ESPortSetup, NmeaPort3Setup)
    KVE_CHILD(ESPortSetup, UdpPortSetup)
    KVE_CHILD(ESPortSetup, AdditionalNmeaPort1Setup)
    KVE_CHILD(ESPortSetup, AdditionalNmeaPort2Setup)
    KVE_CHILD(ESPortSetup, AdditionalNmeaPort3Setup)
};

class ESDiagnosticsSetup : public SetupSerializableClass
{
    Q_OBJECT
    KVE_SETTINGS_CONSTRUCTOR(ESDiagnosticsSetup, SetupSerializableClass, "DiagnosticsSetup")
    KVE_SETTING(int, SimulateDepth, "type=enum enumList=ON;off defaultValue=1 isProtected=true")
    KVE_SETTING(int, Source, "type=enum enumList=Internal;External isProtected=true")
    KVE_SETTING(double, Depth, "type=value unit=m measurement=depth validator=float;0.0;6000.0 defaultValue=10.0 isProtected=true changeable=true")
    KVE_SETTING(int, TestAlarm, "type=enum enumList=Ignore;Execute")
    KVE_SETTING(int, SimulationSpeed, "type=value validator=int;1;100 defaultValue=1 isProtected=true")
    KVE_SETTING(int, NoiseSelfTest, "type=enum enumList=Ignore;Execute")
    KVE_SETTING(int, UseSelfTestResults, "type=enum enumList=Yes;No defaultValue=1")
    KVE_SETTING(int, BottomDetectionMaxStartingIndexAtLowRange, "type=value validator=int;0;3200 defaultValue=100 isProtected=true")
    KVE_SETTING(int, BottomDetectionWindowWidth, "type=value validator=int;1;500 defaultValue=20 isProtected=true")
    KVE_SETTING(double, BottomDetectionNoiseLimitingFactor, "type=value validator=float;0.0;100.0 defaultValue=2.0 isProtected=true")
    KVE_SETTING(double, BottomDetectionSnrPowCorrection, "type=value validator=float;0.0;10.0 defaultValue=1.0 isProtected=true")
    KVE_SETTING(double, BottomDetectionSnrBottomCorrection, "type=value validator=float;0.0;10.0 defaultValue=1.0 isProtected=true")
    KVE_SETTING(double, BottomDetectionStartIndexSnrCorrection, "type=value validator=float;0.0;10.0 defaultValue=1.0 isProtected=true")
    KVE_SETTING(int, BottomDetectionKalmanFilter, "type=enum enumList=ON;off isProtected=true")
    KVE_SETTING(int, BottomDetectionRefineResult, "type=enum enumList=ON;off isProtected=true")
    KVE_SETTING(int, BottomDetectionRefineResult2, "type=enum enumList=ON;off defaultValue=1 isProtected=true")
    KVE_SETTING(int, BottomDetectionRefineInShallow, "type=enum enumList=ON;off isProtected=true")
    KVE_SETTING(int, BottomDetectionRefineUsingRawData, "type=enum enumList=ON;off defaultValue=1 isProtected=true")
    KVE_SETTING(int, BottomDetectionInterferenceReduction, "type=enum enumList=ON;off isProtected=true")
    KVE_SETTING(int, BottomDetectionAlternativeFilter, "type=enum enumList=ON;off defaultValue=1 isProtected=true")
    KVE_SETTING(int, BottomDetectionRefinementSensitivity, "type=value validator=int;1;100 defaultValue=50 isProtected=true")
    KVE_SETTING(int, BottomDetectionMaxDepthTest, "type=enum enumList=ON;off defaultValue=1 isProtected=true")
    KVE_SETTING(int, BottomDetectionAboutToLoseBottomLimit, "type=value validator=int;0;100 defaultValue=5 isProtected=true")
    KVE_SETTING(int, BottomDetectionLostBottomLimit, "type=value validator=int;0;100 defaultValue=10 isProtected=true")
    KVE_SETTING(int, BottomDetectionMinNumberOfNonZeroWindows, "type=value validator=int;0;100 defaultValue=3 isProtected=true")
    KVE_SETTING(int, BottomDetectionBlankingAsStartIndex, "type=enum enumList=ON;off isProtected=true")
    KVE_SETTING(int, BottomDetectionAmplifyShallowestIndex, "type=enum enumList=ON;off defaultValue=1 isProtected=true")
    KVE_SETTING(double, DptMax, "type=value unit=m measurement=depth validator=float;0.0;6000.0 defaultValue=6000.0 isProtected=true")
    KVE_SETTING(int, NoiseDetectionDisplayNoiseRemoval, "type=enum enumList=ON;off isProtected=true")
    KVE_SETTING(int, NoiseDetectionNumberOfLevels, "type=value validator=int;1;100 defaultValue=20 isProtected=true")
    KVE_SETTING(int, NoiseDetectionMinNumberOfLevels, "type=value validator=int;1;100 defaultValue=5 isProtected=true")
    KVE_SETTING(int, NoiseDetectionGroupWidth, "type=value validator=int;1;1000 defaultValue=50 isProtected=true")
    KVE_SETTING(int, NoiseDetectionMinPercentageOfGroups, "type=value unit=% validator=int;0;100 defaultValue=60 isProtected=true")
    KVE_SETTING(double, NoiseDetectionMultiplyingFactor, "type=value validator=float;0.0;100.0 defaultValue=1.5 isProtected=true")
    KVE_SETTING(int, NoiseDetectionMaxNoiseLevel, "type=value validator=int;0;127 defaultValue=100 isProtected=true")
    KVE_SETTING(int, NoiseDetectionUseDifferentTresholds, "type=enum enumList=ON;off defaultValue=1 isProtected=true")
    KVE_SETTING(int, NoiseDetectionCutOutBegining, "type=enum enumList=ON;off isProtected=true")
    KVE_SETTING(int, NoiseDetectionMethod, "type=enum enumList=Average;Median;Maximum isProtected=true")
    KVE_SETTING(int, NoiseDetectionMinOfMaxWindow, "type=value validator=int;0;1000 defaultValue=10 isProtected=true")
    KVE_SETTING(int, FileLoggingImportance, "type=enum enumList=All;Info;Warning;Error defaultValue=2 isProtected=true")
};

class ESHistorySetup : public SetupSerializableClass
{
    Q_OBJECT
    KVE_SETTINGS_CONSTRUCTOR(ESHistorySetup, SetupSerializableClass, "HistorySetup")
    KVE_SETTING(int, Mode, "type=enum enumList=Loop;Stop")
    KVE_SETTING(int, LogToDevice, "type=enum enumList=Internal;USB;SD")
    KVE_SETTING(int, LongTermLogging, "type=enum enumList=None;Channel_1;Channel_2;Both_Ch defaultValue=3")
    KVE_SETTING(int, EchogramPdfLogging, "type=enum enumList=None;Channel_1;Channel_2;Both_Ch defaultValue=3")
    KVE_SETTING(int, MarksPdfLogging, "type=enum enumList=None;Channel_1;Channel_2;Both_Ch defaultValue=3")
    KVE_SETTING(int, RawDataLogging, "type=enum enumList=Loop;Stop")
    KVE_SETTING(int, Recording, "type=enum enumList=ON;off defaultValue=1")
    KVE_SETTING(int, NewFileReadyCounterCh1, "type=value validator=int;0;2147483647 defaultValue=0")
    KVE_SETTING(int, NewFileReadyCounterCh2, "type=value validator=int;0;2147483647 defaultValue=0")
};

class ESKX12Setup : public SetupSerializableClass
{
    Q_OBJECT
    KVE_SETTINGS_CONSTRUCTOR(ESKX12Setup, SetupSerializableClass, "KX12Setup")
    KVE_SETTING(QString, IP, "type=value validator=IP isProtected=true isNumeric=false isIp=true")
    KVE_SETTING(QString, MacAddress, "type=value validator=regex;x isProtected=true isNumeric=false")
    KVE_SETTING(QString, LocalSFI, "type=value validator=sfi;(SD){1}\\d{4} defaultValue=SD0108 isProtected=true isNumeric=false")
    KVE_SETTING(int, Group, "type=enum enumList=MISC;TGTD;SATD;NAVD;VDRD;RCOM;TIME;PROP defaultValue=3 isProtected=true")
    KVE_SETTING(int, Printer, "type=enum enumList=LQ350;ML280;ML280eco;ML1190eco;SW isProtected=true")
    KVE_SETTING(int, PrintingOnOff, "type=enum enumList=ON;off isProtected=false")
    KVE_SETTING(int, PrintChannel, "type=enum enumList=Channel_1;Channel_2;Primary_Ch;Both_Ch isProtected=true")
    KVE_SETTING(int, PrintEchoMarks, "type=enum enumList=Echogram;Marks;Both isProtected=true")
    KVE_SETTING(QString, SystemName, "type=value validator=regex;[a-zA-Z0-9]{2,10} defaultValue=KVE420 isProtected=true isNumeric=false")
    KVE_SETTING(int, SystemInNormalOrStandbyMode, "type=enum enumList=Normal;Standby defaultValue=0 isProtected=true")
    KVE_SETTING(int, RestoreAllSetups, "type=enum enumList=Ignore;Restore defaultValue=0 isProtected=true")
    KVE_SETTING(int, RestoreAllSetupsExceptIO, "type=enum enumList=Ignore;Restore defaultValue=0 isProtected=true")
    KVE_SETTING(uint, KX12SerialNumber, "type=value validator=uint;0;4294967295 defaultValue=99999 isProtected=true")
    KVE_SETTING(QString, SoftwareVersion, "type=value validator=regex;x defaultValue=NOT_DEFINED isProtected=true isNumeric=false")
    KVE_SETTING(QString, InternalLoggingSpace, "type=value validator=regex;x defaultValue=N/A isProtected=true isNumeric=false")
    KVE_SETTING(QString, UsbLoggingSpace, "type=value validator=regex;x defaultValue=N/A isProtected=true isNumeric=false")
    KVE_SETTING(QString, SdLoggingSpace, "type=value validator=regex;x defaultValue=N/A isProtected=true isNumeric=false")
};

class ESOptionsSetup : public SetupSerializableClass
{
    Q_OBJECT
    KVE_SETTINGS_CONSTRUCTOR(ESOptionsSetup, SetupSerializableClass, "OptionsSetup")
    KVE_SETTING(int, VesselImage, "type=enum enumList=Cruise;Tanker;Offshore;Platform;File+")
    KVE_SETTING(int, Acoustics, "type=enum enumList=Auto;Chirp;Continuous")
    KVE_SETTING(int, SpeedOfSound, "type=enum enumList=1500_m/s;Temp_Adjust;User_Defined;Via_Nmea")
    KVE_SETTING(int, UserDefinedSpeedOfSound, "type=value unit=m/s validator=int;1300;1700 defaultValue=1500 changeable=false")
    KVE_SETTING(int, SpeedOfSoundValue, "type=value unit=m/s validator=int;1300;1700 defaultValue=1500 changeable=false")
    KVE_SETTING(QString, SetupSave, "type=value validator=regex;[A-z0-9]{2,20} defaultValue=_ isNumeric=false")
    KVE_SETTING(int, RequestAvailableSetupsList, "type=enum enumList=Ignore;Request")
    KVE_SETTING(QString, AvailableSetupsList, "type=value validator=regex;x defaultValue=_ isNumeric=false")
    KVE_SETTING(QString, SetupRestore, "type=value validator=regex;x defaultValue=_ isNumeric=false")
    KVE_SETTING(int, ScalesSpeed, "type=enum enumList=kn;m/s;mi/h")
    KVE_SETTING(int, ScalesDepth, "type=enum enumList=m;ft;fm")
    KVE_SETTING(QString, TranscieverHardwareVersion, "type=value validator=regex;x defaultValue=Unknown isNumeric=false")
    KVE_SETTING(QString, TranscieverFirmwareVersion, "type=value validator=regex;x defaultValue=Unknown isNumeric=false")
    KVE_SETTING(QString, TranscieverCommunicationProtocolVersion, "type=value validator=regex;x defaultValue=Unknown isNumeric=false")
    KVE_SETTING(QString, TransceiverSerialNumber, "type=value validator=regex;x defaultValue=Unknown isLocal=true isNumeric=false")
    KVE_SETTING(int, PowerAt100Percent, "type=value validator=int;1;40000 defaultValue=40000")
    KVE_SETTING(double, TvgAt100Percent, "type=value validator=int;1;50 defaultValue=20")
    KVE_SETTING(int, AutoFunctions, "type=enum enumList=ON;off defaultValue=0")
    KVE_SETTING(int, RequestDefaultAutoSensorSettings, "type=enum enumList=Ignore;Request defaultValue=0")
    KVE_SETTING(int, SwitchChannelBasedOnDepth, "type=enum enumList=ON;off defaultValue=1")
    KVE_SETTING(int, SwitchToDeepWaterTransAtRange, "type=enumWithDifferentUnits unit=m measurement=depth enumListMeters=5;10;20;50;100;150;200;250;300;350;400;450;500 enumListFeet=15;30;60;150;300;450;650;800;950;1150;1300;1450;1600 enumListFathoms=2;5;10;25;50;80;100;130;160;190;210;240;270 defaultValue=6 isProtected=true changeable=true")
    KVE_SETTING(int, SwitchToShallowWaterTransAtRange, "type=enumWithDifferentUnits unit=m measurement=depth enumListMeters=5;10;20;50;100;150;200;250;300;350;400;450;500 enumListFeet=15;30;60;150;300;450;650;800;950;1150;1300;1450;1600 enumListFathoms=2;5;10;25;50;80;100;130;160;190;210;240;270 defaultValue=5 isProtected=true changeable=true")
    KVE_SETTING(int, PulseWidthAutoFunction, "type=enum enumList=ON;off defaultValue=0")
    KVE_SETTING(int, FrequencyAutoFunction, "type=enum enumList=ON;off defaultValue=0")
};

// One transducer connector. A change of the combined gain is also marked on the echogram.
class EsTransducerSetup : public SetupSerializableClass
{
    Q_OBJECT
    KVE_SETTING(int, Position, "type=enum enumList=Fwd;Aft;Port;Strb;Not_Connected isProtected=true")
    KVE_SETTING(double, Draft, "type=value unit=m measurement=depth validator=float;0.0;50.0 defaultValue=2.0 isProtected=true changeable=true")
    KVE_SETTING(double, Offset, "type=value unit=m measurement=depth validator=float;0.0;50.0 isProtected=true changeable=true")
    KVE_SETTING(int, PartNumber, "type=enum enumList=KT50-200A;KT50-200B;KT38-200;KT24-200;KT50S;KT200S;KT33-100;KT30-210;KT50-100;Other_200;Other_50;Other defaultValue=3 isProtected=true")
    KVE_SETTING(int, SensorFrequency, "type=enum unit=kHz enumList=200;50;38;210;100;33;30;24 defaultValue=1 isProtected=false autoMode=true")
    KVE_SETTING(int, SensorFrequencyLow, "type=enum unit=kHz enumList=200;50;38;210;100;33;30;24 defaultValue=1 isProtected=false")
    KVE_SETTING(int, SensorFrequencyHigh, "type=enum unit=kHz enumList=200;50;38;210;100;33;30;24 defaultValue=1 isProtected=false")
    KVE_SETTING(int, SwitchToLowFreqBelowRange, "type=enumWithDifferentUnits unit=m measurement=depth enumListMeters=5;10;20;50;100;150;200;250;300;350;400;450;500;550;600;650;700;750;800;850;900;950;1000 enumListFeet=15;30;60;150;300;450;650;800;950;1100;1300;1450;1600;1800;1950;2100;2250;2450;2600;2750;2950;3100;3250 enumListFathoms=2;5;10;25;50;80;100;130;160;190;210;240;270;300;320;350;380;410;430;460;490;510;540 defaultValue=5 isProtected=true changeable=true")
    KVE_SETTING(int, ApprovedPrimary, "type=enum enumList=Yes;No isProtected=true")
    KVE_SETTING(int, UseInDeepOrShallowWater, "type=enum enumList=Shallow;Deep;Both defaultValue=2 isProtected=true")
    KVE_SETTING(int, MaxRange, "type=enumWithDifferentUnits unit=m measurement=depth enumListMeters=200;400;500;1000;2000;3000;4000;5000 enumListFeet=650;1300;1600;3250;6500;9800;13000;16000 enumListFathoms=100;210;270;540;1000;1600;2100;2700 defaultValue=3 isProtected=true changeable=true")
    KVE_SETTING(int, Range, "type=enumWithDifferentUnits unit=m measurement=depth enumListMeters=5;10;20;50;100;150;200;250;300;350;400;450;500;550;600;650;700;750;800;850;900;950;1000;2000;3000;4000;5000;6000 enumListFeet=15;30;60;150;300;450;650;800;950;1100;1300;1450;1600;1800;1950;2100;2250;2450;2600;2750;2950;3100;3250;6500;9800;13000;16000;19500 enumListFathoms=2;5;10;25;50;80;100;130;160;190;210;240;270;300;320;350;380;410;430;460;490;510;540;1000;1600;2100;2700;3250 defaultValue=6 changeable=true autoMode=true")
    KVE_SETTING(int, MaxPowerPercentage, "type=value unit=% validator=int;1;100 defaultValue=100 isProtected=true changeable=false")
    KVE_SETTING(int, PowerPercentage, "type=value unit=% validator=int;1;100 defaultValue=50 changeable=false autoMode=true")
    KVE_SETTING(double, LowFreqMinSnr, "type=value unit=dB validator=float;0;100 defaultValue=37.0")
    KVE_SETTING(double, HighFreqMinSnr, "type=value unit=dB validator=float;0;100 defaultValue=37.0")
    KVE_SETTING(int, SensorGain, "type=enum enumList=2;3;4;5;6;7;8;9;10;1")
    KVE_SETTING(int, SoftwareGain, "type=value validator=int;1;10 defaultValue=1")
    KVE_SETTING(int, CombinedGain, "type=enum enumList=1;2;3;4;5;6;7;8;9;10;11;12 defaultValue=1 autoMode=true")
    KVE_SETTING(int, SensorOutputPower, "type=value validator=int;0;40000 defaultValue=500")
    KVE_SETTING(int, SensorPulseWidth, "type=value unit=us validator=int;0;3000 defaultValue=500 isProtected=true autoMode=true")
    KVE_SETTING(int, SensorSampleNumber, "type=value validator=int;1;3200 defaultValue=2500 isProtected=true")
    KVE_SETTING(int, SensorSamplingResolution, "type=value validator=int;1;1000 defaultValue=20 isProtected=true")
    KVE_SETTING(int, BlankingDistanceInCm, "type=value unit=cm validator=int;0;10000 defaultValue=150 changeable=false")
    KVE_SETTING(int, SensorStartingPosition, "type=value validator=int;0;3199")
    KVE_SETTING(int, SensorUltrasonicSpeed, "type=value unit=m/s validator=int;700;1700 defaultValue=1500 changeable=false")
    KVE_SETTING(int, TvgPercentage, "type=value unit=% validator=int;0;100 defaultValue=65 autoMode=true")
    KVE_SETTING(double, TvgValue, "type=value validator=int;0;20 defaultValue=13")
    KVE_SETTING(int, OutputImpMatchCapacitor, "type=enum enumList=3;2;1;0 defaultValue=0")

public:
    explicit EsTransducerSetup(const QString &name = QStringLiteral("TransducerSetup1"), QObject *parent = nullptr);

    // Marks are made only once start-up has put the stored gains in place.
    void setGainMarksEnabled(bool enabled);

signals:
    void gainMarkReady(const QString &markText);

private:
    void combinedGainWritten(int gain);

    bool m_gainMarksEnabled = false;
    int m_markedGain = -1;
};

class ESTransducerSelectSetup : public SetupSerializableClass
{
    Q_OBJECT
    KVE_SETTINGS_CONSTRUCTOR(ESTransducerSelectSetup, SetupSerializableClass, "TransducerSelectSetup")
    KVE_CHILD(EsTransducerSetup, TransducerSetup1)
    KVE_CHILD(EsTransducerSetup, TransducerSetup2)
};

class ESSetupSetup : public SetupSerializableClass
{
    Q_OBJECT
    KVE_SETTINGS_CONSTRUCTOR(ESSetupSetup, SetupSerializableClass, "SetupSetup")
    KVE_CHILD(ESOptionsSetup, OptionsSetup)
    KVE_CHILD(ESTransducerSelectSetup, TransducerSelectSetup)
};

class ESOtherSettings : public SetupSerializableClass
{
    Q_OBJECT
    KVE_SETTINGS_CONSTRUCTOR(ESOtherSettings, SetupSerializableClass, "OtherSettings")
    KVE_SETTING(int, Mark, "type=enum enumList=Mark;Mark")
    KVE_SETTING(int, AutoTvgDialog, "type=enum enumList=Closed;Opened")
    KVE_SETTING(int, PollingTest, "type=value validator=int;0;20000 defaultValue=0 isNumeric=true")
    KVE_SETTING(int, NMEALoopTest, "type=enum enumList=Start;Running")
    KVE_SETTING(int, NmeaPort1Status, "type=enum enumList=Not_Tested;Ok;Error")
    KVE_SETTING(int, NmeaPort2Status, "type=enum enumList=Not_Tested;Ok;Error")
    KVE_SETTING(int, NmeaPort3Status, "type=enum enumList=Not_Tested;Ok;Error")
    KVE_SETTING(int, TransceiverPortStatus, "type=enum enumList=Not_Tested;Ok;Error")
    KVE_SETTING(int, DateTimeReceivedCounter, "type=value validator=int;0;2147483647 defaultValue=0")
    KVE_SETTING(int, TimeReceived, "type=enum enumList=No;Yes")
    KVE_SETTING(int, KVE410WindowsConnectedCounter, "type=value validator=int;0;2147483647 defaultValue=0")
};

class ESTestScreenSetup : public SetupSerializableClass
{
    Q_OBJECT
    KVE_SETTINGS_CONSTRUCTOR(ESTestScreenSetup, SetupSerializableClass, "TestScreenSetup")
    KVE_SETTING(int, RestartTransceiver, "type=enum enumList=Ignore;Execute isProtected=true")
    KVE_SETTING(int, TransceiverRebootCounter, "type=value validator=int;0;2147483647 defaultValue=0 changeable=false")
    KVE_SETTING(int, ResetCounter, "type=enum enumList=Ignore;Execute isProtected=true")
    KVE_SETTING(QString, CounterResetDateTime, "type=value validator=regex;x defaultValue=N/A isNumeric=false changeable=false")
    KVE_SETTING(QString, TransceiverRebootDateTime, "type=value validator=regex;x defaultValue=N/A isNumeric=false changeable=false")
    KVE_SETTING(int, HoursSinceCounterReset, "type=value validator=int;0;2147483647 defaultValue=0 changeable=false")
    KVE_SETTING(int, HoursSinceTransceiverReboot, "type=value validator=int;0;2147483647 defaultValue=0 changeable=false")
    KVE_SETTING(int, UpdateTransceiverRebootInfo, "type=enum enumList=Ignore;Execute")
    KVE_SETTING(int, SensorChannelNumber, "type=enum enumList=Channel_1;Channel_2")
    KVE_SETTING(double, TestDepthLimitH, "type=value unit=m measurement=depth validator=float;0.0;6000.0 defaultValue=100.0")
    KVE_SETTING(double, TestDepthLimitL, "type=value unit=m measurement=depth validator=float;0.0;6000.0 defaultValue=10.0")
    KVE_SETTING(int, LedDepthIndication, "type=enum enumList=ON;off defaultValue=1")
    KVE_SETTING(int, LoadTestSettings, "type=enum enumList=Ignore;Execute")
    KVE_SETTING(int, ScopeScreenOpen, "type=enum enumList=No;Yes")
    KVE_SETTING(int, Nmea1MirrorToOutput, "type=enum enumList=ON;off defaultValue=1")
    KVE_SETTING(int, Nmea2MirrorToOutput, "type=enum enumList=ON;off defaultValue=1")
    KVE_SETTING(int, Nmea3MirrorToOutput, "type=enum enumList=ON;off defaultValue=1")
    KVE_SETTING(int, LoggingToDisk, "type=enum enumList=ON;off defaultValue=1")
    KVE_SETTING(int, BitShift, "type=value validator=int;0;8 defaultValue=0 isProtected=true")
    KVE_SETTING(int, PingingSequence, "type=enum enumList=Alternating;Ch1_Only;Ch2_Only isProtected=true")
    KVE_SETTING(int, PingingMultiplexed, "type=enum enumList=ON;off isProtected=true")
    KVE_SETTING(int, PingingUsingWaitState, "type=enum enumList=ON;off defaultValue=1 isProtected=true")
    KVE_SETTING(int, UseSensorMutedAlert, "type=enum enumList=ON;off isProtected=true")
    KVE_SETTING(int, SensorMute, "type=enum enumList=ON;off defaultValue=1")
    KVE_SETTING(int, Ch1PingingOn, "type=enum enumList=ON;off")
    KVE_SETTING(int, Ch1PingingOnBeforeStandby, "type=enum enumList=ON;off")
    KVE_SETTING(int, Ch2PingingOn, "type=enum enumList=ON;off")
    KVE_SETTING(int, Ch2PingingOnBeforeStandby, "type=enum enumList=ON;off")
    KVE_SETTING(int, Ch1SinglePing, "type=enum enumList=Ignore;Execute")
    KVE_SETTING(int, Ch2SinglePing, "type=enum enumList=Ignore;Execute")
    KVE_SETTING(int, PingingFrequency, "type=value unit=Hz validator=int;1;50 defaultValue=10 isProtected=true")
    KVE_SETTING(int, PingDelay, "type=value unit=ms validator=int;0;10000 defaultValue=0 isProtected=true")
};

class ESTransducerAutoFunctionsSetup : public SetupSerializableClass
{
    Q_OBJECT
    KVE_SETTINGS_CONSTRUCTOR(ESTransducerAutoFunctionsSetup, SetupSerializableClass, "FreqSetup")
    KVE_SETTING(double, Depth1, "type=value unit=m measurement=depth validator=float;0;5000 defaultValue=10 changeable=false")
    KVE_SETTING(double, Depth2, "type=value unit=m measurement=depth validator=float;0;5000 defaultValue=1000 changeable=false")
    KVE_SETTING(double, DepthResolution, "type=value unit=m measurement=depth validator=float;1;100 defaultValue=20 changeable=false")
    KVE_SETTING(int, PulseWidthAtLessThan20m, "type=value unit=us validator=int;0;20000 defaultValue=200")
    KVE_SETTING(int, PulseWidth1, "type=value unit=us validator=int;0;20000 defaultValue=300")
    KVE_SETTING(int, PulseWidth2, "type=value unit=us validator=int;0;20000 defaultValue=3000")
    KVE_SETTING(int, PulseWidthResolution, "type=value unit=us validator=int;1;1000 defaultValue=100")
    KVE_SETTING(int, PowerAtLessThan20m, "type=value unit=% validator=int;1;100 defaultValue=20 changeable=false")
    KVE_SETTING(int, PowerAt20m, "type=value unit=% validator=int;1;100 defaultValue=50 changeable=false")
    KVE_SETTING(int, PowerAt50m, "type=value unit=% validator=int;1;100 defaultValue=90 changeable=false")
    KVE_SETTING(int, PowerAtMoreThan50m, "type=value unit=% validator=int;1;100 defaultValue=100 changeable=false")
};

class GainAutoFunctionSetup : public SetupSerializableClass
{
    Q_OBJECT
    KVE_SETTINGS_CONSTRUCTOR(GainAutoFunctionSetup, SetupSerializableClass, "GainSetup")
    KVE_SETTING(int, SignalBasedAutoGain, "type=enum enumList=ON;off")
    KVE_SETTING(int, SignalMaxLowerLimitPercentage, "type=value unit=% validator=int;0;98 defaultValue=2 changeable=false")
    KVE_SETTING(int, SignalMaxUpperLimitPercentage, "type=value unit=% validator=int;2;100 defaultValue=30 changeable=false")
    KVE_SETTING(int, MaxGainAtLessThan50m, "type=enum enumList=1;2;3;4;5;6;7;8;9;10;11;12 defaultValue=6")
    KVE_SETTING(int, MaxGainAt50m, "type=enum enumList=1;2;3;4;5;6;7;8;9;10;11;12 defaultValue=8")
};

class ESAutoFunctionsSetup : public SetupSerializableClass
{
    Q_OBJECT
    KVE_SETTINGS_CONSTRUCTOR(ESAutoFunctionsSetup, SetupSerializableClass, "AutoFunctionsSetup")
    KVE_CHILD(ESTransducerAutoFunctionsSetup, Freq24kSetup)
    KVE_CHILD(ESTransducerAutoFunctionsSetup, Freq30k33k38kSetup)
    KVE_CHILD(ESTransducerAutoFunctionsSetup, Freq50kSetup)
    KVE_CHILD(ESTransducerAutoFunctionsSetup, Freq100kSetup)
    KVE_CHILD(ESTransducerAutoFunctionsSetup, Freq200k210kSetup)
    KVE_CHILD(GainAutoFunctionSetup, GainSetup)
};

class CommsLoggingCommonSetup : public SetupSerializableClass
{
    Q_OBJECT
    KVE_SETTINGS_CONSTRUCTOR(CommsLoggingCommonSetup, SetupSerializableClass, "CommonLoggingSetup")
    KVE_SETTING(int, LogToDevice, "type=enum enumList=Internal;USB;SD")
};

class CommsPortLoggingSetup : public SetupSerializableClass
{
    Q_OBJECT
    KVE_SETTINGS_CONSTRUCTOR(CommsPortLoggingSetup, SetupSerializableClass, "PortLoggingSetup")
    KVE_SETTING(int, Nmea1, "type=enum enumList=ON;off")
    KVE_SETTING(int, Nmea2, "type=enum enumList=ON;off")
    KVE_SETTING(int, Nmea3, "type=enum enumList=ON;off")
    KVE_SETTING(int, NmeaUdp, "type=enum enumList=ON;off")
};

class CommsErrorLoggingSetup : public SetupSerializableClass
{
    Q_OBJECT
    KVE_SETTINGS_CONSTRUCTOR(CommsErrorLoggingSetup, SetupSerializableClass, "ErrorLoggingSetup")
    KVE_SETTING(int, Nmea1, "type=enum enumList=ON;off")
    KVE_SETTING(int, Nmea2, "type=enum enumList=ON;off")
    KVE_SETTING(int, Nmea3, "type=enum enumList=ON;off")
    KVE_SETTING(int, NmeaUdp, "type=enum enumList=ON;off")
    KVE_SETTING(int, UdpNmeaDatagram, "type=enum enumList=ON;off")
    KVE_SETTING(int, UdpBinaryDatagram, "type=enum enumList=ON;off")
};

class CommsLoggingSetup : public SetupSerializableClass
{
    Q_OBJECT
    KVE_SETTINGS_CONSTRUCTOR(CommsLoggingSetup, SetupSerializableClass, "CommunicationsLoggingSetup")
    KVE_CHILD(CommsLoggingCommonSetup, CommonLoggingSetup)
    KVE_CHILD(CommsPortLoggingSetup, InputLoggingSetup)
    KVE_CHILD(CommsPortLoggingSetup, OutputLoggingSetup)
    KVE_CHILD(CommsErrorLoggingSetup, ErrorLoggingSetup)
};

// The whole tree of shared settings, object name "ESSetup".
class ESSetup : public SetupSerializableClass
{
    Q_OBJECT
    KVE_SETTINGS_CONSTRUCTOR(ESSetup, SetupSerializableClass, "ESSetup")
    KVE_CHILD(ESAlertSetup, AlertSetup)
    KVE_CHILD(ESAUXSetup, AUXSetup)
    KVE_CHILD(ESDiagnosticsSetup, DiagnosticsSetup)
    KVE_CHILD(ESSetupSetup, SetupSetup)
    KVE_CHILD(ESCommunicationsSetup, CommunicationsSetup)
    KVE_CHILD(ESHistorySetup, HistorySetup)
    KVE_CHILD(ESKX12Setup, KX12Setup)
    KVE_CHILD(ESOtherSettings, OtherSettings)
    KVE_CHILD(ESTestScreenSetup, TestScreenSetup)
    KVE_CHILD(ESAutoFunctionsSetup, AutoFunctionsSetup)
    KVE_CHILD(EchoScopeSetup, ScopeSetup)
    KVE_CHILD(NoiseSelfTestContainer, NoiseSelfTest)
    KVE_CHILD(SnrCalibrationSetup, SnrCalibSetup)
    KVE_CHILD(CommsLoggingSetup, CommunicationsLoggingSetup)

public:
    EsTransducerSetup *transducer(int channel) const; // channel 0 or 1
};
