#include "historyfilecontroller.h"

#include <QDebug>
#include <QDir>
#include <QFile>

HistoryFileController::HistoryFileController(const QString &downloadDirectory, QObject *parent)
    : QObject(parent), m_dir(downloadDirectory)
{
}

HistoryFileController::~HistoryFileController()
{
    for (const Job &job : qAsConst(m_running)) {
        job.process->disconnect(this);
        job.process->kill();
        job.process->waitForFinished(1000);
    }
}

QString HistoryFileController::publishedName(int channel, bool shortFile)
{
    return QStringLiteral("KVE_History_Ch%1").arg(channel + 1) + (shortFile ? QStringLiteral("_short") : QString());
}

QString HistoryFileController::downloadedPath(int channel, bool shortFile) const
{
    return m_dir + QLatin1Char('/') + publishedName(channel, shortFile);
}

void HistoryFileController::downloadFiles(QString ip)
{
    downloadFile(ip, 0);
    downloadFile(ip, 1);
}

void HistoryFileController::downloadFile(QString ip, int channel)
{
    downloadFile(ip, channel, false);
}

void HistoryFileController::downloadFile(QString ip, int channel, bool previous_download_failed)
{
    start(ip, channel, false, previous_download_failed);
}

void HistoryFileController::downloadShortFile(QString ip, int channel)
{
    start(ip, channel, true, false);
}

void HistoryFileController::start(const QString &ip, int channel, bool shortFile, bool retried)
{
    if (channel < 0 || channel > 1 || ip.isEmpty() || m_running.contains(channel))
        return;
    QDir().mkpath(m_dir);
    // wget would keep an older copy and save the new one under another name.
    QFile::remove(downloadedPath(channel, shortFile));

    auto *process = new QProcess(this);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // The junction box is on the unit's own network, never behind a proxy.
    for (const char *var : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY"})
        env.remove(QString::fromLatin1(var));
    process->setProcessEnvironment(env);
    Job job;
    job.process = process;
    job.ip = ip;
    job.shortFile = shortFile;
    job.retried = retried;
    m_running.insert(channel, job);
    connect(process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), this,
            [this, channel](int code, QProcess::ExitStatus status) { downloadFinished(channel, code, status); });
    connect(process, &QProcess::errorOccurred, this, [this, channel](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            downloadFinished(channel, -1, QProcess::CrashExit);
    });
    const QString url = QStringLiteral("http://") + ip + QLatin1Char('/') + publishedName(channel, shortFile);
    qDebug().noquote() << QStringLiteral("History download: ") + url;
    process->start(QStringLiteral("wget"), {QStringLiteral("-T10"), QStringLiteral("-P"), m_dir, url});
}

void HistoryFileController::downloadFinished(int channel, int exit_code, QProcess::ExitStatus exit_status)
{
    if (!m_running.contains(channel))
        return;
    const Job job = m_running.take(channel);
    job.process->deleteLater();
    const int code = exit_status == QProcess::NormalExit ? exit_code : (exit_code == 0 ? -1 : exit_code);
    qDebug().noquote() << QStringLiteral("DOWNLOAD FINISHED... EXIT CODE: ") + QString::number(code);
    if (code != 0) {
        qDebug().noquote() << QStringLiteral("History file not downloaded. Wget returned with an error code: ")
                                  + QString::number(code);
        if (!job.retried) {
            start(job.ip, channel, job.shortFile, true);
            return;
        }
        return;
    }
    if (job.shortFile)
        emit newShortFileAvailable(channel);
    else
        emit newFileAvailable(channel);
}
