#pragma once

#include "nmeamessage.h"
#include "systeminformation.h"

// Every sentence type the unit knows. Each field table lists the fields in sentence order with
// their class-info entry; the classes below are generated from the tables.

#define KVE_OWN_TALKER SystemInformation::instance().talker()
#define KVE_PZTQ_TALKER QStringLiteral("PZTQ")

// ---- standard sentences ----

#define KVE_FIELDS_ACK(F) \
    F(UniqueAlarmNumber, "type=int")

#define KVE_FIELDS_ACN(F) \
    F(Time, "type=string") \
    F(ManufacturerMnemonicCode, "type=string") \
    F(AlertIdentifier, "type=int validator=0;9999999 canBeNullField=false maxFieldLength=7") \
    F(AlertInstance, "type=int validator=0;999999 maxFieldLength=6") \
    F(AlertCommand, "type=string validator=[AQOS]{1,1} canBeNullField=false fixedLength=1") \
    F(SentenceStatus, "type=string validator=[C]{1,1} canBeNullField=false fixedLength=1")

#define KVE_FIELDS_ALC(F) \
    F(TotalNumberOfAlcSentences, "type=int") \
    F(SentenceNumber, "type=int") \
    F(SequentialMessageIdentifier, "type=int") \
    F(NumberOfAlertEntries, "type=int") \
    F(ManufacturerMnemonicCode, "type=string") \
    F(AlertIdentifier, "type=int validator=0;9999999 maxFieldLength=7") \
    F(AlertInstance, "type=int validator=0;999999 maxFieldLength=6") \
    F(RevisionCounter, "type=int validator=1;99")

#define KVE_FIELDS_ALF(F) \
    F(TotalNumberOfAlfSentences, "type=int") \
    F(SentenceNumber, "type=int") \
    F(SequentialMessageIdentifier, "type=int") \
    F(TimeOfLastChange, "type=float fixedDigitsBeforePoint=6") \
    F(AlertCategory, "type=string validator=[ABC]{1,1} fixedLength=1") \
    F(AlertPriority, "type=string validator=[EAWC]{1,1} fixedLength=1") \
    F(AlertState, "type=string validator=[ASNOUV]{1,1} fixedLength=1") \
    F(ManufacturerMnemonicCode, "type=string") \
    F(AlertIdentifier, "type=int validator=0;9999999 maxFieldLength=7") \
    F(AlertInstance, "type=int validator=0;999999 maxFieldLength=6") \
    F(RevisionCounter, "type=int validator=1;99") \
    F(EscalationCounter, "type=int validator=0;9") \
    F(AlertText, "type=string")

#define KVE_FIELDS_ALR(F) \
    F(TimeOfLastChange, "type=float fixedDigitsBeforePoint=6") \
    F(UniqueAlarmNumber, "type=int") \
    F(AlarmCondition, "type=string validator=[AV]{1,1} fixedLength=1") \
    F(AlarmAcknowledgeState, "type=string validator=[AV]{1,1} fixedLength=1") \
    F(AlarmText, "type=string")

#define KVE_FIELDS_ARC(F) \
    F(ReleaseTimeOfARC, "type=string") \
    F(ManufacturerMnemonicCode, "type=string") \
    F(AlertIdentifier, "type=int validator=0;9999999 maxFieldLength=7") \
    F(AlertInstance, "type=int validator=0;999999 maxFieldLength=6") \
    F(RefusedAlertCommand, "type=string")

#define KVE_FIELDS_CUR(F) \
    F(Validity, "type=string validator=V{1,1} fixedLength=1 defaultValue=V") \
    F(DataSetNR, "type=int validator=0;9 maxFieldLength=1 validityLimit=-1") \
    F(LayerNR, "type=int validator=0;99 maxFieldLength=2 validityLimit=-1") \
    F(CurrentDptM, "type=float") \
    F(CurrentDirectionD, "type=float") \
    F(DirectionRef, "type=string validator=TR{1,1} fixedLength=1 defaultValue=T") \
    F(CurrentSpeedKnots, "type=float") \
    F(RefLayerDptM, "type=float") \
    F(Heading, "type=float") \
    F(HeadingRef, "type=string validator=TR{1,1} fixedLength=1 defaultValue=T") \
    F(SpeedRef, "type=string validator=BWP{1,1} fixedLength=1 defaultValue=B")

#define KVE_FIELDS_DAT(F) \
    F(DepthSurface, "type=float") \
    F(DepthKeel, "type=float") \
    F(DepthTransducer, "type=float") \
    F(SpeedGPS, "type=float") \
    F(SpeedSOGLog, "type=float") \
    F(SpeedSTWLog, "type=float") \
    F(Heading, "type=float") \
    F(ROT, "type=float") \
    F(LOGDepth, "type=float")

