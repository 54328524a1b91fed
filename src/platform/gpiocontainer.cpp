#include "gpiocontainer.h"

#include "rootpath.h"
#include "sysfsfile.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

namespace {
const char *const kGpioRoot = "/sys/class/gpio";
}

GpioContainer::GpioContainer(QObject *parent)
    : QObject(parent)
    , m_lines({
          {QStringLiteral("152"), QStringLiteral("E24"), QStringLiteral("both"), true, true},
          {QStringLiteral("151"), QStringLiteral("E23"), QStringLiteral("both"), true, true},
          {QStringLiteral("114"), QStringLiteral("D18"), QStringLiteral("both"), true, false},
      })
    , m_pollTimer(new QTimer(this))
    , m_pulseTimer(new QTimer(this))
{
    m_pulseTimer->setSingleShot(true);
    connect(m_pollTimer, &QTimer::timeout, this, &GpioContainer::pollInput);
    connect(m_pulseTimer, &QTimer::timeout, this, &GpioContainer::pulseStep);
}

QString GpioContainer::gpioRoot()
{
    return kve::rootPath(QLatin1String(kGpioRoot));
}

QString GpioContainer::lineFile(const GpioLine &line, const char *attribute) const
{
    return gpioRoot() + QStringLiteral("/gpio") + line.gpioNumber + QLatin1Char('/')
        + QLatin1String(attribute);
}

bool GpioContainer::init()
{
    m_available = QFileInfo(gpioRoot() + QStringLiteral("/export")).exists();
    if (!m_available)
        return true;

    bool ok = true;
    for (const GpioLine &line : qAsConst(m_lines)) {
        if (line.enabled && !setUpLine(line)) {
            qDebug().noquote() << "GPIO set-up failed: " + line.gpioNumber + " " + line.pinLabel;
            ok = false;
        }
    }
    m_firstInputRead = true;
    m_settledAtMsecs = QDateTime::currentMSecsSinceEpoch() + m_timing.startupSettleMsecs;
    if (m_lines.at(AuxInput4).enabled)
        m_pollTimer->start(m_timing.inputPollMsecs);
    return ok;
}

bool GpioContainer::setUpLine(const GpioLine &line)
{
    if (!QFileInfo(gpioRoot() + QStringLiteral("/gpio") + line.gpioNumber).isDir()
        && !kve::sysfs::writeValue(gpioRoot() + QStringLiteral("/export"), line.gpioNumber))
        return false;
    if (line.isOutput) {
        return kve::sysfs::writeValue(lineFile(line, "direction"), QStringLiteral("out"))
            && kve::sysfs::writeValue(lineFile(line, "value"), QStringLiteral("0"));
    }
    return kve::sysfs::writeValue(lineFile(line, "direction"), QStringLiteral("in"))
        && kve::sysfs::writeValue(lineFile(line, "edge"), line.edge);
}

bool GpioContainer::outputState(Line line) const
{
    return line == AuxInput4 ? false : m_outputs[line];
}

void GpioContainer::setOutput(Line line, bool on)
{
    if (line == AuxInput4) {
        qDebug().noquote() << "GPIO line is an input: " + m_lines.at(line).pinLabel;
        return;
    }
    m_pulsing[line] = false;
    writeOutput(line, on);
}

void GpioContainer::setOutputPulsing(Line line, bool pulsing)
{
    if (line == AuxInput4)
        return;
    if (m_pulsing[line] == pulsing)
        return;
    m_pulsing[line] = pulsing;
    if (pulsing) {
        writeOutput(line, m_pulseTimer->isActive() ? m_pulsePhaseOn : true);
        if (!m_pulseTimer->isActive()) {
            m_pulsePhaseOn = true;
            restartPulseTimer();
        }
    } else {
        writeOutput(line, false);
    }
}

void GpioContainer::pulseStep()
{
    if (!m_pulsing[AuxOutput1] && !m_pulsing[AuxOutput2])
        return;
    m_pulsePhaseOn = !m_pulsePhaseOn;
    for (Line line : {AuxOutput1, AuxOutput2}) {
        if (m_pulsing[line])
            writeOutput(line, m_pulsePhaseOn);
    }
    restartPulseTimer();
}

void GpioContainer::restartPulseTimer()
{
    m_pulseTimer->start(m_pulsePhaseOn ? m_timing.pulseOnMsecs : m_timing.pulseOffMsecs);
}

void GpioContainer::writeOutput(Line line, bool on)
{
    m_outputs[line] = on;
    const GpioLine &gpio = m_lines.at(line);
    if (m_available && gpio.enabled)
        kve::sysfs::writeValue(lineFile(gpio, "value"), on ? QStringLiteral("1") : QStringLiteral("0"));
}

void GpioContainer::pollInput()
{
    const GpioLine &gpio = m_lines.at(AuxInput4);
    const QString text = kve::sysfs::readValue(lineFile(gpio, "value"));
    if (text.isEmpty())
        return;
    const bool state = text != QLatin1String("0");
    if (m_firstInputRead) {
        m_firstInputRead = false;
        m_inputState = state;
        return;
    }
    if (state == m_inputState)
        return;
    // While the lines settle after start-up a change only updates the state.
    m_inputState = state;
    if (QDateTime::currentMSecsSinceEpoch() >= m_settledAtMsecs)
        emit signalAuxInterrupt(gpio.pinLabel, state);
}
