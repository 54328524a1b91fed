#include "historyloggercontainer.h"

#include "historyfile.h"
#include "historyfilecontroller.h"
#include "historylogger.h"
#include "longtermlogger.h"
#include "rootpath.h"
#include "systeminformation.h"

#include <QDebug>
#include <QHostAddress>
#include <QProcess>

HistoryLoggerContainer::HistoryLoggerContainer(const QString &historyDirectory, QObject *parent)
    : QObject(parent)
    , m_fileController(new HistoryFileController(historyDirectory + QStringLiteral("/wget"), this))
    , m_longTerm(new LongTermLogger(this))
{
    for (int ch = 0; ch < 2; ++ch) {
        m_loggers[ch] = new HistoryLogger(ch, historyDirectory, this);
        connect(m_loggers[ch], &HistoryLogger::dataForLongTermReady, this, [this, ch](QList<BasicHistoryPoint> points) {
            if (m_longTermChannels & (1 << ch))
                m_longTerm->recordToFile(points);
        });
        connect(m_loggers[ch], &HistoryLogger::fileSaved, this, &HistoryLoggerContainer::fileReadyForDownload);
        if (SystemInformation::instance().isSoftwareJb())
            connect(m_loggers[ch], &HistoryLogger::fileSaved, this, &HistoryLoggerContainer::publishForDownload);
    }
    connect(m_fileController, &HistoryFileController::newFileAvailable, this,
            [this](int channel) { readFromFile(channel); });
    connect(m_fileController, &HistoryFileController::newShortFileAvailable, this,
            [this](int channel) { readFromFile(channel, true); });
    connect(m_longTerm, &LongTermLogger::newOrdinalNumber, this, [this](uint num) {
        // The long-term logger numbers each channel on its own; keep what it last announced.
        for (int ch = 0; ch < 2; ++ch) {
            if (m_longTerm->newestNumber(ch) == num)
                setOrdinalNumber(ch, int(num));
        }
    });
}

HistoryLogger *HistoryLoggerContainer::logger(int channel) const
{
    return channel == 0 || channel == 1 ? m_loggers[channel] : nullptr;
}

void HistoryLoggerContainer::logHistoryDataSlot(EchoRecordInfo data, int channel)
{
    HistoryLogger *target = logger(channel);
    int bad = 0;
    BasicHistoryPoint point = BasicHistoryPoint::fromRecord(data, channel, &bad);
    if (!target || !point.time.isValid()) {
        ++m_badRecords;
        qDebug().noquote() << QStringLiteral("History record dropped: ") + data.values();
        return;
    }
    if (bad)
        ++m_badRecords;
    if (!m_signal[size_t(channel)].isKnown())
        emit requestSignalProperties(channel);   // answered at once by the owner, if it can
    point.setSignal(m_signal[size_t(channel)]);
    target->addHistoryData(point);
}

void HistoryLoggerContainer::disableFileDownload()
{
    m_downloadEnabled = false;
}

void HistoryLoggerContainer::enableFileDownload()
{
    m_downloadEnabled = true;
}

void HistoryLoggerContainer::setJunctionBoxAddress(QString ip)
{
    // Until the box has told its address the setting holds a placeholder: nothing to fetch from.
    const QHostAddress host(ip.section(QLatin1Char(':'), 0, 0));
    m_ip = host.protocol() == QAbstractSocket::IPv4Protocol ? ip : QString();
}

void HistoryLoggerContainer::scheduleFilesDownload()
{
    if (!m_downloadEnabled || m_ip.isEmpty())
        return;
    m_fileController->downloadFiles(m_ip);
}

void HistoryLoggerContainer::downloadFile(int channel, int file_id)
{
    if (!m_downloadEnabled || m_ip.isEmpty())
        return;
    if (file_id == 1)
        m_fileController->downloadShortFile(m_ip, channel);
    else
        m_fileController->downloadFile(m_ip, channel);
}

void HistoryLoggerContainer::setLongTermLogging(int v)
{
    // The choices None, Channel_1, Channel_2, Both_Ch are the channel bits 0 to 3.
    m_longTermChannels = v & 3;
    m_longTerm->setRecordingOn(m_longTermChannels != 0);
}

void HistoryLoggerContainer::setSignalProperties(int channel, SignalProperties sig_props)
{
    if (channel == 0 || channel == 1)
        m_signal[size_t(channel)] = sig_props;
}

void HistoryLoggerContainer::readFromFile(int channel, bool shortFile)
{
    HistoryLogger *target = logger(channel);
    if (!target)
        return;
    HistoryFile::Header header;
    QList<BasicHistoryPoint> points;
    const int result = HistoryFile::read(m_fileController->downloadedPath(channel, shortFile), &header, &points);
    if (result != HistoryFile::HeaderNone) {
        const QString words = HistoryFile::checkWords(result);
        qDebug().noquote() << (shortFile ? QStringLiteral("Short history file header error: ")
                                         : QStringLiteral("History file header error: "))
                                  + words;
        return;
    }
    qDebug() << "READ FROM FILE";
    for (BasicHistoryPoint &p : points)
        p.channel = channel;
    target->setHistory(points);
}

void HistoryLoggerContainer::setOrdinalNumber(int channel, int num)
{
    if (channel == 0 || channel == 1)
        m_ordinal[channel] = num;
}

QString HistoryLoggerContainer::webRoot()
{
    return kve::rootPath(QStringLiteral("/var/www"));
}

void HistoryLoggerContainer::publishForDownload(int channel)
{
    HistoryLogger *source = logger(channel);
    if (!source)
        return;
    for (bool shortFile : {false, true}) {
        const QString file = shortFile ? source->shortFilePath() : source->filePath();
        const QString link = webRoot() + QLatin1Char('/') + HistoryFileController::publishedName(channel, shortFile);
        QProcess::startDetached(QStringLiteral("ln"), {QStringLiteral("-sf"), file, link});
        QProcess::startDetached(QStringLiteral("chmod"), {QStringLiteral("664"), file});
    }
}
