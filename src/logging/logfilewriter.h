#pragma once

#include <QByteArray>
#include <QHash>
#include <QMetaType>
#include <QObject>
#include <QPair>
#include <QString>
#include <QVector>

class QFile;

// Lines gathered for some log files of one folder, handed to the writer in one go.
struct LogBatch
{
    QString directory;
    QVector<QPair<QString, QByteArray>> files; // file name, lines
};

Q_DECLARE_METATYPE(LogBatch)

// Appends batches of log lines to their files and syncs them to the medium, keeping the files open between
// batches. Meant to live in a worker thread so that a slow medium never stalls the screens.
class LogFileWriter : public QObject
{
    Q_OBJECT
public:
    explicit LogFileWriter(QObject *parent = nullptr);
    ~LogFileWriter() override;

    qint64 bytesWritten() const { return m_bytes; }
    int writeErrors() const { return m_errors; }

public slots:
    void writeBatch(LogBatch batch);
    void flushFiles();
    void closeFiles();

signals:
    void batchWritten(qint64 bytes);
    void flushed();

private:
    QFile *fileFor(const QString &path);
    QHash<QString, QFile *> m_files;
    qint64 m_bytes = 0;
    int m_errors = 0;
};
