#include "beepgenerator.h"
#include "dimmingcontroller.h"
#include "gpiocontainer.h"
#include "hardware.h"
#include "supplyvoltages.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QStringList g_log;
void collect(QtMsgType, const QMessageLogContext &, const QString &msg)
{
    g_log << msg;
}

void writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
}

class TestHardware : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void brightnessIsClampedAndOnlyChangesSignal();
    void brightnessIsWrittenToTheBacklight();
    void backlightUnderAFolderWithBlanks();
    void noBacklightKeepsTheValueOnly();

    void supplyRailsFromIioInputs();

    void gpioLinesAreSetUpAndDriven();
    void gpioInputChangesAreReportedAfterSettling();
    void gpioIdleWithoutInterface();

    void beepPatternTiming();
    void beepPatternRestartRules();

    void initFailureWritesTheBanner();

private:
    QString fake(const QString &absolute) const { return m_root->path() + absolute; }
    QScopedPointer<QTemporaryDir> m_root;
};

void TestHardware::init()
{
    m_root.reset(new QTemporaryDir);
    QVERIFY(m_root->isValid());
    qputenv("KVE_ROOT", m_root->path().toLocal8Bit());
}

void TestHardware::cleanup()
{
    qunsetenv("KVE_ROOT");
    qInstallMessageHandler(nullptr);
}

void TestHardware::brightnessIsClampedAndOnlyChangesSignal()
{
    DimmingController dimming;
    QSignalSpy changed(&dimming, &DimmingController::brightnessChanged);
    QVERIFY(dimming.init());
    QCOMPARE(dimming.brightness(), 128);

    dimming.setBrightness(300);
    QCOMPARE(dimming.brightness(), 255);
    dimming.increaseBrightness();
    QCOMPARE(dimming.brightness(), 255);
    dimming.increaseBrightness(INT_MAX);
    QCOMPARE(dimming.brightness(), 255);
    dimming.setBrightness(-5);
    QCOMPARE(dimming.brightness(), 0);
    dimming.decreaseBrightness();
    dimming.decreaseBrightness(INT_MAX);
    QCOMPARE(dimming.brightness(), 0);
    dimming.increaseBrightness(10);
    dimming.decreaseBrightness(3);
    QCOMPARE(dimming.brightness(), 7);

    // init, 255, 0, 10, 7: clamped repeats of the same value are no change.
    QCOMPARE(changed.count(), 5);
    QCOMPARE(changed.last().at(0).toInt(), 7);
}

void TestHardware::brightnessIsWrittenToTheBacklight()
{
    const QString file = fake("/sys/class/backlight/backlight/brightness");
    writeFile(file, "0\n");
    QCOMPARE(DimmingController::backlightCommand(42),
             "echo 42 > " + file + "\n");

    DimmingController dimming;
    QVERIFY(dimming.init());
    QCOMPARE(readFile(file), QByteArray("128\n"));
    dimming.setBrightness(1000);
    QCOMPARE(readFile(file), QByteArray("255\n"));
    dimming.decreaseBrightness(55);
    QCOMPARE(readFile(file), QByteArray("200\n"));

    qunsetenv("KVE_ROOT");
    QCOMPARE(DimmingController::backlightCommand(128),
             QString("echo 128 > /sys/class/backlight/backlight/brightness\n"));
}

void TestHardware::backlightUnderAFolderWithBlanks()
{
    const QString root = m_root->path() + "/desk top's";
    qputenv("KVE_ROOT", root.toLocal8Bit());
    const QString file = root + "/sys/class/backlight/backlight/brightness";
    writeFile(file, "0\n");
    DimmingController dimming;
    QVERIFY(dimming.init());
    dimming.setBrightness(77);
    QCOMPARE(readFile(file), QByteArray("77\n"));
}

void TestHardware::noBacklightKeepsTheValueOnly()
{
    DimmingController dimming;
    QVERIFY(dimming.init());
    dimming.setBrightness(12);
    QCOMPARE(dimming.brightness(), 12);
    QVERIFY(!QFile::exists(fake("/sys/class/backlight/backlight/brightness")));
}

