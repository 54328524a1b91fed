#pragma once

#include "settingsmacros.h"
#include "settingsvariants.h"

// Settings of the control unit alone, kept in "CU_" files. One row per property, in text order.

class ESRuntimeScreenSetup : public LocalSerializableClass
{
    Q_OBJECT
    KVE_SETTINGS_CONSTRUCTOR(ESRuntimeScreenSetup, LocalSerializableClass, "RuntimeScreenSetupA")
    KVE_SETTING(int, ShowPage, "type=enum enumList=ON;off defaultValue=0 isLocal=true")
    KVE_SETTING(int, ShowMarks, "type=enum enumList=None;Lines;Info;Full defaultValue=1 isLocal=true")
    KVE_SETTING(int, MarkTypeToShow, "type=enum enumList=Alert;Basic;Other;All defaultValue=0 isLocal=true")
    KVE_SETTING(int, Echogram1, "type=enum enumList=Connector_1;Connector_2 defaultValue=0 isLocal=true")
    KVE_SETTING(int, Echogram2, "type=enum enumList=Connector_1;Connector_2;Off defaultValue=1 isLocal=true")
    KVE_SETTING(int, EchogramSplit, "type=enum enumList=Vertical;Horizontal isLocal=true")
    KVE_SETTING(int, DigitalFontSize, "type=enum enumList=Small;Large;Very_Large;Extra_Large defaultValue=3 isLocal=true")
    KVE_SETTING(int, DepthValue, "type=enum enumList=Blw_Transducer;Blw_Surface;Blw_Keel defaultValue=0 isLocal=true")
    KVE_SETTING(int, PicSpeed, "type=enum enumList=5_min;10_min;15_min;30_min;1_hr;12_hr;24_hr defaultValue=2 isLocal=true")
    KVE_SETTING(int, EchoColour, "type=enum enumList=Brown;Orange;Yellow;Grey isLocal=true")
    KVE_SETTING(int, Information, "type=enum enumList=Fix;Slide defaultValue=0 isLocal=true")
    KVE_SETTING(int, Information1, "type=runtimeSetupInfoEnum enumList=RuntimeInformation defaultValue=9 isLocal=true")
    KVE_SETTING(int, Information2, "type=runtimeSetupInfoEnum enumList=RuntimeInformation defaultValue=13 isLocal=true")
    KVE_SETTING(int, Information3, "type=runtimeSetupInfoEnum enumList=RuntimeInformation defaultValue=14 isLocal=true")
    KVE_SETTING(int, Information4, "type=runtimeSetupInfoEnum enumList=RuntimeInformation defaultValue=0 isLocal=true")
    KVE_SETTING(int, Information5, "type=runtimeSetupInfoEnum enumList=RuntimeInformation defaultValue=11 isLocal=true")
    KVE_SETTING(int, BottomBars, "type=enum enumList=Fix;Slide defaultValue=0 isLocal=true")
    KVE_SETTING(int, BottomBar1, "type=runtimeSetupInfoEnum enumList=RangeBottomBarsInformation defaultValue=0 isLocal=true")
    KVE_SETTING(int, BottomBar2, "type=runtimeSetupInfoEnum enumList=BottomBarsInformation defaultValue=3 isLocal=true")
    KVE_SETTING(int, BottomBar3, "type=runtimeSetupInfoEnum enumList=BottomBarsInformation defaultValue=8 isLocal=true")
};

