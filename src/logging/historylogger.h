#pragma once

#include "historyfile.h"
#include "historypoint.h"

#include <QElapsedTimer>
#include <QFutureWatcher>
#include <QList>
#include <QObject>

// The depth history of one channel: the points of the last 24 hours in memory, each new point
// appended to the channel's history file "KVE_History_Ch<n>" at once, and the last 10 minutes
// rewritten now and then as the short companion "KVE_History_Ch<n>_short" on a pool thread.
class HistoryLogger : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 KeepSecs = 24 * 3600;   // the longest span of the history screen
    static constexpr qint64 ShortSecs = 10 * 60;
    static constexpr int ShortFileEveryPoints = 10;

    HistoryLogger(int channel, const QString &directory, QObject *parent = nullptr);
    ~HistoryLogger() override;

    int channel() const { return m_channel; }
    QString filePath() const;
    QString shortFilePath() const;
    const QList<BasicHistoryPoint> &points() const { return m_points; }
    // Points handed to the long-term logger in one go.
    void setLongTermBatchSize(int points) { m_batchSize = qMax(1, points); }

    // Replaces the history in memory, e.g. with a file fetched from the junction box.
    void setHistory(const QList<BasicHistoryPoint> &points);

public slots:
    void addHistoryData(BasicHistoryPoint point);
    // Rewrites the whole file now, and the short file at every point of the next 10 seconds, so a
    // download taken meanwhile has everything.
    void recordEntireHistoryToFile_forNext10Secs();

signals:
    void newHistoryPointSig(BasicHistoryPoint point);
    void completeHistoryChanged();
    void dataForLongTermReady(QList<BasicHistoryPoint> points);
    void fileSaved(int channel);

private slots:
    void fileSavingFinished();

private:
    void trim();
    void saveShortFile();

    int m_channel;
    QString m_directory;
    QList<BasicHistoryPoint> m_points;
    QList<BasicHistoryPoint> m_pendingLongTerm;
    HistoryFile::Appender m_appender;
    int m_batchSize = 1;
    int m_sinceShortSave = 0;
    QElapsedTimer m_entireWindow;
    QFutureWatcher<bool> m_saving;
    bool m_saveAgain = false;
};