void TestHardware::supplyRailsFromIioInputs()
{
    const QString iio = fake("/sys/bus/iio/devices/iio:device0/");
    writeFile(iio + "in_voltage11_raw", "2000\n");
    writeFile(iio + "in_voltage10_raw", "3100");
    writeFile(iio + "in_voltage6_raw", "not a number\n");

    const double lsb = 3.3 / 4095;
    QCOMPARE(SupplyVoltages::read(SupplyVoltages::Supply24V), 2000 * lsb * 12.020408);
    QCOMPARE(SupplyVoltages::read(SupplyVoltages::Supply5V), 3100 * lsb * 2.0);
    QCOMPARE(SupplyVoltages::read(SupplyVoltages::Supply3V3), 0.0);
    QVERIFY(qAbs(SupplyVoltages::read(SupplyVoltages::Supply24V) - 19.3736) < 0.001);

    writeFile(iio + "in_voltage6_raw", "3000");
    SupplyVoltages rails;
    rails.readAll();
    QVERIFY(qAbs(rails.voltage(SupplyVoltages::Supply3V3) - 3.2193) < 0.001);
    QCOMPARE(rails.voltage(SupplyVoltages::Supply5V), 3100 * lsb * 2.0);

    QFile::remove(iio + "in_voltage11_raw");
    QCOMPARE(SupplyVoltages::read(SupplyVoltages::Supply24V), 0.0);
}

void TestHardware::gpioLinesAreSetUpAndDriven()
{
    const QString gpio = fake("/sys/class/gpio/");
    writeFile(gpio + "export", "");
    // The kernel would create these on export; the outputs' folders exist already, the input's not.
    for (const char *n : {"152", "151"})
        QDir().mkpath(gpio + "gpio" + n);

    {
        // Exported, but no line appeared: a hardware fault.
        GpioContainer lines;
        QVERIFY(!lines.init());
        QVERIFY(lines.isAvailable());
        QCOMPARE(readFile(gpio + "export"), QByteArray("114"));
    }
    QDir().mkpath(gpio + "gpio114");
    writeFile(gpio + "export", "");
    GpioContainer lines;
    QVERIFY(lines.init());
    QCOMPARE(readFile(gpio + "export"), QByteArray(""));
    QCOMPARE(readFile(gpio + "gpio152/direction"), QByteArray("out"));
    QCOMPARE(readFile(gpio + "gpio151/direction"), QByteArray("out"));
    QCOMPARE(readFile(gpio + "gpio152/value"), QByteArray("0"));

    lines.setOutput(GpioContainer::AuxOutput1, true);
    QCOMPARE(readFile(gpio + "gpio152/value"), QByteArray("1"));
    QCOMPARE(readFile(gpio + "gpio151/value"), QByteArray("0"));
    QVERIFY(lines.outputState(GpioContainer::AuxOutput1));
    lines.setOutput(GpioContainer::AuxOutput1, false);
    QCOMPARE(readFile(gpio + "gpio152/value"), QByteArray("0"));

    GpioContainer::Timing fast = lines.timing();
    fast.pulseOnMsecs = 60;
    fast.pulseOffMsecs = 40;
    lines.setTiming(fast);
    lines.setOutputPulsing(GpioContainer::AuxOutput2, true);
    QCOMPARE(readFile(gpio + "gpio151/value"), QByteArray("1"));
    QTRY_COMPARE_WITH_TIMEOUT(readFile(gpio + "gpio151/value"), QByteArray("0"), 2000);
    QTRY_COMPARE_WITH_TIMEOUT(readFile(gpio + "gpio151/value"), QByteArray("1"), 2000);
    lines.setOutputPulsing(GpioContainer::AuxOutput2, false);
    QCOMPARE(readFile(gpio + "gpio151/value"), QByteArray("0"));
    QTest::qWait(150);
    QCOMPARE(readFile(gpio + "gpio151/value"), QByteArray("0"));
}

void TestHardware::gpioInputChangesAreReportedAfterSettling()
{
    const QString gpio = fake("/sys/class/gpio/");
    writeFile(gpio + "export", "");
    for (const char *n : {"152", "151", "114"})
        QDir().mkpath(gpio + "gpio" + n);
    writeFile(gpio + "gpio114/value", "0\n");

    GpioContainer lines;
    GpioContainer::Timing fast;
    fast.inputPollMsecs = 20;
    fast.startupSettleMsecs = 300;
    lines.setTiming(fast);
    QSignalSpy interrupts(&lines, &GpioContainer::signalAuxInterrupt);
    QVERIFY(lines.init());
    QCOMPARE(readFile(gpio + "gpio114/direction"), QByteArray("in"));
    QCOMPARE(readFile(gpio + "gpio114/edge"), QByteArray("both"));

    // A change while settling only updates the state.
    QTest::qWait(60);
    writeFile(gpio + "gpio114/value", "1\n");
    QTRY_VERIFY_WITH_TIMEOUT(lines.inputState(), 1000);
    QCOMPARE(interrupts.count(), 0);

    QTest::qWait(350);
    writeFile(gpio + "gpio114/value", "0\n");
    QTRY_COMPARE_WITH_TIMEOUT(interrupts.count(), 1, 1000);
    QCOMPARE(interrupts.at(0).at(0).toString(), QString("D18"));
    QCOMPARE(interrupts.at(0).at(1).toBool(), false);
    QTest::qWait(100);
    QCOMPARE(interrupts.count(), 1);
}

