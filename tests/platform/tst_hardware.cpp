#include "beepgenerator.h"
#include "buzzer.h"
#include "dimmingcontroller.h"
#include "gpiocontainer.h"
#include "hardware.h"
#include "supplyvoltages.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

// Every device file lives below a temporary KVE_ROOT, laid out as on the unit.
namespace {
QStringList g_log;
void collect(QtMsgType, const QMessageLogContext &, const QString &msg) { g_log << msg; }

void put(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
}

QByteArray get(const QString &path)
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
    void cleanup() { qunsetenv("KVE_ROOT"); }
    void brightnessIsClampedAndOnlyChangesSignal();
    void brightnessGoesToTheBacklight();
    void supplyRailsFromIioInputs();
    void gpioLinesAreSetUpAndDriven();
    void beepPatternTiming();
    void beepPatternRestartRules();
    void initFailureWritesTheBanner();
    void alarmRaisesTheBrightnessUntilNoneWaits();
    void buzzerPlaysPatternsAndTouchBeeps();

private:
    QString fake(const QString &absolute) const { return m_root->path() + absolute; }
    QScopedPointer<QTemporaryDir> m_root;
};

void TestHardware::init()
{
    m_root.reset(new QTemporaryDir);
    qputenv("KVE_ROOT", m_root->path().toLocal8Bit());
}

void TestHardware::brightnessIsClampedAndOnlyChangesSignal()
{
    DimmingController dimming;
    QVERIFY(dimming.init()); // no backlight here: the value is only kept
    QCOMPARE(dimming.brightness(), 128);
    dimming.setBrightness(300);
    QCOMPARE(dimming.brightness(), 255);
    dimming.setBrightness(INT_MIN);
    QCOMPARE(dimming.brightness(), 0);
    dimming.setBrightness(7);
    QCOMPARE(dimming.brightness(), 7);
    QVERIFY(!QFile::exists(fake("/sys/class/backlight/backlight/brightness")));
}

void TestHardware::brightnessGoesToTheBacklight()
{
    QCOMPARE(DimmingController::backlightCommand(42),
             "echo 42 > " + fake("/sys/class/backlight/backlight/brightness") + "\n");
    // A root folder with blanks and quotes must not break the shell command.
    const QString root = m_root->path() + "/desk top's";
    qputenv("KVE_ROOT", root.toLocal8Bit());
    const QString file = root + "/sys/class/backlight/backlight/brightness";
    put(file, "0\n");
    DimmingController dimming;
    QVERIFY(dimming.init());
    QCOMPARE(get(file), QByteArray("128\n"));
    dimming.setBrightness(1000);
    QCOMPARE(get(file), QByteArray("255\n"));
    dimming.setBrightness(200);
    QCOMPARE(get(file), QByteArray("200\n"));

    qunsetenv("KVE_ROOT");
    QCOMPARE(DimmingController::backlightCommand(128),
             QString("echo 128 > /sys/class/backlight/backlight/brightness\n"));
}

void TestHardware::supplyRailsFromIioInputs()
{
    const QString iio = fake("/sys/bus/iio/devices/iio:device0/in_voltage");
    put(iio + "11_raw", "2000\n");
    put(iio + "10_raw", "3100");
    put(iio + "6_raw", "not a number\n");
    SupplyVoltages rails;
    rails.readAll();
    QVERIFY(qAbs(rails.voltage(SupplyVoltages::Supply24V) - 19.3736) < 0.001);
    QVERIFY(qAbs(rails.voltage(SupplyVoltages::Supply5V) - 4.9963) < 0.001);
    QCOMPARE(rails.voltage(SupplyVoltages::Supply3V3), 0.0);
    put(iio + "6_raw", "3000");
    QVERIFY(qAbs(SupplyVoltages::read(SupplyVoltages::Supply3V3) - 3.2193) < 0.001);
    QFile::remove(iio + "11_raw");
    QCOMPARE(SupplyVoltages::read(SupplyVoltages::Supply24V), 0.0);
}

