#include "longtermlogger.h"

#include "nmeadataholders.h"
#include "validatedobject.h"
#include "validatedproperty.h"

#include <QDataStream>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cmath>

LongTermLogger::LongTermLogger(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<QList<BasicHistoryPoint>>("QList<BasicHistoryPoint>");
}

const QStringList &LongTermLogger::valueNames()
{
    static const QStringList names = {
        "LatitudeDegreesSigned", "LongitudeDegreesSigned", "Heading", "SpeedGPS", "SpeedSOGLog",
        "SpeedSTWLog", "LOGDepth", "DepthTransducerCh1", "DepthKeelCh1", "DepthSurfaceCh1",
        "DepthTransducerCh2", "DepthKeelCh2", "DepthSurfaceCh2"};
    return names;
}

void LongTermLogger::setValueSources(const QList<QObject *> &sources)
{
    m_sources.clear();
    for (QObject *s : sources)
        m_sources.append(QPointer<QObject>(s));
}

float LongTermLogger::valueOf(const QString &name) const
{
    const QByteArray key = name.toLatin1();
    for (const QPointer<QObject> &source : m_sources) {
        if (!source)
            continue;
        QVariant v;
        if (auto *holder = qobject_cast<NmeaDataHolder *>(source.data())) {
            ValidatedProperty *field = holder->field(name);
            if (!field)
                continue;
            if (!field->isValid())
                return MissingValue;
            v = field->variantValue();
        } else {
            if (source->metaObject()->indexOfProperty(key.constData()) < 0
                && !source->dynamicPropertyNames().contains(key))
                continue;
            if (auto *object = qobject_cast<ValidatedObject *>(source.data())) {
                if (!object->isValid(name))
                    return MissingValue;
            }
            v = source->property(key.constData());
        }
        bool ok = false;
        const double d = v.toString().trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(d) || std::fabs(d) > double(std::numeric_limits<float>::max()))
            return MissingValue;
        return float(d);
    }
    return MissingValue;
}

QVector<float> LongTermLogger::currentValues() const
{
    QVector<float> values;
    for (const QString &name : valueNames())
        values.append(valueOf(name));
    return values;
}

QVector<float> LongTermLogger::valuesFor(const BasicHistoryPoint &point, QVector<float> values)
{
    // The point's own channel has its depths from the very ping the record is of.
    const QString ch = QString::number(point.channel + 1);
    const std::pair<const char *, BasicHistoryPoint::Value> depths[] = {
        {"DepthTransducerCh", BasicHistoryPoint::DepthBlwTransducer},
        {"DepthKeelCh", BasicHistoryPoint::DepthBlwKeel},
        {"DepthSurfaceCh", BasicHistoryPoint::DepthBlwSurface}};
    for (const auto &[name, value] : depths) {
        const int index = valueNames().indexOf(QLatin1String(name) + ch);
        const float depth = point.value(value);
        if (index >= 0)
            values[index] = depth > EchoRecordInfo::kNoDepth ? depth : MissingValue;
    }
    return values;
}

QString LongTermLogger::currentFile(int channel) const
{
    if (m_dir.isEmpty() || channel < 0 || channel > 1)
        return QString();
    return m_dir + QStringLiteral("/KVE_History_Ch%1_%2").arg(channel + 1).arg(m_numbers.at(channel));
}

void LongTermLogger::recordToFile(QList<BasicHistoryPoint> points)
{
    if (!isRecording() || points.isEmpty())
        return;
    // A device pulled out is not yet gone from the mount table: its folder is, and nothing is made
    // in the empty mount point (that would be the unit's own storage).
    if (!QFileInfo(QFileInfo(m_dir).path()).isDir()) {
        qDebug().noquote() << QStringLiteral("Long-term history not written, logging device gone: ") + m_dir;
        return;
    }
    qDebug().noquote() << QStringLiteral("recordToFile: ") + QString::number(points.size());
    const QVector<float> current = currentValues();
    QVector<QByteArray> bytes(2);
    for (const BasicHistoryPoint &p : points) {
        if (p.channel < 0 || p.channel > 1)
            continue;
        QDataStream out(&bytes[p.channel], QIODevice::WriteOnly | QIODevice::Append);
        out.setByteOrder(QDataStream::BigEndian);
        out.setFloatingPointPrecision(QDataStream::SinglePrecision);
        out << qint64(p.time.isValid() ? p.time.toMSecsSinceEpoch() : 0);
        for (float v : valuesFor(p, current))
            out << v;
    }
    for (int ch = 0; ch < 2; ++ch) {
        if (bytes.at(ch).isEmpty())
            continue;
        if (!m_numbersRead.at(ch)) {
            m_numbers[ch] = readNewestNumber(ch);
            m_numbersRead[ch] = true;
            if (m_numbers.at(ch) == 0)
                takeNewNumber(ch);
        }
        if (QFileInfo(currentFile(ch)).size() + bytes.at(ch).size() > m_maxFileBytes)
            takeNewNumber(ch);
        QDir().mkpath(m_dir);
        QFile file(currentFile(ch));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
            qDebug() << "Can't open file for writing!";
            continue;
        }
        if (file.write(bytes.at(ch)) != bytes.at(ch).size())
            qDebug().noquote() << QStringLiteral("Long-term history write failed: ") + file.fileName();
    }
}

void LongTermLogger::setDevice(bool logging_possible, bool reserved_space_available, QString dev_path)
{
    Q_UNUSED(reserved_space_available)
    const QString dir = dev_path.isEmpty() ? QString() : dev_path + QStringLiteral("/KVE_Long_Term_History");
    if (dir != m_dir) {
        m_dir = dir;
        m_numbersRead.fill(false);
        m_numbers.fill(0);
    }
    m_possible = logging_possible;
}

void LongTermLogger::setRecordingOn(bool recording_on)
{
    m_recordingOn = recording_on;
}

uint LongTermLogger::readNewestNumber(int channel) const
{
    QFile file(m_dir + QStringLiteral("/Newest_File_Number_Ch%1").arg(channel + 1));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    QDataStream in(&file);
    in.setByteOrder(QDataStream::BigEndian);
    quint32 n = 0;
    in >> n;
    return in.status() == QDataStream::Ok ? n : 0;
}

void LongTermLogger::writeNewestNumber(int channel, uint number) const
{
    QDir().mkpath(m_dir);
    QSaveFile file(m_dir + QStringLiteral("/Newest_File_Number_Ch%1").arg(channel + 1));
    if (!file.open(QIODevice::WriteOnly))
        return;
    QDataStream out(&file);
    out.setByteOrder(QDataStream::BigEndian);
    out << quint32(number);
    file.commit();
}

void LongTermLogger::takeNewNumber(int channel)
{
    ++m_numbers[channel];
    writeNewestNumber(channel, m_numbers.at(channel));
    emit newOrdinalNumber(m_numbers.at(channel));
}