#define KVE_FIELDS_DBK(F) \
    F(DepthBlwKeelFeet, "type=float") \
    F(Feet, "type=string validator=f{1,1} fixedLength=1 defaultValue=f canBeNullField=false") \
    F(DepthBlwKeelMeters, "type=float") \
    F(Meters, "type=string validator=M{1,1} fixedLength=1 defaultValue=M canBeNullField=false") \
    F(DepthBlwKeelFathoms, "type=float") \
    F(Fathoms, "type=string validator=F{1,1} fixedLength=1 defaultValue=F canBeNullField=false")

#define KVE_FIELDS_DBS(F) \
    F(DepthBlwSurfaceFeet, "type=float") \
    F(Feet, "type=string validator=f{1,1} fixedLength=1 defaultValue=f canBeNullField=false") \
    F(DepthBlwSurfaceMeters, "type=float") \
    F(Meters, "type=string validator=M{1,1} fixedLength=1 defaultValue=M canBeNullField=false") \
    F(DepthBlwSurfaceFathoms, "type=float") \
    F(Fathoms, "type=string validator=F{1,1} fixedLength=1 defaultValue=F canBeNullField=false")

#define KVE_FIELDS_DBT(F) \
    F(DepthBlwTransducerFeet, "type=float") \
    F(Feet, "type=string validator=f{1,1} fixedLength=1 defaultValue=f canBeNullField=false") \
    F(DepthBlwTransducerMeters, "type=float") \
    F(Meters, "type=string validator=M{1,1} fixedLength=1 defaultValue=M canBeNullField=false") \
    F(DepthBlwTransducerFathoms, "type=float") \
    F(Fathoms, "type=string validator=F{1,1} fixedLength=1 defaultValue=F canBeNullField=false")

#define KVE_FIELDS_DDC(F) \
    F(DimmingPreset, "type=string validator=[DKNO]{1,1} validityLimit=-1 fixedLength=1") \
    F(BrightnessPercentage, "type=int validator=0;99 maxFieldLength=2 validityLimit=-1") \
    F(ColorPalette, "type=string validator=[DKNO]{1,1} validityLimit=-1 fixedLength=1") \
    F(Status, "type=string validator=[RC]{1,1} validityLimit=-1 fixedLength=1")

#define KVE_FIELDS_DPT(F) \
    F(DepthBlwTransducerMeters, "type=float") \
    F(OffsetFromTransducerMeters, "type=float") \
    F(MaximumRangeScale, "type=float sendDecimals=0")

#define KVE_FIELDS_DTM(F) \
    F(LocalDatum, "type=string fixedLength=3") \
    F(LocalDatumSubdivCode, "type=string fixedLength=1") \
    F(LatitudeOffset, "type=string") \
    F(NorthOrSouth, "type=string validator=[NS]{1,1} fixedLength=1") \
    F(LongitudeOffset, "type=string") \
    F(EastOrWest, "type=string validator=[EW]{1,1} fixedLength=1") \
    F(AltitudeOffset, "type=string") \
    F(ReferenceDatum, "type=string fixedLength=3")

#define KVE_FIELDS_GGA(F) \
    F(UtcOfPosition, "type=float fixedDigitsBeforePoint=6") \
    F(Latitude, "type=float fixedDigitsBeforePoint=4") \
    F(NorthOrSouth, "type=string validator=[NS]{1,1} fixedLength=1") \
    F(Longitude, "type=float fixedDigitsBeforePoint=5") \
    F(EastOrWest, "type=string validator=[EW]{1,1} fixedLength=1") \
    F(GpsQualityIndicator, "type=int validator=0;8 canBeNullField=false fixedLength=1 defaultValue=0") \
    F(NumberOfSatellitesInUse, "type=int validator=0;12 fixedLength=2") \
    F(HorizontalDilutionOfPrecision, "type=float") \
    F(AntennaAltitude, "type=float") \
    F(UnitsOfAntennaAltitude, "type=string validator=M{1,1} fixedLength=1") \
    F(GeoidalSeparation, "type=float") \
    F(UnitsOfGeoidalSeparation, "type=string validator=M{1,1} fixedLength=1") \
    F(AgeOfDifferentialGpsData, "type=float") \
    F(DifferentialReferenceStationId, "type=int validator=0;1023 fixedLength=4")

#define KVE_FIELDS_GLL(F) \
    F(Latitude, "type=float fixedDigitsBeforePoint=4") \
    F(NorthOrSouth, "type=string validator=[NS]{1,1} fixedLength=1") \
    F(Longitude, "type=float fixedDigitsBeforePoint=5") \
    F(EastOrWest, "type=string validator=[EW]{1,1} fixedLength=1") \
    F(UtcOfPosition, "type=float fixedDigitsBeforePoint=6") \
    F(Status, "type=string validator=[AV]{1,1} canBeNullField=false fixedLength=1 defaultValue=V") \
    F(ModeIndicator, "type=string validator=[ADEMSN]{1,1} canBeNullField=false fixedLength=1 defaultValue=N")

