#include "dimmingcontroller.h"

#include "rootpath.h"

#include <QDebug>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

namespace {
const char *const kBacklightFile = "/sys/class/backlight/backlight/brightness";
// Applying a value is a tiny shell write; a hung shell must not hold the screens for long.
const int kCommandTimeoutMsecs = 2000;

QString shellQuoted(const QString &path)
{
    if (!path.contains(QRegularExpression(QStringLiteral("[^A-Za-z0-9_./:+-]"))))
        return path;
    QString quoted = path;
    quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}
}

DimmingController::DimmingController(QObject *parent)
    : QObject(parent)
{
}

QString DimmingController::backlightFilePath()
{
    return kve::rootPath(QLatin1String(kBacklightFile));
}

QString DimmingController::backlightCommand(int value)
{
    return QStringLiteral("echo ") + QString::number(value) + QStringLiteral(" > ")
        + shellQuoted(backlightFilePath()) + QLatin1Char('\n');
}

bool DimmingController::init()
{
    m_brightness = m_chosen = InitialBrightness;
    return apply(m_brightness);
}

void DimmingController::setBrightness(int dimming)
{
    m_chosen = qBound(MinBrightness, dimming, MaxBrightness);
    if (!m_raised)
        show(m_chosen);
}

void DimmingController::raiseForAlarm(bool alarm_active)
{
    if (alarm_active == m_raised)
        return;
    m_raised = alarm_active;
    show(alarm_active ? MaxBrightness : m_chosen);
}

void DimmingController::show(int value)
{
    if (value == m_brightness)
        return;
    m_brightness = value;
    apply(value);
}

bool DimmingController::apply(int value) const
{
    // No backlight file: a host without the unit's panel, where brightness is only a number.
    if (!QFileInfo::exists(backlightFilePath()))
        return true;
    QProcess shell;
    shell.start(QStringLiteral("sh"), {QStringLiteral("-c"), backlightCommand(value)});
    if (!shell.waitForFinished(kCommandTimeoutMsecs)) {
        shell.kill();
        shell.waitForFinished();
        qDebug().noquote() << "Backlight command did not finish: " + backlightCommand(value).trimmed();
        return false;
    }
    if (shell.exitStatus() != QProcess::NormalExit || shell.exitCode() != 0) {
        qDebug().noquote() << "Backlight command failed: " + backlightCommand(value).trimmed();
        return false;
    }
    return true;
}
