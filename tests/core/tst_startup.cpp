#include "basescreen.h"
#include "kvesystem.h"
#include "networkselectwidget.h"
#include "startuparguments.h"
#include "systeminformation.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QListWidget>
#include <QtTest>

namespace {

// The operator picks an interface in the selection window and presses "Confirm".
bool confirm(NetworkSelectWidget *window, const QString &name)
{
    auto *list = window->findChild<QListWidget *>();
    const auto matches = list->findItems(name, Qt::MatchExactly);
    if (matches.isEmpty())
        return false;
    list->setCurrentItem(matches.first());
    QTest::mouseClick(window->findChild<QPushButton *>(), Qt::LeftButton);
    return true;
}

// Notes whether the interface file was already written when the system began to be built.
class SystemBuiltAfterSaving : public KveSystem
{
public:
    bool fileExistedAtConstruction = false;

protected:
    void constructSystem(const QString &interfaceName) override
    {
        fileExistedAtConstruction = NetInterfaceFile::load() == QLatin1String("lo");
        KveSystem::constructSystem(interfaceName);
    }
};

}

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void commandLineTable_data();
    void commandLineTable();
    void serialLineDevices();
    void unrecognisedArgumentsReachTheSystemObject();
    void argumentsAreLoggedWithTheirIndex();

    void netInterfaceFileRoundTrip();
    void missingOrEmptyNetInterfaceFileGivesNoName();

    void identityRecordOfThisBuild();
    void identityFlagsFollowTheFields();

    void selectionWindowTexts();
    void interfaceNotUpShowsTheSelectionWindow();
    void confirmedInterfaceIsSavedBeforeTheSystemIsBuilt();
    void loadNetInterfaceOverridesSpecNetInterface();
    void framelessMainWindowCarriesTheTitle();

    void restartCommandLineCarriesTheInterface();

private:
    QTemporaryDir m_dir;
    QString m_oldCwd;
};

void TestStartup::init()
{
    m_oldCwd = QDir::currentPath();
    QVERIFY(m_dir.isValid());
    QDir::setCurrent(m_dir.path());
    // The unit's storage tree (media, /opt) lives in the test folder.
    qputenv("KVE_ROOT", m_dir.path().toLocal8Bit());
    QFile::remove(NetInterfaceFile::fileName());
}

void TestStartup::cleanup()
{
    QDir::setCurrent(m_oldCwd);
}

void TestStartup::commandLineTable_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("interfaceName");
    QTest::addColumn<QString>("loadMessage");
    QTest::addColumn<bool>("save");
    QTest::addColumn<bool>("load");
    QTest::addColumn<bool>("maximize");
    QTest::addColumn<bool>("frameless");

    QTest::newRow("no arguments") << QStringList{"kve"} << "" << "" << false << false << false << false;
    QTest::newRow("interface and flags")
        << QStringList{"kve", "spec-net-interface", "eth0", "maximize-window", "frameless-window"}
        << "eth0" << "" << false << false << true << true;
    QTest::newRow("value missing at the end is ignored")
        << QStringList{"kve", "maximize-window", "spec-net-interface"} << "" << "" << false << false << true << false;
    QTest::newRow("substring match") << QStringList{"kve", "--save-net-interface=yes", "xxload-net-interfacexx"}
                                     << "" << "" << true << true << false << false;
    QTest::newRow("value containing an option name also acts as that option")
        << QStringList{"kve", "spec-net-interface", "frameless-window"} << "frameless-window" << "" << false
        << false << false << true;
    QTest::newRow("load message")
        << QStringList{"kve", "load-msg", "Restarting...", "spec-net-interface", "lo"} << "lo" << "Restarting..."
        << false << false << false << false;
    QTest::newRow("earlier option wins for an argument naming two")
        << QStringList{"kve", "spec-net-interface-and-maximize-window", "eth1"} << "eth1" << "" << false << false
        << false << false;
    QTest::newRow("given twice, the last value counts")
        << QStringList{"kve", "spec-net-interface", "eth0", "spec-net-interface", "eth1"} << "eth1" << ""
        << false << false << false << false;
    QTest::newRow("case-sensitive") << QStringList{"kve", "Maximize-Window"} << "" << "" << false << false << false
                                    << false;
}

