#pragma once

#include <QObject>
#include <QString>
#include <QVector>

class QTimer;

// The three auxiliary lines of the unit on the kernel's GPIO interface:
//   E24 (GPIO 152) drives the auxiliary output 1, E23 (GPIO 151) the auxiliary output 2,
//   D18 (GPIO 114) reads the auxiliary input 4.
// The input is read every poll period; its changes are reported once the lines have settled after
// start-up. An output can also be made to pulse (on/off times) for an external lamp or horn.
// Without a GPIO interface (a desktop) the lines stay idle: outputs off, input inactive.
class GpioContainer : public QObject
{
    Q_OBJECT
public:
    enum Line { AuxOutput1, AuxOutput2, AuxInput4 };

    struct GpioLine
    {
        QString gpioNumber;
        QString pinLabel;
        QString edge;
        bool enabled;
        bool isOutput;
    };

    struct Timing
    {
        int inputPollMsecs = 500;
        int pulseOnMsecs = 600;
        int pulseOffMsecs = 400;
        int startupSettleMsecs = 7000;
    };

    explicit GpioContainer(QObject *parent = nullptr);

    const QVector<GpioLine> &lines() const { return m_lines; }
    void setTiming(const Timing &timing) { m_timing = timing; }
    Timing timing() const { return m_timing; }

    // Exports and configures the enabled lines and starts reading the input. True when the host has
    // no GPIO interface (nothing to set up) or every line was set up.
    bool init();
    bool isAvailable() const { return m_available; }

    bool outputState(Line line) const;
    bool inputState() const { return m_inputState; }

    static QString gpioRoot();

public slots:
    void setOutput(GpioContainer::Line line, bool on);
    void setOutputPulsing(GpioContainer::Line line, bool pulsing);

signals:
    void signalAuxInterrupt(QString source, bool new_state);

private slots:
    void pollInput();
    void pulseStep();

private:
    QString lineFile(const GpioLine &line, const char *attribute) const;
    bool setUpLine(const GpioLine &line);
    void writeOutput(Line line, bool on);
    void restartPulseTimer();

    QVector<GpioLine> m_lines;
    Timing m_timing;
    QTimer *m_pollTimer;
    QTimer *m_pulseTimer;
    bool m_available = false;
    // The first read only learns the input's state; changes are reported from then on.
    bool m_firstInputRead = true;
    bool m_inputState = false;
    bool m_outputs[2] = {false, false};
    bool m_pulsing[2] = {false, false};
    bool m_pulsePhaseOn = false;
    qint64 m_settledAtMsecs = 0;
};

Q_DECLARE_METATYPE(GpioContainer::Line)
