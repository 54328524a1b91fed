#include "echosounderdatalogger.h"

#include "unitclock.h"
#include "watchdogsingletonwrapper.h"

#include <QDataStream>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <QThread>
#include <QTime>
#include <QtEndian>

#include <cmath>
#include <limits>

namespace {
const char *const kPattern = "EchoData_ch%1_n%2_utc%3.bin";
template <typename T>
T clampTo(double v)
{
    if (!std::isfinite(v))
        return 0;
    v = std::trunc(v);
    if (v < double(std::numeric_limits<T>::min()))
        return std::numeric_limits<T>::min();
    if (v > double(std::numeric_limits<T>::max()))
        return std::numeric_limits<T>::max();
    return static_cast<T>(v);
}

template <typename T>
void put(char *at, T value)
{
    qToLittleEndian(value, at);
}
}

EchosounderDataLogger::EchosounderDataLogger(int maxFileSizeUnits, const QString &devicePath, QObject *parent)
    : QObject(parent), m_maxFileSize(qint64(qMax(1, maxFileSizeUnits)) * FileSizeUnitBytes)
{
    qRegisterMetaType<EchoRecordInfo>("EchoRecordInfo");   // records arrive queued from the intake
    qDebug().noquote() << QStringLiteral("Max file size: ") + QString::number(m_maxFileSize);
    qDebug().noquote() << QStringLiteral("max files per channel: ") + QString::number(m_maxFiles);
    if (!devicePath.isEmpty()) {
        m_dir = devicePath + QStringLiteral("/Raw_Echo_Data");
        readState();
    }
}

EchosounderDataLogger::~EchosounderDataLogger()
{
    closeFiles();
}

QByteArray EchosounderDataLogger::recordHeader(const EchoRecordInfo &record)
{
    QByteArray header(RecordHeaderBytes, '\0');
    char *h = header.data();
    const QTime time = record.time();
    put<quint16>(h + 0, RecordHeaderBytes - 2);
    put<quint32>(h + 2, time.isValid() ? quint32(time.msecsSinceStartOfDay() / 1000) : 0u);
    put<qint16>(h + 6, clampTo<qint16>(double(record.value(EchoRecordInfo::DepthBlwTransducer)) * 10.0));
    put<quint16>(h + 8, clampTo<quint16>(record.value(EchoRecordInfo::CalculatedNoiseLevel)));
    put<quint16>(h + 10, clampTo<quint16>(record.value(EchoRecordInfo::CalculatedStartingIndex)));
    put<qint16>(h + 12, clampTo<qint16>(record.value(EchoRecordInfo::MinSnr)));
    put<quint32>(h + 14, 4);
    put<quint32>(h + 18, 5);
    put<quint32>(h + 22, 5);
    put<quint32>(h + 26, 5);
    return header;
}

QString EchosounderDataLogger::fileName(int channel, int number, const QString &utcText)
{
    return QString::fromLatin1(kPattern).arg(channel).arg(number).arg(utcText);
}

void EchosounderDataLogger::setMaxFilesPerChannel(int count)
{
    m_maxFiles = qMax(1, count);
}

QString EchosounderDataLogger::currentFile(int channel) const
{
    if (channel < 0 || channel > 1 || !m_files[channel].isOpen())
        return QString();
    return m_files[channel].fileName();
}

void EchosounderDataLogger::receivedDataForLogging(QByteArray raw_buffer, EchoRecordInfo info, int channel)
{
    if (!m_loggingOn || !m_possible || m_dir.isEmpty() || channel < 0 || channel > 1) {
        ++m_dropped;
        return;
    }
    QFile &file = m_files[channel];
    const bool change = file.isOpen() && !m_changeFilesRequested && file.size() >= m_maxFileSize;
    if (change)
        qDebug() << "Change file";
    if ((!file.isOpen() || m_changeFilesRequested || change) && !startNewFiles()) {
        ++m_dropped;
        stopAfterFailure(m_dir);
        return;
    }
    QByteArray record = recordHeader(info);
    record += raw_buffer;
    // One write per record on an unbuffered file: a record is either in the kernel or not at all.
    if (file.write(record) != record.size()) {
        qDebug().noquote() << QStringLiteral("Raw data write failed: ") + file.fileName() + QStringLiteral(" ")
                                  + file.errorString();
        ++m_dropped;
        stopAfterFailure(file.fileName());
        return;
    }
    ++m_written;
}

void EchosounderDataLogger::startStopLogging(bool logging_on)
{
    m_loggingOn = logging_on;
    if (!logging_on)
        closeFiles();
}

void EchosounderDataLogger::setDeviceInfo(bool is_logging_possible, QString path)
{
    qDebug().noquote() << QStringLiteral("logging posssible: ")
                              + QLatin1String(is_logging_possible ? "true" : "false");
    const QString dir = path.isEmpty() ? QString() : path + QStringLiteral("/Raw_Echo_Data");
    if (!is_logging_possible || dir != m_dir)
        closeFiles();
    m_possible = is_logging_possible && !dir.isEmpty();
    if (dir != m_dir && !dir.isEmpty()) {
        m_dir = dir;
        m_newest = 0;
        m_oldest = 1;
        m_created = 0;
        readState();
    }
}

