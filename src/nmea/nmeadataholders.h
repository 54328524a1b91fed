#pragma once

#include "fieldschema.h"

#include <QObject>
#include <QVector>

// Data holders: received values shared by handlers, screens, alerts and logging, and the values the
// unit sends. Each is a process-wide object created on first use; its fields come from the tables.

#define KVE_FIELDS_NMEADATA(F) \
    F(UtcOfPosition, "type=float") \
    F(Latitude, "type=float") \
    F(NorthOrSouth, "type=string validator=[NS]{1,1} fixedLength=1") \
    F(Longitude, "type=float") \
    F(EastOrWest, "type=string validator=[EW]{1,1} fixedLength=1") \
    F(SpeedOverGroundKnots, "type=float") \
    F(SpeedOverGroundKmPerH, "type=float") \
    F(CourseOverGroundTrue, "type=float") \
    F(CourseOverGroundMagnetic, "type=float") \
    F(THS_HeadingTrue, "type=float") \
    F(THS_ModeIndicator, "type=string validator=[AEMSV]{1,1} canBeNullField=false fixedLength=1 defaultValue=V") \
    F(HDT_HeadingTrueString, "type=string validator=T{1,1} fixedLength=1") \
    F(HDT_HeadingTrue, "type=float") \
    F(LongitudinalWaterSpeed, "type=float") \
    F(TransverseWaterSpeed, "type=float") \
    F(StatusWaterSpeed, "type=string validator=[AV]{1,1} canBeNullField=false fixedLength=1 defaultValue=V") \
    F(SternTransverseWaterSpeed, "type=float") \
    F(StatusSternWaterSpeed, "type=string validator=[AV]{1,1} canBeNullField=false fixedLength=1 defaultValue=V") \
    F(VBWX_Vs1LongitudinalWaterSpeed, "type=float") \
    F(VBWX_Vs1StatusWaterSpeed, "type=string validator=[AV]{1,1} canBeNullField=false fixedLength=1 defaultValue=V") \
    F(LongitudinalGroundSpeed, "type=float") \
    F(TransverseGroundSpeed, "type=float") \
    F(StatusGroundSpeed, "type=string validator=[AV]{1,1} canBeNullField=false fixedLength=1 defaultValue=V") \
    F(SternTransverseGroundSpeed, "type=float") \
    F(StatusSternGroundSpeed, "type=string validator=[AV]{1,1} canBeNullField=false fixedLength=1 defaultValue=V") \
    F(IIVBW_TransverseGroundSpeed, "type=float") \
    F(DepthBlwTransducerFeet, "type=float") \
    F(DepthBlwTransducerMeters, "type=float") \
    F(DepthBlwTransducerFathoms, "type=float") \
    F(OffsetFromTransducerMeters, "type=float") \
    F(MaximumRangeScale, "type=float") \
    F(DepthBlwSurfaceFeet, "type=float") \
    F(DepthBlwSurfaceMeters, "type=float") \
    F(DepthBlwSurfaceFathoms, "type=float") \
    F(DepthBlwKeelFeet, "type=float") \
    F(DepthBlwKeelMeters, "type=float") \
    F(DepthBlwKeelFathoms, "type=float") \
    F(DepthBlwTransducerMetersFromLOG, "type=float") \
    F(MTW_WaterTemperature, "type=float") \
    F(MTWF_WaterTemperature, "type=float") \
    F(ROT, "type=float") \
    F(VLW_TotalCumulativeWaterDistance, "type=float") \
    F(VLW_TotalCumulativeWaterDistanceString, "type=string validator=N{1,1} fixedLength=1") \
    F(VLW_WaterDistanceSinceReset, "type=float") \
    F(VLW_WaterDistanceSinceResetString, "type=string validator=N{1,1} fixedLength=1") \
    F(VLW_TotalCumulativeGroundDistance, "type=float") \
    F(VLW_TotalCumulativeGroundDistanceString, "type=string validator=N{1,1} fixedLength=1") \
    F(VLW_GroundDistanceSinceReset, "type=float") \
    F(VLW_GroundDistanceSinceResetString, "type=string validator=N{1,1} fixedLength=1") \
    F(GSA_PDOP, "type=float") \
    F(GSA_HDOP, "type=float") \
    F(GSA_VDOP, "type=float") \
    F(GST_RMS, "type=float") \
    F(NumberOfSatellitesInUse, "type=int validator=0;12") \
    F(HorizontalDilutionOfPrecision, "type=float")

