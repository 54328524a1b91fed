#pragma once

#include <QHash>
#include <QObject>
#include <QProcess>
#include <QString>

// Fetches the history files that the junction box publishes on its web server, one "wget" process
// per file, into the download folder. A failed download is tried once more.
class HistoryFileController : public QObject
{
    Q_OBJECT
public:
    explicit HistoryFileController(const QString &downloadDirectory, QObject *parent = nullptr);
    ~HistoryFileController() override;

    QString downloadDirectory() const { return m_dir; }
    // "KVE_History_Ch1", "KVE_History_Ch2", with "_short" for the short files.
    static QString publishedName(int channel, bool shortFile = false);
    QString downloadedPath(int channel, bool shortFile = false) const;
    bool isDownloading(int channel) const { return m_running.contains(channel); }

public slots:
    void downloadFiles(QString ip);
    void downloadFile(QString ip, int channel, bool previous_download_failed);
    void downloadFile(QString ip, int channel);
    void downloadShortFile(QString ip, int channel);

signals:
    void newFileAvailable(int channel);
    void newShortFileAvailable(int channel);

private slots:
    void downloadFinished(int channel, int exit_code, QProcess::ExitStatus exit_status);

private:
    struct Job
    {
        QProcess *process = nullptr;
        QString ip;
        bool shortFile = false;
        bool retried = false;
    };
    void start(const QString &ip, int channel, bool shortFile, bool retried);

    QString m_dir;
    QHash<int, Job> m_running;
};
