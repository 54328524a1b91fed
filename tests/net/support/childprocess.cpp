#include "childprocess.h"

#include <QFile>
#include <QtTest>

ChildProcess::ChildProcess(const QString &program, const QStringList &args, const QString &dir) : m_dir(dir)
{
    QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] {
        while (m_process.canReadLine())
            m_lines.append(QString::fromLocal8Bit(m_process.readLine()).trimmed());
    });
    m_process.setWorkingDirectory(dir);
    m_process.setStandardErrorFile(dir + QStringLiteral("/stderr.txt"));
    m_process.start(program, args);
    m_process.waitForStarted(5000);
}

ChildProcess::~ChildProcess()
{
    stop();
    if (QTest::currentTestFailed() || qEnvironmentVariableIsSet("KVE_CHILD_TRACE")) {
        QFile err(m_dir + QStringLiteral("/stderr.txt"));
        err.open(QIODevice::ReadOnly);
        qDebug().noquote() << m_lines.join(QLatin1Char('\n')) << "\n" << err.readAll();
    }
}

void ChildProcess::stop()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

int ChildProcess::count(const QString &part) const
{
    return int(std::count_if(m_lines.cbegin(), m_lines.cend(), [&](const QString &l) { return l.contains(part); }));
}

int ChildProcess::indexOf(const QString &part, int from) const
{
    for (int i = from; i < m_lines.size(); ++i)
        if (m_lines.at(i).contains(part))
            return i;
    return -1;
}
