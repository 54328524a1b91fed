#include "logfilewriter.h"

#include "diskspacechecker.h"
#include "esloggingdevicecontroller.h"

#include <QDebug>
#include <QDir>
#include <QFile>

#include <unistd.h>

const qint64 LogFileWriter::DefaultFreeBytesMin = ESLoggingDeviceController::FreeBytesMin;

LogFileWriter::LogFileWriter(QObject *parent, qint64 maxFileBytes, qint64 freeBytesMin)
    : QObject(parent), m_maxFileBytes(qMax<qint64>(1, maxFileBytes)), m_freeBytesMin(freeBytesMin)
{
    qRegisterMetaType<LogBatch>("LogBatch");
}

LogFileWriter::~LogFileWriter()
{
    closeFiles();
}

QFile *LogFileWriter::fileFor(const QString &path)
{
    QFile *file = m_files.value(path);
    if (file && file->isOpen())
        return file;
    if (!file) {
        file = new QFile(path, this);
        m_files.insert(path, file);
    }
    QDir().mkpath(QFileInfo(path).path());
    // Each batch is one write per file; the data is with the system as soon as the batch is done.
    if (!file->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        ++m_errors;
        qDebug().noquote() << QStringLiteral("Can't open log file: ") + path;
        return nullptr;
    }
    return file;
}

QString LogFileWriter::previousFileName(const QString &path)
{
    const int dot = path.lastIndexOf(QLatin1Char('.'));
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return dot > slash ? path.left(dot) + QStringLiteral("_old") + path.mid(dot) : path + QStringLiteral("_old");
}

QFile *LogFileWriter::beginAnew(QFile *file)
{
    const QString path = file->fileName();
    file->close();
    QFile::remove(previousFileName(path));
    if (!QFile::rename(path, previousFileName(path)))
        QFile::remove(path);
    return fileFor(path);
}

bool LogFileWriter::roomOnVolume(const QString &directory, qint64 bytes)
{
    const DiskSpace space = DiskSpaceChecker::queryVolume(directory);
    const bool room = space.valid && space.available - bytes >= m_freeBytesMin;
    if (room == m_volumeFull) {
        m_volumeFull = !room;
        qDebug().noquote() << (room ? QStringLiteral("Communication logs written again to ")
                                    : QStringLiteral("Communication logs stopped, device nearly full: "))
                                  + directory;
    }
    return room;
}

void LogFileWriter::writeBatch(LogBatch batch)
{
    qint64 batchBytes = 0;
    for (const auto &entry : qAsConst(batch.files))
        batchBytes += qMin<qint64>(entry.second.size(), m_maxFileBytes);
    if (!roomOnVolume(batch.directory, batchBytes)) {
        for (const auto &entry : qAsConst(batch.files))
            m_dropped += entry.second.size();
        return;
    }
    qint64 written = 0;
    for (const auto &entry : qAsConst(batch.files)) {
        QFile *file = fileFor(batch.directory + QLatin1Char('/') + entry.first);
        if (!file)
            continue;
        QByteArray lines = entry.second;
        if (lines.size() > m_maxFileBytes) {
            // More than a whole file at once: the newest lines are kept, from a line start on.
            const int cut = lines.indexOf('\n', lines.size() - int(m_maxFileBytes) - 1) + 1;
            m_dropped += cut > 0 ? cut : lines.size();
            lines = cut > 0 ? lines.mid(cut) : QByteArray();
        }
        if (file->size() + lines.size() > m_maxFileBytes && !(file = beginAnew(file)))
            continue;
        if (file->write(lines) != lines.size()) {
            ++m_errors;
            qDebug().noquote() << QStringLiteral("Log write failed: ") + file->fileName();
            file->close();
            continue;
        }
        written += lines.size();
    }
    m_bytes += written;
}

void LogFileWriter::flushFiles()
{
    for (QFile *file : qAsConst(m_files)) {
        // Down to the medium: a stick pulled after a flush keeps what was logged until then.
        if (file->isOpen() && ::fdatasync(file->handle()) != 0) {
            ++m_errors;
            file->close();
        }
    }
}

void LogFileWriter::closeFiles()
{
    qDeleteAll(m_files);
    m_files.clear();
}