#define KVE_FIELDS_GSA(F) \
    F(GSA_Mode, "type=string validator=[AM]{1,1} fixedLength=1") \
    F(GSA_ModeNumber, "type=int validator=1;3") \
    F(GSA_SatelliteID_1, "type=int validator=1;99") \
    F(GSA_SatelliteID_2, "type=int validator=1;99") \
    F(GSA_SatelliteID_3, "type=int validator=1;99") \
    F(GSA_SatelliteID_4, "type=int validator=1;99") \
    F(GSA_SatelliteID_5, "type=int validator=1;99") \
    F(GSA_SatelliteID_6, "type=int validator=1;99") \
    F(GSA_SatelliteID_7, "type=int validator=1;99") \
    F(GSA_SatelliteID_8, "type=int validator=1;99") \
    F(GSA_SatelliteID_9, "type=int validator=1;99") \
    F(GSA_SatelliteID_10, "type=int validator=1;99") \
    F(GSA_SatelliteID_11, "type=int validator=1;99") \
    F(GSA_SatelliteID_12, "type=int validator=1;99") \
    F(GSA_PDOP, "type=float") \
    F(GSA_HDOP, "type=float") \
    F(GSA_VDOP, "type=float")

#define KVE_FIELDS_GST(F) \
    F(GST_UTCtime, "type=string") \
    F(GST_RMS, "type=float") \
    F(GST_SmajorStDeviation, "type=float") \
    F(GST_SminorStDeviation, "type=float") \
    F(GST_SmajorOrientation, "type=float") \
    F(GST_LatitudeStDeviation, "type=float") \
    F(GST_LongitudeStDeviation, "type=float") \
    F(GST_AltitudeStDeviation, "type=float")

#define KVE_FIELDS_GSV(F) \
    F(GSV_TotalMessages, "type=int validator=1;9 validityLimit=-1") \
    F(GSV_MessageNumber, "type=int validator=1;9 validityLimit=-1") \
    F(GSV_TotalSatellites, "type=int validator=1;99 validityLimit=-1") \
    F(GSV_SatelliteID_1, "type=int validator=1;999 validityLimit=-1") \
    F(GSV_Elevation_1, "type=int validator=0;90 validityLimit=-1") \
    F(GSV_Azimuth_1, "type=int validator=0;359 validityLimit=-1") \
    F(GSV_SNR_1, "type=int validator=0;99 defaultValue=0 validityLimit=-1") \
    F(GSV_SatelliteID_2, "type=int validator=1;999 validityLimit=-1") \
    F(GSV_Elevation_2, "type=int validator=0;90 validityLimit=-1") \
    F(GSV_Azimuth_2, "type=int validator=0;359 validityLimit=-1") \
    F(GSV_SNR_2, "type=int validator=0;99 defaultValue=0 validityLimit=-1") \
    F(GSV_SatelliteID_3, "type=int validator=1;999 validityLimit=-1") \
    F(GSV_Elevation_3, "type=int validator=0;90 validityLimit=-1") \
    F(GSV_Azimuth_3, "type=int validator=0;359 validityLimit=-1") \
    F(GSV_SNR_3, "type=int validator=0;99 defaultValue=0 validityLimit=-1") \
    F(GSV_SatelliteID_4, "type=int validator=1;999 validityLimit=-1") \
    F(GSV_Elevation_4, "type=int validator=0;90 validityLimit=-1") \
    F(GSV_Azimuth_4, "type=int validator=0;359 validityLimit=-1") \
    F(GSV_SNR_4, "type=int validator=0;99 defaultValue=0 validityLimit=-1") \
    F(GSV_SignalID, "type=int validator=0;8 validityLimit=-1")

#define KVE_FIELDS_HBT(F) \
    F(RepeatInterval, "type=int") \
    F(Status, "type=string validator=[AV]{1,1} fixedLength=1") \
    F(SentenceIdentifier, "type=int validator=0;9 fixedLength=1")

#define KVE_FIELDS_HDT(F) \
    F(HeadingTrue, "type=float") \
    F(HeadingTrueString, "type=string validator=T{1,1} fixedLength=1 defaultValue=T")

#define KVE_FIELDS_MTW(F) \
    F(WaterTemperature, "type=float") \
    F(Celsius, "type=string validator=C{1,1} fixedLength=1 defaultValue=C canBeNullField=false")