void TestStartup::commandLineTable()
{
    QFETCH(QStringList, args);
    const StartupArguments parsed = StartupArguments::scan(args);
    QTEST(parsed.interfaceName, "interfaceName");
    QTEST(parsed.loadMessage, "loadMessage");
    QTEST(parsed.saveNetInterface, "save");
    QTEST(parsed.loadNetInterface, "load");
    QTEST(parsed.maximizeWindow, "maximize");
    QTEST(parsed.framelessWindow, "frameless");
}

void TestStartup::serialLineDevices()
{
    // "serial-4" .. "serial-6" are the additional lines, ports 4 to 6 (3 is the network).
    auto devices = [](const QStringList &args) {
        const StartupArguments parsed = StartupArguments::scan(args);
        QStringList out;
        for (auto it = parsed.serialDevices.cbegin(); it != parsed.serialDevices.cend(); ++it)
            out << QString::number(it.key()) + '=' + it.value();
        return out.join(' ');
    };
    QCOMPARE(devices({"kve", "serial-1", "/dev/ttyUSB0", "serial-3", "/dev/ttyS2", "serial-4", "/dev/ttyUSB1",
                      "serial-6", "/dev/pts/7"}),
             QString("0=/dev/ttyUSB0 2=/dev/ttyS2 4=/dev/ttyUSB1 6=/dev/pts/7"));
    QCOMPARE(devices({"kve", "--serial-2=", "/dev/x", "spec-net-interface", "lo", "serial-5"}), QString("1=/dev/x"));
    // Options earlier in the table win, as for every option.
    QCOMPARE(devices({"kve", "maximize-window-serial-1", "/dev/y"}), QString());
    QVERIFY(StartupArguments::usage().contains("serial-4 <device>"));
}

void TestStartup::unrecognisedArgumentsReachTheSystemObject()
{
    QStringList seen;
    StartupArguments::scan({"kve", "kve-simulation-control", "maximize-window", "other"},
                           [&seen](const QString &a) { seen << a; });
    QCOMPARE(seen, (QStringList{"kve-simulation-control", "other"}));

    KveSystem system;
    QVERIFY(!system.simulationControlRequested());
    system.start({"kve", "x-kve-simulation-control-y"});
    QVERIFY(system.simulationControlRequested());
}

void TestStartup::argumentsAreLoggedWithTheirIndex()
{
    QTest::ignoreMessage(QtDebugMsg, "ARG: 1 spec-net-interface");
    QTest::ignoreMessage(QtDebugMsg, "ARG: 2 lo");
    StartupArguments::scan({"kve", "spec-net-interface", "lo"});
}

void TestStartup::netInterfaceFileRoundTrip()
{
    QVERIFY(NetInterfaceFile::save("eth7"));
    QFile f(NetInterfaceFile::fileName());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("eth7"));
    f.close();
    QCOMPARE(NetInterfaceFile::load(), QString("eth7"));
}

void TestStartup::missingOrEmptyNetInterfaceFileGivesNoName()
{
    QCOMPARE(NetInterfaceFile::load(), QString());
    QFile f(NetInterfaceFile::fileName());
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    QCOMPARE(NetInterfaceFile::load(), QString());

    // An empty file must not replace the name the command line gave.
    KveSystem system;
    system.start({"kve", "spec-net-interface", "lo", "load-net-interface"});
    QCOMPARE(system.state(), CentralBaseClass::State::Constructed);
    QCOMPARE(system.interfaceName(), QString("lo"));
}

void TestStartup::identityRecordOfThisBuild()
{
    const SystemInformation &info = SystemInformation::instance();
    QCOMPARE(info.hardware(), QString("CU"));
    QCOMPARE(info.software(), QString("CU"));
    QCOMPARE(info.platform(), QString("WINDOWS"));
    QCOMPARE(info.product(), QString("KVE420"));
    QCOMPARE(info.talker(), QString("SD"));
    QCOMPARE(info.displayName(), QString("KVE 420"));
    QVERIFY(info.isHardwareCu() && !info.isHardwareJb());
    QVERIFY(info.isSoftwareCu() && !info.isSoftwareJb());
    QVERIFY(info.isPlatformWindows() && !info.isPlatformLinux());
    QVERIFY(info.isKve420() && !info.isKve410() && !info.isVs2());
    QVERIFY(!info.reservedFlag());
}

