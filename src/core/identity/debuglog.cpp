#include "debuglog.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

DebugLog::DebugLog(Sink sink, Clock clock) : m_sink(std::move(sink)), m_clock(std::move(clock)) {}

qint64 DebugLog::steadyMsecs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

QString DebugLog::labelOf(const QString &line)
{
    constexpr int kLongestLabel = 48;
    int end = 0;
    while (end < line.size() && end < kLongestLabel && line.at(end) != QLatin1Char(':')
           && !line.at(end).isDigit())
        ++end;
    return line.left(end).trimmed();
}

void DebugLog::write(const QString &source, const QString &line)
{
    QMutexLocker lock(&m_mutex);
    const qint64 now = m_clock();
    catchUp(now);
    if (m_hasLast && m_last.line == line) {
        ++m_last.repeats;
        return;
    }
    endRepeats();
    if (emitWithinLimits(source, line)) {
        m_last = Last{now, 0, source, line};
        m_hasLast = true;
    }
}

void DebugLog::flush()
{
    QMutexLocker lock(&m_mutex);
    catchUp(m_clock());
}

void DebugLog::catchUp(qint64 now)
{
    const qint64 second = now / 1000;
    if (second != m_second) {
        if (m_leftOutThisSecond > 0) {
            std::vector<std::pair<int, QString>> busiest;
            for (auto it = m_sources.cbegin(); it != m_sources.cend(); ++it) {
                if (it->leftOut > 0)
                    busiest.emplace_back(it->leftOut, it.key());
            }
            std::sort(busiest.begin(), busiest.end(),
                      [](const auto &a, const auto &b) { return a.first > b.first; });
            QStringList most;
            for (size_t i = 0; i < busiest.size() && i < 3; ++i)
                most << busiest[i].second + QStringLiteral(" (") + QString::number(busiest[i].first) + QLatin1Char(')');
            m_sink(QStringLiteral("Debug log: ") + QString::number(m_leftOutThisSecond)
                   + QStringLiteral(" lines left out in one second, most from ") + most.join(QStringLiteral(", ")));
        }
        m_second = second;
        m_writtenThisSecond = 0;
        m_leftOutThisSecond = 0;
        m_sources.clear();
    }
    if (m_hasLast && now - m_last.firstMsecs >= kRepeatWindowMsecs)
        endRepeats();
}

void DebugLog::endRepeats()
{
    if (!m_hasLast)
        return;
    m_hasLast = false;
    if (m_last.repeats > 0) {
        // Put together without arg(): the line comes from received text and may hold "%1".
        emitWithinLimits(m_last.source, m_last.line + QStringLiteral(" (repeated ")
                                            + QString::number(m_last.repeats) + QStringLiteral(" times)"));
    }
}

bool DebugLog::emitWithinLimits(const QString &source, const QString &line)
{
    // A flood of ever new labels shares one count rather than growing the table.
    const QString key = m_sources.size() < kMostSourcesTracked || m_sources.contains(source)
                            ? source
                            : QStringLiteral("(other sources)");
    SourceCount &count = m_sources[key];
    const bool quiet = count.written < kQuietSourceLines;
    const int budget = quiet ? kLinesPerSecond : kLinesPerSecond - kLinesKeptForQuietSources;
    if (count.written < kLinesPerSourcePerSecond && m_writtenThisSecond < budget) {
        ++count.written;
        ++m_writtenThisSecond;
        m_sink(line);
        return true;
    }
    ++count.leftOut;
    ++m_leftOutThisSecond;
    return false;
}

namespace {

void writeToStandardError(const QString &line)
{
    const QByteArray bytes = line.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

// Qt's message handler is one plain function for the whole process, so the log it feeds is too.
DebugLog &processLog()
{
    // Never destroyed: threads may still write while the program's statics go away.
    static DebugLog *log = new DebugLog(writeToStandardError);
    return *log;
}

void handleMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    // A message raised while this thread is inside the log would wait for its own lock.
    thread_local bool inside = false;
    const QString line = qFormatLogMessage(type, context, message);
    if (type == QtFatalMsg || inside) {
        writeToStandardError(line);
        return;
    }
    inside = true;
    processLog().write(DebugLog::labelOf(message), line);
    inside = false;
}

} // namespace

void DebugLog::install(QCoreApplication *app)
{
    processLog();
    qInstallMessageHandler(handleMessage);
    auto *timer = new QTimer(app);
    QObject::connect(timer, &QTimer::timeout, [] { processLog().flush(); });
    timer->start(1000);
}
