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
//
// What the logs take on the device is bounded, however much arrives: a file that a batch would take
// past the largest file size is renamed to its previous-file name ("NMEA_UDP_old.txt", replacing the
// one before) and begun anew, so each log keeps at most twice that size; and no batch is written
// that would leave less than the device's free minimum on its volume (the minimum below which the
// logging device counts as full). Lines that are not written are counted.
class LogFileWriter : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 DefaultMaxFileBytes = 2 * 1024 * 1024;
    static const qint64 DefaultFreeBytesMin;

    explicit LogFileWriter(QObject *parent = nullptr, qint64 maxFileBytes = DefaultMaxFileBytes,
                           qint64 freeBytesMin = DefaultFreeBytesMin);
    ~LogFileWriter() override;

    // "NMEA_UDP.txt" -> "NMEA_UDP_old.txt": where a full log goes when its file begins anew.
    static QString previousFileName(const QString &path);

    qint64 maxFileBytes() const { return m_maxFileBytes; }
    qint64 bytesWritten() const { return m_bytes; }
    qint64 bytesDropped() const { return m_dropped; }
    int writeErrors() const { return m_errors; }

public slots:
    void writeBatch(LogBatch batch);
    void flushFiles();
    void closeFiles();

private:
    QFile *fileFor(const QString &path);
    QFile *beginAnew(QFile *file);
    bool roomOnVolume(const QString &directory, qint64 bytes);

    const qint64 m_maxFileBytes;
    const qint64 m_freeBytesMin;
    QHash<QString, QFile *> m_files;
    qint64 m_bytes = 0;
    qint64 m_dropped = 0;
    int m_errors = 0;
    bool m_volumeFull = false;
};