void EchosounderDataLogger::fileImportanceChanged(int v)
{
    if (v != 0)
        m_changeFilesRequested = true;
}

bool EchosounderDataLogger::startNewFiles()
{
    closeFiles();
    m_changeFilesRequested = false;
    // Only below the device folder the device controller made: a stick that is pulled leaves an
    // empty mount point, which is the unit's own storage.
    if (!QFileInfo(QFileInfo(m_dir).path()).isDir() || !QDir().mkpath(m_dir)) {
        qDebug().noquote() << QStringLiteral("Raw data folder not made (device gone or not writable): ") + m_dir;
        return false;
    }
    if (m_newest == std::numeric_limits<int>::max()) {
        // A state file from elsewhere left no number above the newest: number afresh.
        m_newest = 0;
        m_oldest = 1;
    }
    if (m_newest - m_oldest + 1 >= m_maxFiles)
        deleteOldest();
    ++m_newest;
    if (m_created < std::numeric_limits<int>::max())
        ++m_created;
    qDebug().noquote() << QStringLiteral("creating new files, newest and oldest numbers: %1 %2")
                              .arg(m_newest).arg(m_oldest);
    const QString utc = QLocale::c().toString(UnitClock::instance().currentDateTimeUtc(), QStringLiteral("yyyy_MMM_dd-hh_mm_ss"));
    bool ok = true;
    for (int ch = 0; ch < 2; ++ch) {
        QFile &file = m_files[ch];
        file.setFileName(m_dir + QLatin1Char('/') + fileName(ch + 1, m_newest, utc));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
            qDebug().noquote() << QStringLiteral("Can't open raw data file: ") + file.fileName();
            ok = false;
        }
    }
    writeState();
    if (!ok) {
        closeFiles();
        return false;
    }
    return true;
}

void EchosounderDataLogger::stopAfterFailure(const QString &where)
{
    // A device that fails (or was pulled and is not yet gone from the mount table) is not written
    // again until it is announced anew; nothing is created where the medium used to be.
    closeFiles();
    m_possible = false;
    emit writeFailed(where);
}

void EchosounderDataLogger::closeFiles()
{
    for (QFile &file : m_files) {
        if (file.isOpen())
            file.close();
    }
}

void EchosounderDataLogger::deleteOldest()
{
    qDebug().noquote() << QStringLiteral("max number of files reached, delete oldest: ") + QString::number(m_oldest);
    const QString filter = QString::fromLatin1(kPattern).arg(QStringLiteral("*")).arg(m_oldest).arg(QStringLiteral("*"));
    qDebug().noquote() << QStringLiteral("REGEX: ") + filter;
    QDir dir(m_dir);
    for (const QString &name : dir.entryList({filter}, QDir::Files)) {
        qDebug().noquote() << QStringLiteral("file name: ") + name;
        dir.remove(name);
    }
    ++m_oldest;
    writeState();
}

void EchosounderDataLogger::readState()
{
    QFile file(m_dir + QStringLiteral("/info"));
    if (!file.open(QIODevice::ReadOnly))
        return;
    QDataStream in(&file);
    in.setByteOrder(QDataStream::BigEndian);
    qint32 newest = 0, oldest = 0, created = 0;
    in >> newest >> oldest >> created;
    if (in.status() != QDataStream::Ok || newest < 0 || oldest < 1 || qint64(oldest) > qint64(newest) + 1) {
        qDebug().noquote() << QStringLiteral("Raw data state file unreadable: ") + file.fileName();
        return;
    }
    m_newest = newest;
    m_oldest = oldest;
    m_created = created;
}

void EchosounderDataLogger::writeState() const
{
    QSaveFile file(m_dir + QStringLiteral("/info"));
    if (!file.open(QIODevice::WriteOnly))
        return;
    QDataStream out(&file);
    out.setByteOrder(QDataStream::BigEndian);
    out << qint32(m_newest) << qint32(m_oldest) << qint32(m_created);
    if (!file.commit())
        qDebug().noquote() << QStringLiteral("Raw data state file not written: ") + file.fileName();
}

RawDataLoggingThread::RawDataLoggingThread(int maxFileSizeUnits, QObject *parent)
    : QObject(parent), m_thread(new QThread(this)), m_logger(new EchosounderDataLogger(maxFileSizeUnits))
{
    m_thread->setObjectName(QStringLiteral("Raw data logging thread"));
    m_logger->moveToThread(m_thread);
    m_thread->start(QThread::InheritPriority);
    WatchdogSingletonWrapper::instance().watchThread(m_thread, KickIntervalMsecs, TimeoutMsecs);
}

RawDataLoggingThread::~RawDataLoggingThread()
{
    m_thread->quit();
    m_thread->wait();
    // The thread has stopped: nothing runs the logger any more, so it can go from here.
    delete m_logger;
}