// The display unit's own identity, network and sound settings.
class CU_R710_Setup : public LocalSerializableClass
{
    Q_OBJECT
    KVE_SETTINGS_CONSTRUCTOR(CU_R710_Setup, LocalSerializableClass, "DisplaySetup")
    KVE_SETTING(QString, SoftwareVersion, "type=value validator=regex;x defaultValue=NOT_DEFINED isLocal=true isNumeric=false")
    KVE_SETTING(uint, DisplaySerialNumber, "type=value validator=uint;0;4294967295 defaultValue=99999 isProtected=true")
    KVE_SETTING(int, Language, "type=enum enumList=En isLocal=true")
    KVE_SETTING(QString, IP, "type=value validator=ip;Wrong_message isProtected=true isLocal=true isNumeric=false isIp=true")
    KVE_SETTING(QString, MacAddress, "type=value validator=regex;x isLocal=true isNumeric=false")
    KVE_SETTING(QString, SystemName, "type=value validator=regex;[a-zA-Z0-9]{2,10} defaultValue=KVE420_Display isNumeric=false")
    KVE_SETTING(QString, LocalSFI, "type=value validator=sfi;(SD){1}\\d{4} defaultValue=SD0109 isProtected=true isLocal=true isNumeric=false")
    KVE_SETTING(QString, PairedSFI, "type=value validator=regex;(SD){1}\\d{4} defaultValue=SD0108 isProtected=true isLocal=true isNumeric=false")
    KVE_SETTING(int, Group, "type=enum enumList=MISC;TGTD;SATD;NAVD;VDRD;RCOM;TIME;PROP defaultValue=3 isProtected=true isLocal=true")
    KVE_SETTING(int, AlarmSounder, "type=enum enumList=ON;off isLocal=true")
    KVE_SETTING(int, ButtonBeep, "type=enum enumList=ON;off isLocal=true")
    KVE_SETTING(int, SounderTest, "type=enum enumList=off;ON isLocal=true")
    KVE_SETTING(int, CalibrateTouchScreen, "type=enum enumList=Calibrate;Calibrating isProtected=true isLocal=true")
};

class ESOtherLocalSettings : public LocalSerializableClass
{
    Q_OBJECT
    KVE_SETTINGS_CONSTRUCTOR(ESOtherLocalSettings, LocalSerializableClass, "OtherLocalSettings")
    KVE_SETTING(int, None, "type=enum enumList=_ isLocal=true")
    KVE_SETTING(int, TimeMode, "type=enum enumList=UTC;Local;Other isLocal=true")
    KVE_SETTING(int, NMEALoopTest, "type=enum enumList=Start;Running")
    KVE_SETTING(int, NmeaPort1Status, "type=enum enumList=Not_Tested;Ok;Error")
    KVE_SETTING(int, NmeaPort2Status, "type=enum enumList=Not_Tested;Ok;Error")
    KVE_SETTING(int, NmeaPort3Status, "type=enum enumList=Not_Tested;Ok;Error")
    KVE_SETTING(int, Transducer, "type=enum enumList=Fore;Aft isLocal=true")
    KVE_SETTING(int, SelectedConnectorOnRuntimeScreen, "type=enum enumList=1;2 isLocal=true")
    KVE_SETTING(int, ShowMarksOnHistoryScreen, "type=enum enumList=None;Lines;Info;Full defaultValue=3 isLocal=true")
    KVE_SETTING(int, MarkTypeToShowOnHistoryScreen, "type=enum enumList=Alr_and_Man;Basic;Other;All defaultValue=0 isLocal=true")
    KVE_SETTING(double, HistoryRangeValue, "type=valueFromEnum unit=m measurement=depth validator=float;0;6000 defaultValue=500 isLocal=true changeable=true")
    KVE_SETTING(int, HistoryRange, "type=enumWithDifferentUnits unit=m measurement=depth enumListMeters=10;20;50;100;200;400;500;1000 enumListFeet=30;60;150;300;600;1300;1600;3300 enumListFathoms=5;10;25;50;100;150;250;500 defaultValue=6 isLocal=true changeable=true")
    KVE_SETTING(int, HistoryShowChannel, "type=enum enumList=Channel_1;Channel_2")
    KVE_SETTING(double, ScopeRangeY, "type=value unit=mV validator=float;0.01;10000 defaultValue=20.0")
    KVE_SETTING(int, NoiseResShowChannel, "type=enum enumList=Channel_1;Channel_2")
    KVE_SETTING(int, NoiseResShowFreq, "type=enum enumList=Low;High")
};

