#include "alarmwidget.h"
#include "alertbench.h"
#include "essetup.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

// What the alert panel shows for the states the junction box publishes, and what its buttons do.
class TestAlarmWidget : public QObject
{
    Q_OBJECT

private slots:
    void iconPerGroupAndState_data();
    void iconPerGroupAndState();
    void blinkAndDimming();
    void rowsArrowsAndAcknowledge();
    void acknowledgeActsOnTheNewestAlertWaitingForIt();
    void doubtfulDataIsNotShown_data();
    void doubtfulDataIsNotShown();
    void panelLooks();
};

namespace {
const QString res = QStringLiteral("://Resources/");
}

void TestAlarmWidget::iconPerGroupAndState_data()
{
    QTest::addColumn<int>("alarm");
    QTest::addColumn<int>("warning");
    QTest::addColumn<QString>("alarmIcon");
    QTest::addColumn<QString>("warningIcon");
    QTest::addColumn<bool>("blinking");

    QTest::newRow("alarm unacknowledged") << 0 << 5 << res + "ActiveUnacknowledged.png" << QString() << true;
    QTest::newRow("alarm silenced") << 1 << 5 << res + "ActiveSilenced.png" << QString() << false;
    QTest::newRow("alarm acknowledged") << 2 << 5 << res + "ActiveAcknowedged.png" << QString() << false;
    QTest::newRow("alarm transferred") << 3 << 5 << res + "ActiveResponsibilityTransfered.png" << QString() << false;
    QTest::newRow("alarm rectified") << 4 << 5 << res + "RectifiedUnacknowledged.png" << QString() << true;
    QTest::newRow("warning unacknowledged") << 5 << 0 << QString() << res + "W_ActiveUnacknowledged.png" << true;
    QTest::newRow("both") << 2 << 4 << res + "ActiveAcknowedged.png" << res + "W_RectifiedUnacknowledged.png" << true;
    QTest::newRow("all normal") << 5 << 5 << QString() << QString() << false;
    QTest::newRow("lowest state leads") << 4 << 5 << res + "ActiveAcknowedged.png" << QString() << true;
}

void TestAlarmWidget::iconPerGroupAndState()
{
    QFETCH(int, alarm);
    QFETCH(int, warning);
    QFETCH(QString, alarmIcon);
    QFETCH(QString, warningIcon);
    QFETCH(bool, blinking);

    AlertBench bench;
    AlarmWidget panel(&bench.alerts);
    // Something showed before, so that clearing is seen too. Within a group the lowest state leads.
    bench.receive(jbAlertText({{"AlarmShallow", 0, 0, "Shallow Water"}, {"AlertDeep", 0, 1, "Deep Water"}}));
    bench.receive(jbAlertText({{"AlarmShallow", alarm, 0, "Shallow Water"}, {"AlertDeep", warning, 1, "Deep Water"},
                               {"AlertTest", QTest::currentDataTag() == QLatin1String("lowest state leads") ? 2 : 5, 0,
                                "DPT Alert Test"}}));
    QCOMPARE(panel.alarmIconPath(), alarmIcon);
    QCOMPARE(panel.warningIconPath(), warningIcon);
    QCOMPARE(panel.isBlinking(), blinking);
    QCOMPARE(panel.isAlarmIconVisible(), !alarmIcon.isEmpty());
    QCOMPARE(panel.isWarningIconVisible(), !warningIcon.isEmpty());
}