void TestHardware::gpioLinesAreSetUpAndDriven()
{
    QVERIFY(GpioContainer().init()); // no GPIO interface on this host: idle, no fault
    QVERIFY(!QDir(fake("/sys/class/gpio")).exists());

    const QString gpio = fake("/sys/class/gpio/");
    put(gpio + "export", "");
    // The kernel creates a line's folder on export; here the outputs' exist, the input's does not.
    QDir().mkpath(gpio + "gpio152");
    QDir().mkpath(gpio + "gpio151");
    QVERIFY(!GpioContainer().init());
    QCOMPARE(get(gpio + "export"), QByteArray("114"));

    put(gpio + "gpio114/value", "0\n");
    GpioContainer lines;
    GpioContainer::Timing fast{20, 60, 40, 300}; // poll, pulse on, pulse off, settle
    lines.setTiming(fast);
    QSignalSpy interrupts(&lines, &GpioContainer::signalAuxInterrupt);
    QVERIFY(lines.init());
    QCOMPARE(get(gpio + "gpio152/direction") + get(gpio + "gpio151/direction"), QByteArray("outout"));
    QCOMPARE(get(gpio + "gpio114/direction") + get(gpio + "gpio114/edge"), QByteArray("inboth"));
    lines.setOutput(GpioContainer::AuxOutput1, true);
    QCOMPARE(get(gpio + "gpio152/value") + get(gpio + "gpio151/value"), QByteArray("10"));
    lines.setOutput(GpioContainer::AuxOutput1, false);
    QCOMPARE(get(gpio + "gpio152/value"), QByteArray("0"));

    lines.setOutputPulsing(GpioContainer::AuxOutput2, true);
    QCOMPARE(get(gpio + "gpio151/value"), QByteArray("1"));
    put(gpio + "gpio114/value", "1\n"); // while the lines settle: state only
    QTRY_COMPARE_WITH_TIMEOUT(get(gpio + "gpio151/value"), QByteArray("0"), 2000);
    QTRY_COMPARE_WITH_TIMEOUT(get(gpio + "gpio151/value"), QByteArray("1"), 2000);
    lines.setOutputPulsing(GpioContainer::AuxOutput2, false);
    QVERIFY(lines.inputState());
    QTest::qWait(350);
    QCOMPARE(get(gpio + "gpio151/value"), QByteArray("0"));
    QCOMPARE(interrupts.count(), 0);

    put(gpio + "gpio114/value", "0\n");
    QTRY_COMPARE_WITH_TIMEOUT(interrupts.count(), 1, 1000);
    QCOMPARE(interrupts.at(0), (QList<QVariant>{"D18", false}));
    QTest::qWait(100);
    QCOMPARE(interrupts.count(), 1);
}

