// The alert panel of the control unit against the junction-box simulator, inside a private network
// namespace (see CMakeLists.txt): network side, settings, alert mirror and panel run in this
// process, the box in its own.
#include "alarmwidget.h"
#include "alertmirrorcontroller.h"
#include "esdata.h"
#include "essetup.h"
#include "listofsfisonnetwork.h"
#include "networkstack.h"
#include "nmeaoverudpcontroller.h"
#include "pairingcontroller.h"
#include "serializationcontroller.h"
#include "settingslinksupervisor.h"

#include <QFile>
#include <QNetworkInterface>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString resources = QStringLiteral("://Resources/");

// KVE_JBSIM in the environment points the test at a simulator build of one's own.
QString simulatorPath()
{
    return qEnvironmentVariable("KVE_JBSIM", QStringLiteral(KVE_JBSIM));
}

bool simulatorRunsAlerts()
{
#ifdef KVE_JBSIM_ALERTS
    return true;
#else
    return qEnvironmentVariableIsSet("KVE_JBSIM_ALERTS");
#endif
}

// The simulator as a child process; its event lines are shown when a test fails.
class Box
{
public:
    explicit Box(const QString &dataDir, const QStringList &extra = QStringList())
    {
        m_log = dataDir + QStringLiteral("/box.log");
        m_process.setStandardOutputFile(m_log);
        m_process.start(simulatorPath(), QStringList{"--interface", "lo", "--group", "3", "--data-dir", dataDir} + extra);
        m_process.waitForStarted(5000);
    }
    ~Box()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
        QFile log(m_log);
        if (QTest::currentTestFailed() && log.open(QIODevice::ReadOnly))
            qDebug().noquote() << log.readAll();
    }

private:
    QProcess m_process;
    QString m_log;
};

struct ControlUnit
{
    ESData data;
    SerializationController settings;
    ListOfSfisOnNetwork sfis;
    NetworkStack stack;
    AlertMirrorController alerts;
    AlarmWidget panel;

    explicit ControlUnit(const QString &dir)
        : data(dir + QStringLiteral("/Setup_Files/KVE 420/")), settings(data),
          stack(NetworkStack::Options{QStringLiteral("lo"), 1000, true}, &sfis), alerts(data.alerts()), panel(&alerts)
    {
        QObject::connect(&settings, &SerializationController::commsToKX12StateChanged, &alerts,
                         &AlertMirrorController::commsToKX12StateChanged);
        sfis.setLocalSfi(QStringLiteral("SD0109"));
        stack.pairing()->setInitialPairedSfi(QStringLiteral("SD0108"));
        stack.connectSettings(&settings, data.setup());
        // The unit's texts leave the way the program sends them when not in standby.
        for (auto text : {&SerializationController::setupChangeToSend, &SerializationController::runtimeChangeToSend})
            QObject::connect(&settings, text, stack.nmeaOverUdp(),
                             [this](const QString &t) { stack.nmeaOverUdp()->sendSettingsText(t); });
        settings.link()->start();
        stack.start(3);
        stack.enableReception();
    }
    bool linkUp()
    {
        QSignalSpy complete(&settings, &SerializationController::finishedDeserializingCompleteSetup);
        return complete.wait(8000);
    }
};

} // namespace

class TestAlertsOnNetwork : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        const QList<QNetworkInterface> all = QNetworkInterface::allInterfaces();
        QVERIFY2(all.size() == 1 && all.first().humanReadableName() == QLatin1String("lo"),
                 "must run inside a private network namespace");
    }

    void shallowAlarmBlinksUntilAcknowledged()
    {
        if (!simulatorRunsAlerts())
            QSKIP("the junction-box simulator does not run the alert management yet");
        QTemporaryDir cuDir, jbDir;
        Box box(jbDir.path());
        ControlUnit cu(cuDir.path());
        QVERIFY(cu.linkUp());

        // The simulated bottom lies at about 25 m: a 100 m limit makes it shallow water.
        QVERIFY(cu.data.setup()->AlertSetup()->changeValue(QStringLiteral("AlarmShallow"), 100.0));
        QTRY_COMPARE_WITH_TIMEOUT(cu.panel.activeAlertTexts(), QStringList{"Shallow Water"}, 6000);
        QCOMPARE(cu.panel.alarmIconPath(), resources + "ActiveUnacknowledged.png");
        QVERIFY(cu.panel.isBlinking());

        cu.panel.buttonClicked();
        QTRY_COMPARE_WITH_TIMEOUT(cu.panel.alarmIconPath(), resources + "ActiveAcknowedged.png", 5000);
        QVERIFY(!cu.panel.isBlinking());

        QVERIFY(cu.data.setup()->AlertSetup()->changeValue(QStringLiteral("AlarmShallow"), 1.0));
        QTRY_VERIFY_WITH_TIMEOUT(cu.panel.activeAlertTexts().isEmpty(), 6000);
        QVERIFY(!cu.panel.isBlinking());
    }

    void silentBoxRaisesCommunicationAlert()
    {
        QTemporaryDir cuDir, jbDir;
        Box box(jbDir.path(), {"--silent-after", "3", "--silent-for", "14"});
        ControlUnit cu(cuDir.path());
        QVERIFY(cu.linkUp());

        QTRY_COMPARE_WITH_TIMEOUT(cu.panel.activeAlertTexts(), QStringList{"KX12 Comms Fail"}, 16000);
        QCOMPARE(cu.panel.warningIconPath(), resources + "W_ActiveUnacknowledged.png");
        QVERIFY(cu.panel.isBlinking());

        // The box speaks again: the alert waits, rectified, for the operator.
        QTRY_COMPARE_WITH_TIMEOUT(cu.panel.warningIconPath(), resources + "W_RectifiedUnacknowledged.png", 15000);
        QVERIFY(cu.settings.link()->isLinkUp());
        cu.panel.buttonClicked();
        QVERIFY(cu.panel.activeAlertTexts().isEmpty());
        QVERIFY(!cu.panel.isBlinking());
    }
};

QTEST_MAIN(TestAlertsOnNetwork)
#include "netns_alerts.moc"