void TestAlarmWidget::blinkAndDimming()
{
    AlertBench bench;
    AlarmWidget panel(&bench.alerts);
    QSignalSpy dimming(&panel, &AlarmWidget::changeDisplayDimming);
    QSignalSpy attention(&panel, &AlarmWidget::attentionNeededChanged);
    bench.receive(jbAlertText({{"AlarmShallow", 0, 0, "Shallow Water"}}));
    QCOMPARE(dimming.count(), 1);
    QCOMPARE(dimming.at(0).at(0).toBool(), true);

    // Only the group that waits for acknowledgement blinks, driven by the timer twice a second.
    bench.receive(jbAlertText({{"AlarmShallow", 2, 0, "Shallow Water"}, {"AlertDeep", 0, 1, "Deep Water"}}));
    QTRY_VERIFY_WITH_TIMEOUT(!panel.isWarningIconVisible(), 2000);
    QVERIFY(panel.isAlarmIconVisible());
    QTRY_VERIFY_WITH_TIMEOUT(panel.isWarningIconVisible(), 2000);
    QTRY_VERIFY_WITH_TIMEOUT(!panel.isWarningIconVisible(), 2000);
    // Alarms no longer need attention but a warning does: the screen stays at alarm brightness.
    QCOMPARE(dimming.count(), 2);
    QCOMPARE(dimming.at(1).at(0).toBool(), true);

    // Acknowledged while blanked: the icon comes back and stays.
    bench.receive(jbAlertText({{"AlertDeep", 2, 1, "Deep Water"}}));
    QVERIFY(!panel.isBlinking());
    QVERIFY(panel.isWarningIconVisible());
    QCOMPARE(dimming.count(), 2); // the alarms' attention did not change
    bench.receive(jbAlertText({{"AlarmShallow", 4, 0, "Shallow Water"}}));
    bench.receive(jbAlertText({{"AlarmShallow", 5, 0, "Shallow Water"}}));
    QCOMPARE(dimming.count(), 4);
    QCOMPARE(dimming.at(3).at(0).toBool(), false);
    // Whether anything at all waits: the warning acknowledged ended it once, the rectified alarm again.
    QVariantList needed;
    for (const QVariantList &emission : attention)
        needed << emission.at(0);
    QCOMPARE(needed, QVariantList({true, false, true, false}));
}

void TestAlarmWidget::rowsArrowsAndAcknowledge()
{
    AlertBench bench;
    AlarmWidget panel(&bench.alerts);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    QSignalSpy sent(&bench.settings, &SerializationController::runtimeChangeToSend);
    bench.receive(jbAlertText({{"AlertDeep", 0, 1, "Deep Water"}, {"AlertBottomLost", 2, 1, "Bottom Lost"},
                               {"AlertSensorComms", 4, 1, "Sensor Comms"}, {"AlertPowerFailure", 5, 1, "Power Fail"},
                               {"AlertTest", 0, 0, "DPT Alert Test"}, {"AlarmShallow", 3, 0, "Shallow Water"}}));
    const QStringList all = {"Shallow Water", "DPT Alert Test", "Deep Water", "Bottom Lost", "Sensor Comms"};
    QCOMPARE(panel.activeAlertTexts(), all);
    QCOMPARE(panel.visibleRowTexts(), all.mid(0, 3));
    auto *down = panel.findChild<QWidget *>("downButton");
    QVERIFY(!panel.findChild<QWidget *>("upButton")->isEnabled());
    for (int i = 0; i < 3; ++i)
        panel.downButtonClicked();
    QCOMPARE(panel.visibleRowTexts(), all.mid(2, 3));
    QVERIFY(!down->isEnabled());
    panel.upButtonClicked();
    QCOMPARE(panel.visibleRowTexts(), all.mid(1, 3));

    QTest::mouseClick(panel.findChild<QWidget *>("alertRow1"), Qt::LeftButton); // "Deep Water"
    QTest::mouseClick(panel.findChild<QWidget *>("ackButton"), Qt::LeftButton);
    QCOMPARE(bench.mirror()->AckFromDisplay(), QStringLiteral("Deep Water"));
    QCOMPARE(sent.count(), 1);
    QVERIFY(sent.at(0).at(0).toString().endsWith(",AckFromDisplay=Deep Water"));
    // "Acknowledge" takes the chosen row.
    QTest::mouseClick(panel.findChild<QWidget *>("alertRow2"), Qt::LeftButton);
    QTest::mouseClick(panel.findChild<QWidget *>("ackButton"), Qt::LeftButton);
    QVERIFY(sent.at(1).at(0).toString().endsWith(",AckFromDisplay=Bottom Lost"));

    // The list shrinks under a scrolled view: the view moves back rather than showing blanks.
    bench.receive(jbAlertText({{"AlertDeep", 5, 1, "Deep Water"}, {"AlertBottomLost", 5, 1, "Bottom Lost"},
                               {"AlertSensorComms", 5, 1, "Sensor Comms"}}));
    QCOMPARE(panel.visibleRowTexts(), all.mid(0, 2));
    panel.buttonClicked();
    QVERIFY(sent.at(2).at(0).toString().endsWith(",AckFromDisplay=DPT Alert Test"));
}