#define KVE_FIELDS_ZDADATA(F) \
    F(Utc, "type=float validityLimit=60") \
    F(Day, "type=int validityLimit=60") \
    F(Month, "type=int validityLimit=60") \
    F(Year, "type=int validityLimit=60") \
    F(LocalHoursOffset, "type=int validityLimit=60") \
    F(LocalMinutesOffset, "type=int validityLimit=60")

#define KVE_FIELDS_NMEAOUTPUTDATA(F) \
    F(UtcOfPosition, "type=float") \
    F(Latitude, "type=float") \
    F(NorthOrSouth, "type=string validator=[NS]{1,1} fixedLength=1") \
    F(Longitude, "type=float") \
    F(EastOrWest, "type=string validator=[EW]{1,1} fixedLength=1") \
    F(SpeedOverGroundKnots, "type=float") \
    F(SpeedOverGroundKmPerH, "type=float") \
    F(CourseOverGroundTrue, "type=float") \
    F(CourseOverGroundMagnetic, "type=float") \
    F(ModeIndicator, "type=string validator=[AEMSV]{1,1} canBeNullField=false fixedLength=1 defaultValue=V") \
    F(HeadingTrueString, "type=string validator=T{1,1} fixedLength=1") \
    F(HeadingTrue, "type=float") \
    F(LongitudinalWaterSpeed, "type=float") \
    F(TransverseWaterSpeed, "type=float") \
    F(StatusWaterSpeed, "type=string validator=[AV]{1,1} canBeNullField=false fixedLength=1 defaultValue=V") \
    F(SternTransverseWaterSpeed, "type=float") \
    F(StatusSternWaterSpeed, "type=string validator=[AV]{1,1} canBeNullField=false fixedLength=1 defaultValue=V") \
    F(Vs1LongitudinalWaterSpeed, "type=float") \
    F(Vs1StatusWaterSpeed, "type=string validator=[AV]{1,1} canBeNullField=false fixedLength=1 defaultValue=V") \
    F(LongitudinalGroundSpeed, "type=float") \
    F(TransverseGroundSpeed, "type=float") \
    F(StatusGroundSpeed, "type=string validator=[AV]{1,1} canBeNullField=false fixedLength=1 defaultValue=V") \
    F(SternTransverseGroundSpeed, "type=float") \
    F(StatusSternGroundSpeed, "type=string validator=[AV]{1,1} canBeNullField=false fixedLength=1 defaultValue=V") \
    F(DepthBlwTransducerFeet, "type=float") \
    F(DepthBlwTransducerMeters, "type=float") \
    F(DepthBlwTransducerFathoms, "type=float") \
    F(OffsetFromTransducerMeters, "type=float") \
    F(MaximumRangeScale, "type=float") \
    F(DepthBlwSurfaceFeet, "type=float") \
    F(DepthBlwSurfaceMeters, "type=float") \
    F(DepthBlwSurfaceFathoms, "type=float") \
    F(DepthBlwKeelFeet, "type=float") \
    F(DepthBlwKeelMeters, "type=float") \
    F(DepthBlwKeelFathoms, "type=float") \
    F(BottomEchoStrength, "type=int") \
    F(TransducerFrequency, "type=int") \
    F(TransducerPosition, "type=string") \
    F(DepthBlwTransducerMetersFromLOG, "type=float") \
    F(ROT, "type=float") \
    F(TotalCumulativeWaterDistance, "type=float") \
    F(TotalCumulativeWaterDistanceString, "type=string validator=N{1,1} fixedLength=1") \
    F(WaterDistanceSinceReset, "type=float") \
    F(WaterDistanceSinceResetString, "type=string validator=N{1,1} fixedLength=1") \
    F(TotalCumulativeGroundDistance, "type=float") \
    F(TotalCumulativeGroundDistanceString, "type=string validator=N{1,1} fixedLength=1") \
    F(GroundDistanceSinceReset, "type=float") \
    F(GroundDistanceSinceResetString, "type=string validator=N{1,1} fixedLength=1") \
    F(WaterTemperature, "type=float")