#define KVE_FIELDS_RMC(F) \
    F(UtcOfPosition, "type=float fixedDigitsBeforePoint=6") \
    F(Status, "type=string validator=[AV]{1,1} canBeNullField=false fixedLength=1 defaultValue=V") \
    F(Latitude, "type=float fixedDigitsBeforePoint=4") \
    F(NorthOrSouth, "type=string validator=[NS]{1,1} fixedLength=1") \
    F(Longitude, "type=float fixedDigitsBeforePoint=5") \
    F(EastOrWest, "type=string validator=[EW]{1,1} fixedLength=1") \
    F(SpeedOverGroundKnots, "type=float validator=0;1000") \
    F(CourseOverGroundTrue, "type=float") \
    F(Date, "type=int fixedLength=6") \
    F(MagneticVariation, "type=float") \
    F(VariationEasterlyOrWesterly, "type=string validator=[EW]{1,1} fixedLength=1") \
    F(ModeIndicator, "type=string validator=[ADEFMNPRS]{1,1} canBeNullField=false fixedLength=1 defaultValue=S") \
    F(NavigationalStatus, "type=string validator=[SCUV]{1,1} canBeNullField=false fixedLength=1 defaultValue=V")

#define KVE_FIELDS_ROT(F) \
    F(ROT, "type=float") \
    F(Status, "type=string validator=[AV]{1,1} fixedLength=1")

#define KVE_FIELDS_SRP(F) \
    F(InstanceNumber, "type=int") \
    F(MacAddress, "type=string validator=([0-9A-F]{2}[:-]){5}([0-9A-F]{2}) canBeNullField=false") \
    F(IpAddress, "type=string")

#define KVE_FIELDS_THS(F) \
    F(HeadingTrue, "type=float") \
    F(ModeIndicator, "type=string validator=[AEMSV]{1,1} canBeNullField=false fixedLength=1 defaultValue=V")

#define KVE_FIELDS_VBW(F) \
    F(LongitudinalWaterSpeed, "type=float") \
    F(TransverseWaterSpeed, "type=float") \
    F(StatusWaterSpeed, "type=string validator=[AV]{1,1} canBeNullField=false fixedLength=1 defaultValue=V") \
    F(LongitudinalGroundSpeed, "type=float") \
    F(TransverseGroundSpeed, "type=float") \
    F(StatusGroundSpeed, "type=string validator=[AV]{1,1} canBeNullField=false fixedLength=1 defaultValue=V") \
    F(SternTransverseWaterSpeed, "type=float") \
    F(StatusSternWaterSpeed, "type=string validator=[AV]{1,1} canBeNullField=false fixedLength=1 defaultValue=V") \
    F(SternTransverseGroundSpeed, "type=float") \
    F(StatusSternGroundSpeed, "type=string validator=[AV]{1,1} canBeNullField=false fixedLength=1 defaultValue=V")

#define KVE_FIELDS_VHW(F) \
    F(HeadingTrue, "type=float") \
    F(HeadingTrueString, "type=string validator=T{1,1} fixedLength=1 defaultValue=T canBeNullField=false") \
    F(HeadingMagnetic, "type=float") \
    F(HeadingMagneticString, "type=string validator=M{1,1} fixedLength=1 defaultValue=M canBeNullField=false") \
    F(LongitudinalWaterSpeed, "type=float") \
    F(Knots, "type=string validator=N{1,1} fixedLength=1 defaultValue=N canBeNullField=false") \
    F(LongitudinalWaterSpeedKm, "type=float") \
    F(Kilometers, "type=string validator=K{1,1} fixedLength=1 defaultValue=K canBeNullField=false")

#define KVE_FIELDS_VLW(F) \
    F(TotalCumulativeWaterDistance, "type=float") \
    F(TotalCumulativeWaterDistanceString, "type=string validator=N{1,1} fixedLength=1 defaultValue=N canBeNullField=false") \
    F(WaterDistanceSinceReset, "type=float") \
    F(WaterDistanceSinceResetString, "type=string validator=N{1,1} fixedLength=1 defaultValue=N canBeNullField=false") \
    F(TotalCumulativeGroundDistance, "type=float") \
    F(TotalCumulativeGroundDistanceString, "type=string validator=N{1,1} fixedLength=1 defaultValue=N canBeNullField=false") \
    F(GroundDistanceSinceReset, "type=float") \
    F(GroundDistanceSinceResetString, "type=string validator=N{1,1} fixedLength=1 defaultValue=N canBeNullField=false")

#define KVE_FIELDS_VTG(F) \
    F(CourseOverGroundTrue, "type=float") \
    F(True, "type=string validator=T{1,1} fixedLength=1") \
    F(CourseOverGroundMagnetic, "type=float") \
    F(Magnetic, "type=string validator=M{1,1} fixedLength=1") \
    F(SpeedOverGroundKnots, "type=float validator=0;1000") \
    F(Knots, "type=string validator=N{1,1} fixedLength=1") \
    F(SpeedOverGroundKmPerH, "type=float validator=0;1000") \
    F(KmPerH, "type=string validator=K{1,1} fixedLength=1") \
    F(ModeIndicator, "type=string validator=[ADEMPSN]{1,1} canBeNullField=false fixedLength=1 defaultValue=N")

#define KVE_FIELDS_XDR(F)