void TestAlarmWidget::acknowledgeActsOnTheNewestAlertWaitingForIt()
{
    AlertBench bench;
    AlarmWidget panel(&bench.alerts);
    QSignalSpy sent(&bench.settings, &SerializationController::runtimeChangeToSend);
    auto lastAck = [&sent] { return sent.isEmpty() ? QString() : sent.last().at(0).toString().section('=', 1); };
    // The first row holds an alarm already acknowledged; the warning that arrives waits for it.
    bench.receive(jbAlertText({{"AlarmShallow", 2, 0, "Shallow Water"}}));
    bench.receive(jbAlertText({{"AlarmShallow", 2, 0, "Shallow Water"}, {"AlertDeep", 0, 1, "Deep Water"}}));
    QCOMPARE(panel.visibleRowTexts(), QStringList({"Shallow Water", "Deep Water"}));
    QCOMPARE(panel.selectedRow(), 1);
    panel.buttonClicked();
    QCOMPARE(lastAck(), QStringLiteral("Deep Water"));

    // Newer arrivals take the choice, also when they are listed below the visible rows.
    bench.receive(jbAlertText({{"AlarmShallow", 2, 0, "Shallow Water"}, {"AlertDeep", 0, 1, "Deep Water"},
                               {"AlertBottomLost", 2, 1, "Bottom Lost"}, {"AlertPowerFailure", 4, 1, "Power Fail"}}));
    QCOMPARE(panel.selectedAlertText(), QStringLiteral("Power Fail"));
    QCOMPARE(panel.visibleRowTexts(), QStringList({"Deep Water", "Bottom Lost", "Power Fail"}));
    QCOMPARE(panel.selectedRow(), 2);
    // The operator's own choice is kept while nothing new comes ...
    panel.findChild<QPushButton *>("alertRow0")->click();
    bench.receive(jbAlertText({{"AlarmShallow", 2, 0, "Shallow Water"}, {"AlertDeep", 0, 1, "Deep Water"},
                               {"AlertBottomLost", 2, 1, "Bottom Lost"}, {"AlertPowerFailure", 4, 1, "Power Fail"}}));
    QCOMPARE(panel.selectedAlertText(), QStringLiteral("Deep Water"));
    // ... and once its alert is acknowledged the choice goes on to the one still waiting.
    bench.receive(jbAlertText({{"AlarmShallow", 2, 0, "Shallow Water"}, {"AlertDeep", 2, 1, "Deep Water"},
                               {"AlertBottomLost", 2, 1, "Bottom Lost"}, {"AlertPowerFailure", 4, 1, "Power Fail"}}));
    QCOMPARE(panel.selectedAlertText(), QStringLiteral("Power Fail"));
    panel.buttonClicked();
    QCOMPARE(lastAck(), QStringLiteral("Power Fail"));
    // Of alerts arriving together the alarm comes first.
    bench.receive(jbAlertText({{"AlertSensorComms", 0, 1, "Sensor Comms"}, {"AlertTest", 0, 0, "DPT Alert Test"}}));
    QCOMPARE(panel.selectedAlertText(), QStringLiteral("DPT Alert Test"));
    // Nothing listed: nothing to acknowledge.
    bench.receive(jbAlertText({{"AlarmShallow", 5, 0, "Shallow Water"}, {"AlertDeep", 5, 1, "Deep Water"},
                               {"AlertBottomLost", 5, 1, "Bottom Lost"}, {"AlertSensorComms", 5, 1, "Sensor Comms"},
                               {"AlertTest", 5, 0, "DPT Alert Test"}, {"AlertPowerFailure", 5, 1, "Power Fail"}}));
    const int count = sent.count();
    panel.buttonClicked();
    QCOMPARE(sent.count(), count);
    QVERIFY(!panel.findChild<QPushButton *>("ackButton")->isEnabled());
}

