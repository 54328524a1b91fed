#include "logfilewriter.h"

#include <QDebug>
#include <QDir>
#include <QFile>

#include <unistd.h>

LogFileWriter::LogFileWriter(QObject *parent) : QObject(parent)
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

void LogFileWriter::writeBatch(LogBatch batch)
{
    qint64 written = 0;
    for (const auto &entry : qAsConst(batch.files)) {
        QFile *file = fileFor(batch.directory + QLatin1Char('/') + entry.first);
        if (!file)
            continue;
        if (file->write(entry.second) != entry.second.size()) {
            ++m_errors;
            qDebug().noquote() << QStringLiteral("Log write failed: ") + file->fileName();
            file->close();
            continue;
        }
        written += entry.second.size();
    }
    m_bytes += written;
    emit batchWritten(written);
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
    emit flushed();
}

void LogFileWriter::closeFiles()
{
    qDeleteAll(m_files);
    m_files.clear();
}