void TestHardware::beepPatternTiming()
{
    BeepGenerator beeper;
    beeper.setPattern({100, 900});
    QElapsedTimer clock;
    QList<qint64> at;
    QList<bool> states;
    connect(&beeper, &BeepGenerator::beepStateChanged, this, [&](bool on) { at << clock.elapsed(); states << on; });
    clock.start();
    beeper.startBeepFuction(true);
    QTRY_VERIFY_WITH_TIMEOUT(at.size() >= 5, 5000);
    beeper.stopBeepFuction();
    QCOMPARE(states.mid(0, 5), QList<bool>({true, false, true, false, true}));
    // Late wake-ups on a busy machine are tolerated; early toggles are not.
    for (int i = 0; i < 4; ++i) {
        const qint64 step = at[i + 1] - at[i];
        const qint64 expected = i % 2 ? 900 : 100;
        QVERIFY2(step >= expected - 5 && step <= expected + 150, qPrintable(QString::number(step)));
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
    // Running with the same pattern: a start changes nothing, even with another state.
    beeper.setPattern({5000, 5000});
    beeper.startBeepFuction(false);
    QCOMPARE(changed.count(), 1);
    QVERIFY(beeper.outputState());
    // A new pattern makes the next start begin again.
    beeper.setPattern({50, 5000});
    beeper.startBeepFuction(false);
    QCOMPARE(changed.count(), 2);
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
    QCOMPARE(banner[0], QString(81, '!'));
    QCOMPARE(banner[1].size(), 81);
    QCOMPARE(banner[2].size(), 81);
    for (bool failing : {false, true}) {
        put(fake("/sys/bus/iio/devices/iio:device0/in_voltage10_raw"), "2048");
        g_log.clear();
        qInstallMessageHandler(collect);
        Hardware hw;
        bool laterStepRan = false;
        hw.addInitStep([failing] { return !failing; });
        hw.addInitStep([&] { return laterStepRan = true; });
        const bool ok = hw.init();
        qInstallMessageHandler(nullptr);
        QCOMPARE(ok, !failing);
        QVERIFY(laterStepRan);
        QCOMPARE(hw.dimmingController()->brightness(), 128);
        QVERIFY(qAbs(hw.supplyVoltages().voltage(SupplyVoltages::Supply5V) - 3.3008) < 0.001);
        const int at = g_log.indexOf(banner[0]);
        QCOMPARE(at >= 0, failing);
        if (failing)
            QCOMPARE(g_log.mid(at, 3), banner);
    }
}

void TestHardware::alarmRaisesTheBrightnessUntilNoneWaits()
{
    put(fake("/sys/class/backlight/backlight/brightness"), "0\n");
    DimmingController dimming;
    QVERIFY(dimming.init());
    dimming.setBrightness(40);
    dimming.raiseForAlarm(true);
    QCOMPARE(dimming.brightness(), 255);
    QCOMPARE(get(fake("/sys/class/backlight/backlight/brightness")).trimmed(), QByteArray("255"));
    dimming.raiseForAlarm(true); // the same alarm time: nothing to remember again
    // A brightness chosen meanwhile waits until no alarm holds the panel bright.
    dimming.setBrightness(60);
    QCOMPARE(dimming.brightness(), 255);
    dimming.raiseForAlarm(false);
    QCOMPARE(dimming.brightness(), 60);
    QCOMPARE(get(fake("/sys/class/backlight/backlight/brightness")).trimmed(), QByteArray("60"));
    dimming.setBrightness(40);
    QCOMPARE(get(fake("/sys/class/backlight/backlight/brightness")).trimmed(), QByteArray("40"));
    dimming.raiseForAlarm(false);
    QCOMPARE(dimming.brightness(), 40);
}

void TestHardware::buzzerPlaysPatternsAndTouchBeeps()
{
    BeepGenerator beeper;
    g_log.clear();
    qInstallMessageHandler(collect);
    Buzzer buzzer(&beeper);
    if (buzzer.hasSoundOutput()) {
        qInstallMessageHandler(nullptr);
        QSKIP("This host has a sound output: the buzzer sounds instead of logging");
    }
    // A touch: one short beep; none while a pattern sounds.
    buzzer.touchBeep();
    QVERIFY(buzzer.isOn());
    QTRY_VERIFY_WITH_TIMEOUT(!buzzer.isOn(), 2000);
    buzzer.playPattern({120, 80}, QStringLiteral("Alarm: Shallow Water"));
    QTRY_VERIFY_WITH_TIMEOUT(g_log.count("Buzzer on") >= 5, 5000); // the touch, then four of the pattern
    buzzer.touchBeep();
    buzzer.playPattern({}, QString());
    QVERIFY(!buzzer.isOn());
    QTest::qWait(300);
    qInstallMessageHandler(nullptr);
    QCOMPARE(g_log.mid(0, 4), QStringList({"Buzzer without sound output: its changes are logged", "Buzzer on",
                                           "Buzzer off", "Buzzer pattern: 120,80 (Alarm: Shallow Water)"}));
    const int silent = g_log.indexOf("Buzzer silent");
    QVERIFY(silent > 4);
    const QStringList toggles = g_log.mid(4, silent - 4);
    QVERIFY2(toggles.size() >= 7, qPrintable(g_log.join("|")));
    for (int i = 0; i < toggles.size(); ++i)
        QCOMPARE(toggles.at(i), QString(i % 2 ? "Buzzer off" : "Buzzer on"));
    // Stopped while on, it goes off once; nothing more follows.
    const QStringList tail = toggles.size() % 2 ? QStringList({"Buzzer silent", "Buzzer off"}) : QStringList({"Buzzer silent"});
    QCOMPARE(g_log.mid(silent), tail);
}

QTEST_GUILESS_MAIN(TestHardware)
#include "tst_hardware.moc"