#define KVE_FIELDS_PZTQDPTDATA(F) \
    F(DepthBlwTransducerMeters, "type=float") \
    F(OffsetFromTransducerMeters, "type=float") \
    F(MaximumRangeScale, "type=float") \
    F(BottomEchoStrength, "type=int") \
    F(TransducerFrequency, "type=int") \
    F(TransducerPosition, "type=string")

#define KVE_FIELDS_PZTQDATDATA(F) \
    F(FwdSpeed, "type=float") \
    F(FwdSignalQuality, "type=int validator=1;8") \
    F(AftSpeed, "type=float") \
    F(AftSignalQuality, "type=int validator=1;8") \
    F(Temperature, "type=float") \
    F(TiltDegX, "type=float") \
    F(TiltDegY, "type=float") \
    F(TiltDegZ, "type=float")

// Common part of the holders: the field objects in property order.
class NmeaDataHolder : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    const QVector<ValidatedProperty *> &fields() const { return m_fields; }
    ValidatedProperty *field(const QString &name) const;
    // Every field back to invalid (or its default), as at start.
    void resetFields();

protected:
    void initializeFields() { m_fields = FieldSchema::initializeProperties(this); }

private:
    QVector<ValidatedProperty *> m_fields;
};

#define KVE_NMEA_HOLDER_BODY(Cls, FIELDS)                                                          \
    FIELDS(KVE_NMEA_FIELD)                                                                         \
public:                                                                                            \
    explicit Cls(QObject *parent = nullptr) : NmeaDataHolder(parent) { initializeFields(); }       \
    static Cls &instance()                                                                         \
    {                                                                                              \
        static Cls *holder = new Cls;                                                              \
        return *holder;                                                                            \
    }                                                                                              \
                                                                                                   \
private:

class NmeaData : public NmeaDataHolder
{
    Q_OBJECT
    KVE_NMEA_HOLDER_BODY(NmeaData, KVE_FIELDS_NMEADATA)
signals:
    void vtgReceived(bool is_valid);
    void rotReceived(bool is_valid);
    void thsReceived(bool is_valid);
    void ggaReceived(bool is_valid);
    void vbwReceived(bool is_valid);
    void vbwfReceived(bool is_valid);
    void mtwfReceived(bool is_valid);
    void tripSetSignal(float trip);
    void totalSetSignal(float total);
};

class ZdaData : public NmeaDataHolder
{
    Q_OBJECT
    KVE_NMEA_HOLDER_BODY(ZdaData, KVE_FIELDS_ZDADATA)
signals:
    void signalDateTimeUpdated();
};

class NmeaOutputData : public NmeaDataHolder
{
    Q_OBJECT
    KVE_NMEA_HOLDER_BODY(NmeaOutputData, KVE_FIELDS_NMEAOUTPUTDATA)
};

class PztqDptData : public NmeaDataHolder
{
    Q_OBJECT
    KVE_NMEA_HOLDER_BODY(PztqDptData, KVE_FIELDS_PZTQDPTDATA)
};

class PztqDatData : public NmeaDataHolder
{
    Q_OBJECT
    KVE_NMEA_HOLDER_BODY(PztqDatData, KVE_FIELDS_PZTQDATDATA)
signals:
    void updateAvailable();
};