void TestHardware::gpioIdleWithoutInterface()
{
    GpioContainer lines;
    QVERIFY(lines.init());
    QVERIFY(!lines.isAvailable());
    lines.setOutput(GpioContainer::AuxOutput1, true);
    QVERIFY(!lines.inputState());
    QVERIFY(!QDir(fake("/sys/class/gpio")).exists());
}

void TestHardware::beepPatternTiming()
{
    BeepGenerator beeper;
    beeper.setPattern({100, 900});
    QElapsedTimer clock;
    QList<qint64> at;
    QList<bool> states;
    connect(&beeper, &BeepGenerator::beepStateChanged, this, [&](bool on) {
        at << clock.elapsed();
        states << on;
    });
    clock.start();
    beeper.startBeepFuction(true);
    QTRY_VERIFY_WITH_TIMEOUT(at.size() >= 5, 5000);
    beeper.stopBeepFuction();

    QCOMPARE(states.mid(0, 5), QList<bool>({true, false, true, false, true}));
    const qint64 expected[] = {100, 900, 100, 900};
    // Late wake-ups on a busy machine are tolerated; early toggles are not.
    for (int i = 0; i < 4; ++i) {
        const qint64 step = at[i + 1] - at[i];
        QVERIFY2(step >= expected[i] - 5 && step <= expected[i] + 150,
                 qPrintable(QString("step %1 took %2 ms").arg(i).arg(step)));
    }
    QVERIFY(!beeper.isRunning());
    QVERIFY(!beeper.outputState());
}

void TestHardware::beepPatternRestartRules()
{
    BeepGenerator beeper;
    QSignalSpy changed(&beeper, &BeepGenerator::beepStateChanged);
    beeper.startBeepFuction(true);
    QCOMPARE(changed.count(), 0); // nothing to play yet

    beeper.setPattern({5000, 5000});
    beeper.startBeepFuction(true);
    QCOMPARE(changed.count(), 1);
    QVERIFY(beeper.isRunning());

    // Running with the same pattern: start changes nothing, even with another state.
    beeper.startBeepFuction(false);
    beeper.setPattern({5000, 5000});
    beeper.startBeepFuction(false);
    QCOMPARE(changed.count(), 1);
    QVERIFY(beeper.outputState());

    // A new pattern makes the next start begin again.
    beeper.setPattern({50, 5000});
    QCOMPARE(changed.count(), 1);
    beeper.startBeepFuction(false);
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed.last().at(0).toBool(), false);
    QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 3, 2000);
    QCOMPARE(changed.last().at(0).toBool(), true);

    beeper.stopBeepFuction();
    QCOMPARE(changed.last().at(0).toBool(), false);
    QTest::qWait(100);
    QCOMPARE(changed.count(), 4);
}

void TestHardware::initFailureWritesTheBanner()
{
    const QStringList banner = Hardware::failureBanner();
    QCOMPARE(banner.size(), 3);
    for (const QString &line : banner)
        QCOMPARE(line.size(), 81);
    QVERIFY(banner[0].count('!') == 81);

    {
        g_log.clear();
        qInstallMessageHandler(collect);
        Hardware hw;
        QVERIFY(hw.init());
        qInstallMessageHandler(nullptr);
        QVERIFY(!g_log.join('\n').contains("Hardware init failed"));
        QCOMPARE(hw.dimmingController()->brightness(), 128);
        QCOMPARE(hw.supplyVoltages().voltage(SupplyVoltages::Supply24V), 0.0);
    }
    {
        writeFile(fake("/sys/bus/iio/devices/iio:device0/in_voltage10_raw"), "2048");
        g_log.clear();
        qInstallMessageHandler(collect);
        Hardware hw;
        bool laterStepRan = false;
        hw.addInitStep([] { return false; });
        hw.addInitStep([&] { laterStepRan = true; return true; });
        QVERIFY(!hw.init());
        qInstallMessageHandler(nullptr);
        QVERIFY(laterStepRan);
        const int at = g_log.indexOf(banner[0]);
        QVERIFY2(at >= 0, qPrintable(g_log.join('\n')));
        QCOMPARE(g_log.mid(at, 3), banner);
        QVERIFY(qAbs(hw.supplyVoltages().voltage(SupplyVoltages::Supply5V) - 3.3016) < 0.001);
    }
}

QTEST_GUILESS_MAIN(TestHardware)
#include "tst_hardware.moc"
