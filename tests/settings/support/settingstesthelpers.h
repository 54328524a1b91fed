#pragma once

#include "esalerts.h"
#include "escommunicationinformation.h"
#include "esdata.h"
#include "eslocalsetup.h"
#include "esruntime.h"
#include "essetup.h"
#include "markclass.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <functional>
#include <utility>
#include <memory>

// A settings folder of its own for each test, so files never leak between cases; the data object
// made on it brings all settings trees.
struct SettingsSandbox
{
    SettingsSandbox() { QDir().mkpath(directory()); }

    QString directory() const { return dir.path() + QStringLiteral("/Setup_Files/KVE 420/"); }
    QByteArray readBytes(const QString &name) const
    {
        QFile f(directory() + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString readFile(const QString &name) const { return QString::fromUtf8(readBytes(name)); }
    void writeFile(const QString &name, const QByteArray &content) const
    {
        QFile f(directory() + name);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(content);
    }
    std::unique_ptr<ESData> makeData() const { return std::make_unique<ESData>(directory()); }

    QTemporaryDir dir;
};

// The text a programming error throws from the call; empty when nothing is thrown.
inline QByteArray thrownError(const std::function<void()> &call)
{
    try {
        call();
    } catch (const char *error) {
        return QByteArray(error);
    }
    return QByteArray();
}

// Collects the debug lines written while it lives (instead of printing them).
class DebugCapture
{
public:
    DebugCapture() { s_lines.clear(); m_previous = qInstallMessageHandler(&DebugCapture::handle); }
    ~DebugCapture() { qInstallMessageHandler(m_previous); }
    QStringList take() { return std::exchange(s_lines, QStringList()); }

private:
    static void handle(QtMsgType, const QMessageLogContext &, const QString &text) { s_lines << text; }
    static inline QStringList s_lines;
    QtMessageHandler m_previous;
};

// The first argument of every emission a spy has recorded, in order.
inline QVariantList firstArguments(const QSignalSpy &spy)
{
    QVariantList arguments;
    for (const QVariantList &emission : spy)
        arguments << emission.value(0);
    return arguments;
}