void TestAlarmWidget::doubtfulDataIsNotShown_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("shown");

    const QString single = QStringLiteral("Type_Alert,SingleProperty,ESAlerts,");
    QTest::newRow("unknown child") << single + "AlarmNowhere,AlertState=0" << QStringList{"Shallow Water", "Deep Water"};
    QTest::newRow("unknown child in complete text")
        << jbAlertText({{"AlarmNowhere", 0, 0, "Ghost"}, {"AlertBottomLost", 0, 1, "Bottom Lost"}})
        << QStringList{"Shallow Water", "Deep Water", "Bottom Lost"};
    QTest::newRow("state out of range") << single + "AlarmShallow,AlertState=9" << QStringList{"Deep Water"};
    QTest::newRow("priority out of range") << single + "AlertDeep,AlertPriority=7" << QStringList{"Shallow Water"};
    QTest::newRow("emergency alarm with alarms") << single + "AlertDeep,AlertPriority=3"
                                                 << QStringList{"Shallow Water", "Deep Water"};
    QTest::newRow("state emptied") << single + "AlarmShallow,AlertState=" << QStringList{"Deep Water"};
    QTest::newRow("truncated in a state") << "Type_Alert,AckFromDisplay==T,SerializableClass1=AlarmShallow,AlertState="
                                          << QStringList{"Deep Water"};
    QTest::newRow("truncated in a name")
        << "Type_Alert,AckFromDisplay==T,SerializableClass1=AlertDeep,AlertState=5=T,Alert" << QStringList{"Shallow Water"};
}

void TestAlarmWidget::doubtfulDataIsNotShown()
{
    QFETCH(QString, text);
    QFETCH(QStringList, shown);

    AlertBench bench;
    AlarmWidget panel(&bench.alerts);
    bench.receive(jbAlertText({{"AlarmShallow", 0, 0, "Shallow Water"}, {"AlertDeep", 0, 1, "Deep Water"}}));
    bench.receive(text);
    QCOMPARE(panel.activeAlertTexts(), shown);
    QCOMPARE(panel.alarmIconPath().isEmpty(), !shown.contains(QStringLiteral("Shallow Water")));
}

void TestAlarmWidget::panelLooks()
{
    AlertBench bench;
    AlarmWidget panel(&bench.alerts);
    panel.resize(400, 160);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    QCOMPARE(QColor(panel.grab().toImage().pixel(1, 1)), QColor(84, 84, 84));
    QCOMPARE(panel.findChild<QPushButton *>("ackButton")->text(), QStringLiteral("Acknowledge"));
    bench.receive(jbAlertText({{"AlarmShallow", 0, 0, "Shallow Water"}}));
    QCOMPARE(panel.findChild<QLabel *>("alarmIcon")->pixmap(Qt::ReturnByValue).width(), panel.iconSize());

    bench.data.setup()->TestScreenSetup()->setSensorMute(1);
    panel.followSettings(bench.data.setup());
    QVERIFY(!panel.isMuteIconVisible());
    bench.data.setup()->TestScreenSetup()->setSensorMute(0);
    bench.data.setup()->DiagnosticsSetup()->setSimulateDepth(0);
    QVERIFY(!panel.findChild<QLabel *>("muteIcon")->pixmap(Qt::ReturnByValue).isNull());
    QVERIFY(!panel.findChild<QLabel *>("simulatorIcon")->pixmap(Qt::ReturnByValue).isNull());

    // Closed by the operator, the list opens again for a new alert that needs attention; a second
    // tap on a communication alert leads to the diagnostics.
    QSignalSpy diag(&panel, &AlarmWidget::navigateToDiagnosticSetup);
    panel.closeClicked();
    QVERIFY(!panel.isListOpen());
    bench.receive(jbAlertText({{"AlarmShallow", 0, 0, "Shallow Water"}, {"AlertSensorComms", 0, 1, "Sensor Comms"}}));
    QVERIFY(panel.isListOpen());
    QTest::mouseClick(panel.findChild<QWidget *>("alertRow1"), Qt::LeftButton);
    QCOMPARE(diag.count(), 0);
    QTest::mouseClick(panel.findChild<QWidget *>("alertRow1"), Qt::LeftButton);
    QCOMPARE(diag.count(), 1);
}

QTEST_MAIN(TestAlarmWidget)
#include "tst_alarmwidget.moc"
