#pragma once

#include "historypoint.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <array>

class HistoryFileController;
class HistoryLogger;
class LongTermLogger;

// The depth history of both channels: takes every tenth display record of a channel, keeps it in
// that channel's HistoryLogger, feeds the long-term logger, and fetches the history files that the
// junction box publishes, accepting a fetched file only when its header is good.
class HistoryLoggerContainer : public QObject
{
    Q_OBJECT
public:
    // historyDirectory holds the channels' own files; downloads go to its "wget" folder.
    explicit HistoryLoggerContainer(const QString &historyDirectory, QObject *parent = nullptr);

    HistoryLogger *logger(int channel) const;
    HistoryFileController *fileController() const { return m_fileController; }
    LongTermLogger *longTermLogger() const { return m_longTerm; }
    bool isFileDownloadEnabled() const { return m_downloadEnabled; }
    int ordinalNumber(int channel) const { return channel == 1 ? m_ordinal[1] : m_ordinal[0]; }
    qint64 badRecords() const { return m_badRecords; }
    SignalProperties signalProperties(int channel) const { return m_signal.at(size_t(channel & 1)); }
    static QString webRoot();

public slots:
    void logHistoryDataSlot(EchoRecordInfo data, int channel);
    void disableFileDownload();
    void enableFileDownload();
    // The junction box's address (an optional ":port" follows for a web server elsewhere).
    void setJunctionBoxAddress(QString ip);
    void scheduleFilesDownload();
    // file_id 0 is the full file, 1 the short one.
    void downloadFile(int channel, int file_id);
    // "LongTermLogging": which channels go to the long-term log.
    void setLongTermLogging(int v);
    // Stamped on the channel's following history points.
    void setSignalProperties(int channel, SignalProperties sig_props);
    // Junction box role: links the channel's files into the web root "/var/www/" under their
    // published names ("ln -sf") and makes them readable to the web server ("chmod 664").
    void publishForDownload(int channel);

signals:
    void fileReadyForDownload(int channel);
    // A point of the channel is about to be kept without knowing the signal it was measured with.
    void requestSignalProperties(int channel);

private:
    void readFromFile(int channel, bool shortFile = false);
    void setOrdinalNumber(int channel, int num);

    std::array<HistoryLogger *, 2> m_loggers;
    HistoryFileController *m_fileController;
    LongTermLogger *m_longTerm;
    QString m_ip;
    bool m_downloadEnabled = true;
    std::array<int, 2> m_ordinal{{0, 0}};
    std::array<SignalProperties, 2> m_signal;
    qint64 m_badRecords = 0;
    int m_longTermChannels = 0;
};