#define KVE_FIELDS_ZDA(F) \
    F(Utc, "type=float fixedDigitsBeforePoint=6") \
    F(Day, "type=int validator=1;31 fixedLength=2") \
    F(Month, "type=int validator=1;12 fixedLength=2") \
    F(Year, "type=int fixedLength=4") \
    F(LocalHoursOffset, "type=int validator=-13;13") \
    F(LocalMinutesOffset, "type=int validator=0;59")

// ---- proprietary sentences (address "PZTQ" + formatter) ----

#define KVE_FIELDS_PZTQCFG(F) \
    F(SystemId, "type=int validator=1;2 fixedLength=1") \
    F(Mode, "type=int fixedLength=1") \
    F(PowerLevel, "type=int validator=0;3 fixedLength=1") \
    F(PulseLength, "type=int validator=0;3 fixedLength=1") \
    F(RangeOffset, "type=int validator=1;31 fixedLength=2") \
    F(OutputMessages, "type=int validator=0;9999 fixedLength=4")

#define KVE_FIELDS_PZTQCFGR(F) \
    F(MessagePartIndex, "type=int") \
    F(Param1, "type=string") \
    F(Param2, "type=string") \
    F(Param3, "type=string") \
    F(Param4, "type=string") \
    F(Param5, "type=string") \
    F(Param6, "type=string") \
    F(Param7, "type=string") \
    F(Param8, "type=string")

#define KVE_FIELDS_PZTQDAT(F) \
    F(SystemId, "type=int validator=1;4 canBeNullField=false") \
    F(FwdSpeed, "type=float") \
    F(FwdSignalQuality, "type=int") \
    F(AftSpeed, "type=float") \
    F(AftSignalQuality, "type=int") \
    F(Temperature, "type=float") \
    F(TiltDegX, "type=float") \
    F(TiltDegY, "type=float") \
    F(TiltDegZ, "type=float")

#define KVE_FIELDS_PZTQDEVSTART(F) \
    F(LocalSfi, "type=string")

#define KVE_FIELDS_PZTQDPT(F) \
    F(DepthBlwTransducerMeters, "type=float") \
    F(OffsetFromTransducerMeters, "type=float") \
    F(MaximumRangeScale, "type=float") \
    F(BottomEchoStrength, "type=int") \
    F(TransducerFrequency, "type=int") \
    F(TransducerPosition, "type=string")

#define KVE_FIELDS_PZTQERRORCODE(F) \
    F(ErrorId, "type=int") \
    F(ErrorCount, "type=int")

#define KVE_FIELDS_PZTQERRORTABLE(F)

#define KVE_FIELDS_PZTQGCF(F) \
    F(DummyParameter, "type=string")

#define KVE_FIELDS_PZTQICM(F) \
    F(MessageVersion, "type=int") \
    F(CommandId, "type=int") \
    F(Parameters, "type=string")

#define KVE_FIELDS_PZTQMACA(F) \
    F(MacAddress, "type=string validator=([0-9A-F]{2}[:-]){5}([0-9A-F]{2}) canBeNullField=false")

#define KVE_FIELDS_PZTQMTWF(F) \
    F(WaterTemperature, "type=float") \
    F(Celsius, "type=string validator=C{1,1} fixedLength=1 defaultValue=C canBeNullField=false")

#define KVE_FIELDS_PZTQPAIR(F) \
    F(SourceSfi, "type=string") \
    F(DestinationSfi, "type=string") \
    F(PairDevices, "type=string")

#define KVE_FIELDS_PZTQPARA(F) \
    F(SystemType, "type=string canBeNullField=false")

#define KVE_FIELDS_PZTQREBOOT(F) \
    F(SourceSfi, "type=string") \
    F(Description, "type=string")

#define KVE_FIELDS_PZTQRSTO(F) \
    F(DummyParameter, "type=string")

#define KVE_FIELDS_PZTQRSTT(F) \
    F(DummyParameter, "type=string")

#define KVE_FIELDS_PZTQSCF(F) \
    F(SystemName, "type=string") \
    F(IP1, "type=string") \
    F(IP2, "type=string") \
    F(IP3, "type=string") \
    F(IP4, "type=string") \
    F(LocalSfi, "type=string") \
    F(PairedSfi, "type=string") \
    F(Group, "type=int validator=1;8")

#define KVE_FIELDS_PZTQSFIACK(F) \
    F(SourceSfi, "type=string") \
    F(DestinationSfi, "type=string") \
    F(MessageTypeToAck, "type=string") \
    F(OptionalDescription, "type=string")

#define KVE_FIELDS_PZTQSFICHANGE(F) \
    F(NewSfi, "type=string") \
    F(OldSfi, "type=string")

#define KVE_FIELDS_PZTQSFICHK(F) \
    F(NewSfi, "type=string") \
    F(OldSfi, "type=string") \
    F(Confirmation, "type=string")

#define KVE_FIELDS_PZTQSFITKN(F) \
    F(SourceSfi, "type=string") \
    F(SfiTaken, "type=string")