void TestStartup::identityFlagsFollowTheFields()
{
    const SystemInformation jb("JB", "JB", "LINUX", "ORBLOG3100");
    QVERIFY(jb.isHardwareJb() && jb.isSoftwareJb() && jb.isPlatformLinux() && jb.isOrblog3100());
    QCOMPARE(jb.displayName(), QString("ORBLOG OD47"));
    QCOMPARE(SystemInformation::displayNameForProduct("ORBLOG3200"), QString("ORBLOG OL3200"));
    QCOMPARE(SystemInformation::displayNameForProduct("KVE430"), QString("KVE 430"));
    const SystemInformation unknown("CU", "CU", "WINDOWS", "KVE999");
    QVERIFY(!unknown.isProductInitialized());
    QVERIFY(SystemInformation::instance().isProductInitialized());
}

void TestStartup::selectionWindowTexts()
{
    NetworkSelectWidget w;
    QCOMPARE(w.windowTitle(), QString("Velmora Vantis series: Network Selection"));
    const auto labels = w.findChildren<QLabel *>();
    QStringList texts;
    for (const QLabel *l : labels)
        texts << l->text();
    QVERIFY(texts.contains("Please select network connection for\n communication with Velmora products."));
    QVERIFY(texts.contains("Loading..."));
    const auto buttons = w.findChildren<QPushButton *>();
    QCOMPARE(buttons.size(), 1);
    QCOMPARE(buttons.first()->text(), QString("Confirm"));
    QVERIFY(w.offeredInterfaces().contains("lo"));
    QCOMPARE(w.offeredInterfaces(), NetworkSelectWidget::interfacesUp());
}

void TestStartup::interfaceNotUpShowsTheSelectionWindow()
{
    KveSystem system;
    // A restart onto an interface that has gone down still lets the operator choose another.
    system.start({"kve", "load-msg", "Restarting application with new system type...", "spec-net-interface", "no-such-if0"});
    QCOMPARE(system.state(), CentralBaseClass::State::WaitingForInterface);
    NetworkSelectWidget *window = system.networkSelectWidget();
    QVERIFY(window->isVisible() && window->isSelectionShown());
    QVERIFY(window->findChild<QListWidget *>()->isVisible() && window->findChild<QPushButton *>()->isVisible());
    QVERIFY(!system.mainScreen());
    QVERIFY(confirm(window, "lo"));
    QCOMPARE(system.state(), CentralBaseClass::State::Constructed);
    QVERIFY(!window->isSelectionShown() && window->loadingText() == "Restarting application with new system type...");

    KveSystem bare;
    bare.start({"kve"});
    QCOMPARE(bare.state(), CentralBaseClass::State::WaitingForInterface);
    QVERIFY(!bare.mainScreen());
}

void TestStartup::confirmedInterfaceIsSavedBeforeTheSystemIsBuilt()
{
    SystemBuiltAfterSaving system;
    system.start({"kve", "save-net-interface"});
    QCOMPARE(system.state(), CentralBaseClass::State::WaitingForInterface);
    QVERIFY(confirm(system.networkSelectWidget(), "lo"));
    QCOMPARE(system.state(), CentralBaseClass::State::Constructed);
    QVERIFY(system.fileExistedAtConstruction);
    QCOMPARE(CentralBaseClass::currentInterfaceName(), QString("lo"));
}

void TestStartup::loadNetInterfaceOverridesSpecNetInterface()
{
    QVERIFY(NetInterfaceFile::save("lo"));
    KveSystem system;
    system.start({"kve", "spec-net-interface", "no-such-if0", "load-net-interface"});
    QCOMPARE(system.state(), CentralBaseClass::State::Constructed);
    QCOMPARE(system.interfaceName(), QString("lo"));
    QVERIFY(!system.networkSelectWidget()->isVisible());
}

void TestStartup::framelessMainWindowCarriesTheTitle()
{
    KveSystem system;
    system.start({"kve", "spec-net-interface", "lo", "frameless-window"});
    QVERIFY(system.mainScreen());
    QCOMPARE(system.mainScreen()->windowTitle(), QString("Velmora Vantis Series - KVE 420"));
    QVERIFY(system.mainScreen()->windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(system.mainScreen()->isVisible());
}

void TestStartup::restartCommandLineCarriesTheInterface()
{
    QCOMPARE(CentralBaseClass::restartCommandLine("/opt/kve/kve420", "eth0"),
             QString("\"/opt/kve/kve420\" spec-net-interface eth0 load-msg "
                     "\"Restarting application with new system type...\""));
    const StartupArguments again = StartupArguments::scan(
        {"kve", "spec-net-interface", "eth0", "load-msg", "Restarting application with new system type..."});
    QCOMPARE(again.interfaceName, QString("eth0"));
    QCOMPARE(again.loadMessage, QString("Restarting application with new system type..."));
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
