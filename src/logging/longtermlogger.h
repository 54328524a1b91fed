#pragma once

#include "historypoint.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVector>

#include <limits>

// Writes a compact long-term record series per channel to the logging device, below
// "/KVE_Long_Term_History": one record per history point with its time, the depths of the point
// and the current navigation values and depths of the other channel, read by name from the data
// objects it is given. A value that is missing, invalid or unreadable is stored as the lowest float.
class LongTermLogger : public QObject
{
    Q_OBJECT
public:
    static constexpr float MissingValue = std::numeric_limits<float>::lowest();
    static constexpr qint64 DefaultMaxFileBytes = 10 * 1024 * 1024;

    explicit LongTermLogger(QObject *parent = nullptr);

    static const QStringList &valueNames();
    // Data objects asked for the values by property name; the first that has the name answers.
    void setValueSources(const QList<QObject *> &sources);
    // The values of one record as they would be written now.
    QVector<float> currentValues() const;
    // The values of a point's record: the current ones with the depths of the point's channel
    // taken from the point itself.
    static QVector<float> valuesFor(const BasicHistoryPoint &point, QVector<float> current);

    void setMaxFileBytes(qint64 bytes) { m_maxFileBytes = bytes; }
    QString directory() const { return m_dir; }
    QString currentFile(int channel) const;
    uint newestNumber(int channel) const { return m_numbers.value(channel, 0); }
    bool isRecording() const { return m_possible && m_recordingOn && !m_dir.isEmpty(); }

    // One record: qint64 milliseconds since the epoch (UTC), then the values as single floats,
    // big-endian.
    static constexpr int RecordBytes = 8 + 13 * 4;

public slots:
    void recordToFile(QList<BasicHistoryPoint> points);
    void setDevice(bool logging_possible, bool reserved_space_available, QString dev_path);
    void setRecordingOn(bool recording_on);

signals:
    void newOrdinalNumber(uint num);

private:
    float valueOf(const QString &name) const;
    uint readNewestNumber(int channel) const;
    void writeNewestNumber(int channel, uint number) const;
    void takeNewNumber(int channel);

    QList<QPointer<QObject>> m_sources;
    QString m_dir;
    bool m_possible = false;
    bool m_recordingOn = false;
    qint64 m_maxFileBytes = DefaultMaxFileBytes;
    QVector<uint> m_numbers = QVector<uint>(2, 0);
    QVector<bool> m_numbersRead = QVector<bool>(2, false);
};