#define KVE_FIELDS_PZTQSLP(F) \
    F(TargetSfi, "type=string") \
    F(SetToSleep, "type=int validator=0;1")

#define KVE_FIELDS_PZTQSNF(F) \
    F(SystemId, "type=int validator=1;2 fixedLength=1") \
    F(SerialNumber, "type=string fixedLength=6") \
    F(HwVersion, "type=string fixedLength=2") \
    F(FwVersion, "type=string fixedLength=3") \
    F(ScalingFactorBeam1, "type=int validator=0;9999 fixedLength=4") \
    F(ScalingFactorBeam2, "type=int validator=0;9999 fixedLength=4") \
    F(TemperatureSensorOffset, "type=int validator=0;99 fixedLength=2") \
    F(ScalingFactorTempSpeedCor, "type=int validator=0;999 fixedLength=3") \
    F(FrequencyNumber, "type=int validator=0;99 fixedLength=2")

#define KVE_FIELDS_PZTQSTL(F) \
    F(Trip, "type=float") \
    F(Total, "type=float")

#define KVE_FIELDS_PZTQSYC(F) \
    F(CommandId, "type=int validator=0;3 fixedLength=1")

#define KVE_FIELDS_PZTQTST(F) \
    F(SystemId, "type=int validator=1;2 fixedLength=1") \
    F(SimulationOnOff, "type=int validator=2;3 fixedLength=1") \
    F(SimulatedSpeed, "type=string fixedLength=5") \
    F(Reserved1, "type=string fixedLength=2 defaultValue=00") \
    F(Reserved2, "type=string fixedLength=4 defaultValue=1000")

#define KVE_FIELDS_PZTQVBWF(F) \
    F(LongitudinalWaterSpeed, "type=float") \
    F(TransverseWaterSpeed, "type=float") \
    F(StatusWaterSpeed, "type=string validator=[AV]{1,1} canBeNullField=false fixedLength=1 defaultValue=V") \
    F(LongitudinalGroundSpeed, "type=float") \
    F(TransverseGroundSpeed, "type=float") \
    F(StatusGroundSpeed, "type=string validator=[AV]{1,1} canBeNullField=false fixedLength=1 defaultValue=V") \
    F(SternTransverseWaterSpeed, "type=float") \
    F(StatusSternWaterSpeed, "type=string validator=[AV]{1,1} canBeNullField=false fixedLength=1 defaultValue=V") \
    F(SternTransverseGroundSpeed, "type=float") \
    F(StatusSternGroundSpeed, "type=string validator=[AV]{1,1} canBeNullField=false fixedLength=1 defaultValue=V")

#define KVE_FIELDS_PZTQVBWX(F) \
    F(LongitudinalWaterSpeed, "type=float") \
    F(TransverseWaterSpeed, "type=float") \
    F(StatusWaterSpeed, "type=string validator=[AV]{1,1} canBeNullField=false fixedLength=1 defaultValue=V") \
    F(LongitudinalGroundSpeed, "type=float") \
    F(TransverseGroundSpeed, "type=float") \
    F(StatusGroundSpeed, "type=string validator=[AV]{1,1} canBeNullField=false fixedLength=1 defaultValue=V") \
    F(SternTransverseWaterSpeed, "type=float") \
    F(StatusSternWaterSpeed, "type=string validator=[AV]{1,1} canBeNullField=false fixedLength=1 defaultValue=V") \
    F(SternTransverseGroundSpeed, "type=float") \
    F(StatusSternGroundSpeed, "type=string validator=[AV]{1,1} canBeNullField=false fixedLength=1 defaultValue=V") \
    F(Vs1LongitudinalWaterSpeed, "type=float") \
    F(Vs1StatusWaterSpeed, "type=string validator=[AV]{1,1} canBeNullField=false fixedLength=1 defaultValue=V")

#define KVE_FIELDS_PZTQVMPCGTER(F) \
    F(Command, "type=int")

