#pragma once

#include <QProcess>
#include <QStringList>

// A program run as a child process in its own folder; its event lines are collected as they
// come, its error output goes to "stderr.txt" there, and both are shown when the test fails.
class ChildProcess
{
public:
    ChildProcess(const QString &program, const QStringList &args, const QString &dir);
    ~ChildProcess();
    void stop();
    bool running() const { return m_process.state() == QProcess::Running; }
    int count(const QString &part) const;
    int indexOf(const QString &part, int from = 0) const;

private:
    QProcess m_process;
    QString m_dir;
    QStringList m_lines;
};
