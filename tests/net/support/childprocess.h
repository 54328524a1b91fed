#pragma once

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QtTest>

// A program run as a child process in its own folder; its event lines are collected as they
// come, its error output goes to "stderr.txt" there, and both are shown when the test fails.
class ChildProcess
{
public:
    ChildProcess(const QString &program, const QStringList &args, const QString &dir) : m_dir(dir)
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
    ~ChildProcess()
    {
        stop();
        QFile err(m_dir + QStringLiteral("/stderr.txt"));
        if (QTest::currentTestFailed() && err.open(QIODevice::ReadOnly))
            qDebug().noquote() << m_lines.join(QLatin1Char('\n')) << "\n" << err.readAll();
    }
    void stop()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    bool running() const { return m_process.state() == QProcess::Running; }
    int count(const QString &part) const { return m_lines.filter(part).size(); }
    int indexOf(const QString &part, int from = 0) const
    {
        return m_lines.indexOf(QRegularExpression(".*" + QRegularExpression::escape(part) + ".*"), from);
    }

private:
    QProcess m_process;
    QString m_dir;
    QStringList m_lines;
};