class MsgAck : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgAck, "ACK", KVE_OWN_TALKER, KVE_FIELDS_ACK) };
class MsgAcn : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgAcn, "ACN", KVE_OWN_TALKER, KVE_FIELDS_ACN) };
class MsgAlc : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgAlc, "ALC", KVE_OWN_TALKER, KVE_FIELDS_ALC) };
class MsgAlf : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgAlf, "ALF", KVE_OWN_TALKER, KVE_FIELDS_ALF) };
class MsgAlr : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgAlr, "ALR", KVE_OWN_TALKER, KVE_FIELDS_ALR) };
class MsgArc : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgArc, "ARC", KVE_OWN_TALKER, KVE_FIELDS_ARC) };
class MsgCur : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgCur, "CUR", KVE_OWN_TALKER, KVE_FIELDS_CUR) };
class MsgDat : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgDat, "DAT", KVE_OWN_TALKER, KVE_FIELDS_DAT) };
class MsgDbk : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgDbk, "DBK", KVE_OWN_TALKER, KVE_FIELDS_DBK) };
class MsgDbs : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgDbs, "DBS", KVE_OWN_TALKER, KVE_FIELDS_DBS) };
class MsgDbt : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgDbt, "DBT", KVE_OWN_TALKER, KVE_FIELDS_DBT) };
class MsgDdc : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgDdc, "DDC", KVE_OWN_TALKER, KVE_FIELDS_DDC) };
class MsgDpt : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgDpt, "DPT", KVE_OWN_TALKER, KVE_FIELDS_DPT) };
class MsgDtm : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgDtm, "DTM", KVE_OWN_TALKER, KVE_FIELDS_DTM) };
class MsgGga : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgGga, "GGA", KVE_OWN_TALKER, KVE_FIELDS_GGA) };
class MsgGll : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgGll, "GLL", KVE_OWN_TALKER, KVE_FIELDS_GLL) };
class MsgGsa : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgGsa, "GSA", KVE_OWN_TALKER, KVE_FIELDS_GSA) };
class MsgGst : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgGst, "GST", KVE_OWN_TALKER, KVE_FIELDS_GST) };
class MsgGsv : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgGsv, "GSV", KVE_OWN_TALKER, KVE_FIELDS_GSV) };
class MsgHbt : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgHbt, "HBT", KVE_OWN_TALKER, KVE_FIELDS_HBT) };
class MsgHdt : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgHdt, "HDT", KVE_OWN_TALKER, KVE_FIELDS_HDT) };
class MsgMtw : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgMtw, "MTW", KVE_OWN_TALKER, KVE_FIELDS_MTW) };
class MsgRmc : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgRmc, "RMC", KVE_OWN_TALKER, KVE_FIELDS_RMC) };
class MsgRot : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgRot, "ROT", KVE_OWN_TALKER, KVE_FIELDS_ROT) };
class MsgSrp : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgSrp, "SRP", KVE_OWN_TALKER, KVE_FIELDS_SRP) };
class MsgThs : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgThs, "THS", KVE_OWN_TALKER, KVE_FIELDS_THS) };
class MsgVbw : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgVbw, "VBW", KVE_OWN_TALKER, KVE_FIELDS_VBW) };
class MsgVhw : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgVhw, "VHW", KVE_OWN_TALKER, KVE_FIELDS_VHW) };
class MsgVlw : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgVlw, "VLW", KVE_OWN_TALKER, KVE_FIELDS_VLW) };
class MsgVtg : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgVtg, "VTG", KVE_OWN_TALKER, KVE_FIELDS_VTG) };
class MsgXdr : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgXdr, "XDR", KVE_OWN_TALKER, KVE_FIELDS_XDR) };
class MsgZda : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgZda, "ZDA", KVE_OWN_TALKER, KVE_FIELDS_ZDA) };

// The speed log's own VBW: the fields of VBW under the address "IIVBW", with no talker of its own.
class MsgIivbw : public MsgVbw
{
    Q_OBJECT
public:
    static QString staticFormatter() { return QStringLiteral("IIVBW"); }
    explicit MsgIivbw(const QString &talker = QString(), QObject *parent = nullptr)
        : MsgVbw(QString(), QStringLiteral("IIVBW"), parent)
    {
        Q_UNUSED(talker)
    }
};

