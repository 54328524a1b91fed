#pragma once

#include "supplyvoltages.h"

#include <QList>
#include <QObject>

#include <functional>

class BeepGenerator;
class Buzzer;
class DimmingController;
class GpioContainer;

// The unit's own hardware services, created at start-up: backlight, supply rails, auxiliary GPIO
// lines and the beeper. Services that belong to higher layers (serial loop test, storage devices)
// add their initialisation step here so that one start-up reports every hardware fault.
class Hardware : public QObject
{
    Q_OBJECT
public:
    using InitStep = std::function<bool()>;

    explicit Hardware(QObject *parent = nullptr);

    void addInitStep(const InitStep &step);

    // Reads the supply rails and initialises every service; on any failure the "Hardware init
    // failed" banner is written and start-up goes on. Returns whether all succeeded.
    bool init();

    static QStringList failureBanner();

    DimmingController *dimmingController() const { return m_dimming; }
    GpioContainer *gpioContainer() const { return m_gpio; }
    BeepGenerator *beepGenerator() const { return m_beeper; }
    Buzzer *buzzer() const { return m_buzzer; }
    const SupplyVoltages &supplyVoltages() const { return m_supply; }

private:
    DimmingController *m_dimming;
    GpioContainer *m_gpio;
    BeepGenerator *m_beeper;
    Buzzer *m_buzzer;
    SupplyVoltages m_supply;
    QList<InitStep> m_extraSteps;
};