class LocalDimmingSetup : public LocalSerializableClass
{
    Q_OBJECT
    KVE_SETTINGS_CONSTRUCTOR(LocalDimmingSetup, LocalSerializableClass, "DayDimmingSetup")
    KVE_SETTING(int, ColorPalette, "type=enum enumList=Bright_Green;Green;Pale_Green;Bright_Yellow;Yellow;Pale_Yellow isLocal=true")
    KVE_SETTING(int, Brightness, "type=value validator=int;0;255 defaultValue=128")
    KVE_SETTING(int, EchogramColorPageA, "type=enum enumList=Brown;Orange;Yellow;Grey isLocal=true")
    KVE_SETTING(int, EchogramColorPageB, "type=enum enumList=Brown;Orange;Yellow;Grey isLocal=true")
    KVE_SETTING(int, EchogramColorPageC, "type=enum enumList=Brown;Orange;Yellow;Grey isLocal=true")
};

class LocalDimmingSetupContainer : public LocalSerializableClass
{
    Q_OBJECT
    KVE_SETTINGS_CONSTRUCTOR(LocalDimmingSetupContainer, LocalSerializableClass, "DimmingSetupContainer")
    KVE_CHILD(LocalDimmingSetup, DayDimmingSetup)
    KVE_CHILD(LocalDimmingSetup, TwilightDimmingSetup)
    KVE_CHILD(LocalDimmingSetup, NightDimmingSetup)
    KVE_CHILD(LocalDimmingSetup, OffDimmingSetup)
};

class RemoteDimmingSetup : public LocalSerializableClass
{
    Q_OBJECT
    KVE_SETTINGS_CONSTRUCTOR(RemoteDimmingSetup, LocalSerializableClass, "DimmingSetup")
    KVE_SETTING(int, OperationMode, "type=enum enumList=RX;RX/TX;TX;off isLocal=true")
    KVE_SETTING(int, IgnorePercentageInDdc, "type=enum enumList=Yes;No defaultValue=1 isLocal=true")
    KVE_SETTING(QString, DimmingPreset, "type=value validator=regex;[DKNO] defaultValue=D isLocal=true isNumeric=false")
    KVE_SETTING(int, BrightnessPercentage, "type=value unit=% validator=int;0;99 defaultValue=50 isLocal=true")
    KVE_SETTING(QString, ColorPalette, "type=value validator=regex;[DKNO] defaultValue=D isLocal=true isNumeric=false")
    KVE_SETTING(int, CurrentBrightnessPercentage, "type=value unit=% validator=int;0;99 defaultValue=50 isLocal=true")
    KVE_SETTING(int, DimmingPresetEnum, "type=enum enumList=Day;Twilight;Night;Off isLocal=true isNumeric=false")
    KVE_SETTING(int, ColorPaletteEnum, "type=enum enumList=Day;Twilight;Night;Off isLocal=true isNumeric=false")
};

// The whole tree of the control unit's own settings, object name "ESLocalSetup".
class ESLocalSetup : public LocalSerializableClass
{
    Q_OBJECT
    KVE_SETTINGS_CONSTRUCTOR(ESLocalSetup, LocalSerializableClass, "ESLocalSetup")
    KVE_CHILD(ESRuntimeScreenSetup, RuntimeScreenSetupA)
    KVE_CHILD(ESRuntimeScreenSetup, RuntimeScreenSetupB)
    KVE_CHILD(ESRuntimeScreenSetup, RuntimeScreenSetupC)
    KVE_CHILD(ESRuntimeScreenSetup, RuntimeScreenSetupD)
    KVE_CHILD(CU_R710_Setup, DisplaySetup)
    KVE_CHILD(ESOtherLocalSettings, OtherLocalSettings)
    KVE_CHILD(LocalDimmingSetupContainer, DimmingSetupContainer)
    KVE_CHILD(RemoteDimmingSetup, DimmingSetup)
};