class MsgPztqCfg : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgPztqCfg, "CFG", KVE_PZTQ_TALKER, KVE_FIELDS_PZTQCFG) };
class MsgPztqCfgr : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgPztqCfgr, "CFGR", KVE_PZTQ_TALKER, KVE_FIELDS_PZTQCFGR) };
class MsgPztqDat : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgPztqDat, "DAT", KVE_PZTQ_TALKER, KVE_FIELDS_PZTQDAT) };
class MsgPztqDevStart : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgPztqDevStart, "DEVSTART", KVE_PZTQ_TALKER, KVE_FIELDS_PZTQDEVSTART) };
class MsgPztqDpt : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgPztqDpt, "DPT", KVE_PZTQ_TALKER, KVE_FIELDS_PZTQDPT) };
class MsgPztqErrorcode : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgPztqErrorcode, "ERRORCODE", KVE_PZTQ_TALKER, KVE_FIELDS_PZTQERRORCODE) };
class MsgPztqErrortable : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgPztqErrortable, "ERRORTABLE", KVE_PZTQ_TALKER, KVE_FIELDS_PZTQERRORTABLE) };
class MsgPztqGcf : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgPztqGcf, "GCF", KVE_PZTQ_TALKER, KVE_FIELDS_PZTQGCF) };
class MsgPztqIcm : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgPztqIcm, "ICM", KVE_PZTQ_TALKER, KVE_FIELDS_PZTQICM) };
class MsgPztqMaca : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgPztqMaca, "MACA", KVE_PZTQ_TALKER, KVE_FIELDS_PZTQMACA) };
class MsgPztqMtwf : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgPztqMtwf, "MTWF", KVE_PZTQ_TALKER, KVE_FIELDS_PZTQMTWF) };
class MsgPztqPair : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgPztqPair, "PAIR", KVE_PZTQ_TALKER, KVE_FIELDS_PZTQPAIR) };
class MsgPztqPara : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgPztqPara, "PARA", KVE_PZTQ_TALKER, KVE_FIELDS_PZTQPARA) };
class MsgPztqReboot : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgPztqReboot, "REBOOT", KVE_PZTQ_TALKER, KVE_FIELDS_PZTQREBOOT) };
class MsgPztqRsto : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgPztqRsto, "RSTO", KVE_PZTQ_TALKER, KVE_FIELDS_PZTQRSTO) };
class MsgPztqRstt : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgPztqRstt, "RSTT", KVE_PZTQ_TALKER, KVE_FIELDS_PZTQRSTT) };
class MsgPztqScf : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgPztqScf, "SCF", KVE_PZTQ_TALKER, KVE_FIELDS_PZTQSCF) };
class MsgPztqSfiAck : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgPztqSfiAck, "SFIACK", KVE_PZTQ_TALKER, KVE_FIELDS_PZTQSFIACK) };
class MsgPztqSfiChange : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgPztqSfiChange, "SFICHANGE", KVE_PZTQ_TALKER, KVE_FIELDS_PZTQSFICHANGE) };
class MsgPztqSfiChk : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgPztqSfiChk, "SFICHK", KVE_PZTQ_TALKER, KVE_FIELDS_PZTQSFICHK) };
class MsgPztqSfiTkn : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgPztqSfiTkn, "SFITKN", KVE_PZTQ_TALKER, KVE_FIELDS_PZTQSFITKN) };
class MsgPztqSlp : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgPztqSlp, "SLP", KVE_PZTQ_TALKER, KVE_FIELDS_PZTQSLP) };
class MsgPztqSnf : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgPztqSnf, "SNF", KVE_PZTQ_TALKER, KVE_FIELDS_PZTQSNF) };
class MsgPztqStl : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgPztqStl, "STL", KVE_PZTQ_TALKER, KVE_FIELDS_PZTQSTL) };
class MsgPztqSyc : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgPztqSyc, "SYC", KVE_PZTQ_TALKER, KVE_FIELDS_PZTQSYC) };
class MsgPztqTst : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgPztqTst, "TST", KVE_PZTQ_TALKER, KVE_FIELDS_PZTQTST) };
class MsgPztqVbwf : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgPztqVbwf, "VBWF", KVE_PZTQ_TALKER, KVE_FIELDS_PZTQVBWF) };
class MsgPztqVbwx : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgPztqVbwx, "VBWX", KVE_PZTQ_TALKER, KVE_FIELDS_PZTQVBWX) };
class MsgPztqVmpcgter : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgPztqVmpcgter, "VMPCGTER", KVE_PZTQ_TALKER, KVE_FIELDS_PZTQVMPCGTER) };

// Applies F(Class) to every standard and every proprietary sentence class.
#define KVE_STANDARD_SENTENCES(F) F(MsgAck) F(MsgAcn) F(MsgAlc) F(MsgAlf) F(MsgAlr) F(MsgArc) F(MsgCur) F(MsgDat) F(MsgDbk) F(MsgDbs) F(MsgDbt) F(MsgDdc) F(MsgDpt) F(MsgDtm) F(MsgGga) F(MsgGll) F(MsgGsa) F(MsgGst) F(MsgGsv) F(MsgHbt) F(MsgHdt) F(MsgIivbw) F(MsgMtw) F(MsgRmc) F(MsgRot) F(MsgSrp) F(MsgThs) F(MsgVbw) F(MsgVhw) F(MsgVlw) F(MsgVtg) F(MsgXdr) F(MsgZda)
#define KVE_PROPRIETARY_SENTENCES(F) F(MsgPztqCfg) F(MsgPztqCfgr) F(MsgPztqDat) F(MsgPztqDevStart) F(MsgPztqDpt) F(MsgPztqErrorcode) F(MsgPztqErrortable) F(MsgPztqGcf) F(MsgPztqIcm) F(MsgPztqMaca) F(MsgPztqMtwf) F(MsgPztqPair) F(MsgPztqPara) F(MsgPztqReboot) F(MsgPztqRsto) F(MsgPztqRstt) F(MsgPztqScf) F(MsgPztqSfiAck) F(MsgPztqSfiChange) F(MsgPztqSfiChk) F(MsgPztqSfiTkn) F(MsgPztqSlp) F(MsgPztqSnf) F(MsgPztqStl) F(MsgPztqSyc) F(MsgPztqTst) F(MsgPztqVbwf) F(MsgPztqVbwx) F(MsgPztqVmpcgter)
