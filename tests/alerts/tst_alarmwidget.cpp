#include "alarmwidget.h"
#include "alertbench.h"
#include "alertvocabulary.h"

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
    void onlyUnacknowledgedGroupsBlink();
    void dimmingFollowsAlarmAttention();
    void atMostThreeRowsWithArrows();
    void acknowledgeTakesTextOfRow();
    void linkLossShowsOnlyCommunicationAlert();
    void doubtfulDataIsNotShown_data();
    void doubtfulDataIsNotShown();
    void panelLooks();
};

namespace {
const QString base = QStringLiteral("://Resources/");
}

void TestAlarmWidget::iconPerGroupAndState_data()
{
    QTest::addColumn<int>("alarmState");
    QTest::addColumn<int>("warningState");
    QTest::addColumn<QString>("alarmIcon");
    QTest::addColumn<QString>("warningIcon");
    QTest::addColumn<bool>("blinking");

    QTest::newRow("alarm unacknowledged") << 0 << 5 << base + "ActiveUnacknowledged.png" << QString() << true;
    QTest::newRow("alarm silenced") << 1 << 5 << base + "ActiveSilenced.png" << QString() << false;
    QTest::newRow("alarm acknowledged") << 2 << 5 << base + "ActiveAcknowedged.png" << QString() << false;
    QTest::newRow("alarm transferred") << 3 << 5 << base + "ActiveResponsibilityTransfered.png" << QString() << false;
    QTest::newRow("alarm rectified") << 4 << 5 << base + "RectifiedUnacknowledged.png" << QString() << true;
    QTest::newRow("warning unacknowledged") << 5 << 0 << QString() << base + "W_ActiveUnacknowledged.png" << true;
    QTest::newRow("warning acknowledged") << 5 << 2 << QString() << base + "W_ActiveAcknowedged.png" << false;
    QTest::newRow("warning transferred") << 5 << 3 << QString() << base + "W_ActiveResponsibilityTransfered.png"
                                         << false;
    QTest::newRow("both") << 2 << 4 << base + "ActiveAcknowedged.png" << base + "W_RectifiedUnacknowledged.png" << true;
    QTest::newRow("all normal") << 5 << 5 << QString() << QString() << false;
}

void TestAlarmWidget::iconPerGroupAndState()
{
    QFETCH(int, alarmState);
    QFETCH(int, warningState);
    QFETCH(QString, alarmIcon);
    QFETCH(QString, warningIcon);
    QFETCH(bool, blinking);

    AlertBench bench;
    AlarmWidget panel(&bench.alerts());
    // Something was showing before, so that clearing is seen too.
    bench.receive(jbAlertText({{"AlarmShallow", 0, 0, "Shallow Water"}, {"AlertDeep", 0, 1, "Deep Water"}}));
    QVERIFY(panel.isBlinking());
    bench.receive(jbAlertText({{"AlarmShallow", alarmState, 0, "Shallow Water"},
                               {"AlertDeep", warningState, 1, "Deep Water"}}));
    QCOMPARE(panel.alarmIconPath(), alarmIcon);
    QCOMPARE(panel.warningIconPath(), warningIcon);
    QCOMPARE(panel.isBlinking(), blinking);
    QCOMPARE(panel.findChild<QLabel *>("alarmIcon")->property("iconPath").toString(), alarmIcon);
    QCOMPARE(panel.isAlarmIconVisible(), !alarmIcon.isEmpty());
    QCOMPARE(panel.isWarningIconVisible(), !warningIcon.isEmpty());
}

void TestAlarmWidget::onlyUnacknowledgedGroupsBlink()
{
    AlertBench bench;
    AlarmWidget panel(&bench.alerts());
    bench.receive(jbAlertText({{"AlarmShallow", 2, 0, "Shallow Water"}, {"AlertDeep", 0, 1, "Deep Water"}}));
    QVERIFY(panel.isBlinking());
    QVERIFY(panel.isAlarmIconVisible());
    QVERIFY(panel.isWarningIconVisible());

    panel.toggleIcon();
    QVERIFY(panel.isAlarmIconVisible());
    QVERIFY(!panel.isWarningIconVisible());
    panel.toggleIcon();
    QVERIFY(panel.isWarningIconVisible());

    // The timer does the toggling by itself, twice a second.
    QTRY_VERIFY_WITH_TIMEOUT(!panel.isWarningIconVisible(), 2000);
    QTRY_VERIFY_WITH_TIMEOUT(panel.isWarningIconVisible(), 2000);
    QVERIFY(panel.isAlarmIconVisible());

    // Acknowledged while blanked: the icon comes back and stays.
    QTRY_VERIFY_WITH_TIMEOUT(!panel.isWarningIconVisible(), 2000);
    bench.receive(jbAlertText({{"AlarmShallow", 2, 0, "Shallow Water"}, {"AlertDeep", 2, 1, "Deep Water"}}));
    QVERIFY(!panel.isBlinking());
    QVERIFY(panel.isWarningIconVisible());
}

void TestAlarmWidget::dimmingFollowsAlarmAttention()
{
    AlertBench bench;
    AlarmWidget panel(&bench.alerts());
    QSignalSpy dimming(&panel, &AlarmWidget::changeDisplayDimming);

    bench.receive(jbAlertText({{"AlarmShallow", 0, 0, "Shallow Water"}}));
    QCOMPARE(dimming.count(), 1);
    QCOMPARE(dimming.at(0).at(0).toBool(), true);

    // Same attention for the alarms: nothing new, whatever the warnings do.
    bench.receive(jbAlertText({{"AlarmShallow", 0, 0, "Shallow Water"}, {"AlertDeep", 0, 1, "Deep Water"}}));
    QCOMPARE(dimming.count(), 1);

    // Alarms acknowledged while a warning still waits: the screen stays at alarm brightness.
    bench.receive(jbAlertText({{"AlarmShallow", 2, 0, "Shallow Water"}}));
    QCOMPARE(dimming.count(), 2);
    QCOMPARE(dimming.at(1).at(0).toBool(), true);

    bench.receive(jbAlertText({{"AlarmShallow", 4, 0, "Shallow Water"}, {"AlertDeep", 2, 1, "Deep Water"}}));
    bench.receive(jbAlertText({{"AlarmShallow", 5, 0, "Shallow Water"}}));
    QCOMPARE(dimming.count(), 4);
    QCOMPARE(dimming.at(3).at(0).toBool(), false);
}

void TestAlarmWidget::atMostThreeRowsWithArrows()
{
    AlertBench bench;
    AlarmWidget panel(&bench.alerts());
    bench.receive(jbAlertText({{"AlertDeep", 0, 1, "Deep Water"},
                               {"AlertBottomLost", 2, 1, "Bottom Lost"},
                               {"AlertSensorComms", 4, 1, "Sensor Comms"},
                               {"AlertPowerFailure", 5, 1, "Power Fail"},
                               {"AlertTest", 0, 0, "DPT Alert Test"},
                               {"AlarmShallow", 3, 0, "Shallow Water"}}));
    const QStringList all = {"Shallow Water", "DPT Alert Test", "Deep Water", "Bottom Lost", "Sensor Comms"};
    QCOMPARE(panel.activeAlertTexts(), all);
    QCOMPARE(panel.visibleRowTexts(), all.mid(0, 3));
    auto *up = panel.findChild<QWidget *>("upButton");
    auto *down = panel.findChild<QWidget *>("downButton");
    QVERIFY(!up->isEnabled());
    QVERIFY(down->isEnabled());

    panel.downButtonClicked();
    panel.downButtonClicked();
    QCOMPARE(panel.visibleRowTexts(), all.mid(2, 3));
    QVERIFY(!down->isEnabled());
    panel.downButtonClicked();
    QCOMPARE(panel.visibleRowTexts(), all.mid(2, 3));
    panel.upButtonClicked();
    QCOMPARE(panel.visibleRowTexts(), all.mid(1, 3));

    // The list shrinks under a scrolled view: the view moves back rather than showing blanks.
    bench.receive(jbAlertText({{"AlertDeep", 5, 1, "Deep Water"},
                               {"AlertBottomLost", 5, 1, "Bottom Lost"},
                               {"AlertSensorComms", 5, 1, "Sensor Comms"}}));
    QCOMPARE(panel.visibleRowTexts(), all.mid(0, 2));
    QCOMPARE(panel.firstVisibleRow(), 0);

    panel.setMaximumRows(1);
    QCOMPARE(panel.visibleRowTexts(), all.mid(0, 1));
}

void TestAlarmWidget::acknowledgeTakesTextOfRow()
{
    AlertBench bench;
    AlarmWidget panel(&bench.alerts());
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    QSignalSpy sent(&bench.settings(), &SerializationController::runtimeChangeToSend);
    QSignalSpy acked(&panel, &AlarmWidget::ackAlerts);
    QSignalSpy ackChanged(bench.mirror(), &ES_Alerts::AckFromDisplayChanged);
    bench.receive(jbAlertText({{"AlarmShallow", 0, 0, "Shallow Water"}, {"AlertDeep", 0, 1, "Deep Water"},
                               {"AlertBottomLost", 0, 1, "Bottom Lost"}, {"AlertTest", 0, 0, "DPT Alert Test"}}));
    ackChanged.clear();
    panel.downButtonClicked();

    panel.ackClicked(1); // second row on screen after scrolling: "Deep Water"
    QCOMPARE(bench.mirror()->AckFromDisplay(), QStringLiteral("Deep Water"));
    QCOMPARE(ackChanged.count(), 1);
    QCOMPARE(ackChanged.at(0).at(0).toString(), QStringLiteral("Deep Water"));
    QCOMPARE(acked.count(), 1);
    QCOMPARE(sent.count(), 1);
    QVERIFY(sent.at(0).at(0).toString().endsWith(",AckFromDisplay=Deep Water"));

    panel.ackClicked(3);
    panel.ackClicked(-1);
    QCOMPARE(acked.count(), 1);
    QCOMPARE(sent.count(), 1);

    // "Acknowledge" takes the selected row, the top one unless another was chosen.
    panel.upButtonClicked();
    QTest::mouseClick(panel.findChild<QWidget *>("ackButton"), Qt::LeftButton);
    QCOMPARE(sent.count(), 2);
    QVERIFY(sent.at(1).at(0).toString().endsWith(",AckFromDisplay=Shallow Water"));
    QTest::mouseClick(panel.findChild<QWidget *>("alertRow2"), Qt::LeftButton);
    QCOMPARE(panel.selectedRow(), 2);
    panel.buttonClicked();
    QVERIFY(sent.at(2).at(0).toString().endsWith(",AckFromDisplay=Deep Water"));
}

void TestAlarmWidget::linkLossShowsOnlyCommunicationAlert()
{
    AlertBench bench;
    AlarmWidget panel(&bench.alerts());
    QSignalSpy path(&panel, &AlarmWidget::alarmPath);
    bench.receive(jbAlertText({{"AlarmShallow", 0, 0, "Shallow Water"}, {"AlertDeep", 2, 1, "Deep Water"},
                               {"AlertTest", 4, 0, "DPT Alert Test"}}));
    QCOMPARE(panel.activeAlertTexts().size(), 3);
    QCOMPARE(path.last().at(0).toString(), base + "ActiveUnacknowledged.png");

    bench.loseLink();
    QTRY_COMPARE(panel.activeAlertTexts(), QStringList{"KX12 Comms Fail"});
    QCOMPARE(panel.alarmIconPath(), QString());
    QCOMPARE(panel.warningIconPath(), base + "W_ActiveUnacknowledged.png");
    QVERIFY(panel.isBlinking());
    QCOMPARE(path.last().at(0).toString(), base + "W_ActiveUnacknowledged.png");

    // Acknowledged on the panel, then the junction box returns: nothing left.
    panel.ackClicked(0);
    QCOMPARE(panel.warningIconPath(), base + "W_ActiveAcknowedged.png");
    QVERIFY(!panel.isBlinking());
    bench.restoreLink();
    QVERIFY(panel.activeAlertTexts().isEmpty());
    QCOMPARE(path.last().at(0).toString(), QString());
}

void TestAlarmWidget::doubtfulDataIsNotShown_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("shown");

    const QStringList before = {"Shallow Water", "Deep Water"};
    QTest::newRow("unknown child") << "Type_Alert,SingleProperty,ESAlerts,AlarmNowhere,AlertState=0" << before;
    QTest::newRow("unknown child in complete text")
        << jbAlertText({{"AlarmNowhere", 0, 0, "Ghost"}, {"AlertBottomLost", 0, 1, "Bottom Lost"}})
        << QStringList{"Shallow Water", "Deep Water", "Bottom Lost"};
    QTest::newRow("state out of range") << "Type_Alert,SingleProperty,ESAlerts,AlarmShallow,AlertState=9"
                                        << QStringList{"Deep Water"};
    QTest::newRow("negative state") << "Type_Alert,SingleProperty,ESAlerts,AlertDeep,AlertState=-1"
                                    << QStringList{"Shallow Water"};
    QTest::newRow("priority out of range") << "Type_Alert,SingleProperty,ESAlerts,AlertDeep,AlertPriority=7"
                                           << QStringList{"Shallow Water"};
    QTest::newRow("emergency alarm with alarms") << "Type_Alert,SingleProperty,ESAlerts,AlertDeep,AlertPriority=3"
                                                 << QStringList{"Shallow Water", "Deep Water"};
    QTest::newRow("state emptied") << "Type_Alert,SingleProperty,ESAlerts,AlarmShallow,AlertState="
                                   << QStringList{"Deep Water"};
    QTest::newRow("truncated in a state")
        << "Type_Alert,AckFromDisplay==T,SerializableClass1=AlarmShallow,AlertState=" << QStringList{"Deep Water"};
    QTest::newRow("truncated in a name")
        << "Type_Alert,AckFromDisplay==T,SerializableClass1=AlertDeep,AlertState=5=T,Alert" << QStringList{"Shallow Water"};
    QTest::newRow("state not a number") << "Type_Alert,SingleProperty,ESAlerts,AlarmShallow,AlertState=x" << before;
}

void TestAlarmWidget::doubtfulDataIsNotShown()
{
    QFETCH(QString, text);
    QFETCH(QStringList, shown);

    AlertBench bench;
    AlarmWidget panel(&bench.alerts());
    bench.receive(jbAlertText({{"AlarmShallow", 0, 0, "Shallow Water"}, {"AlertDeep", 0, 1, "Deep Water"}}));
    bench.receive(text);
    QCOMPARE(panel.activeAlertTexts(), shown);
    if (!shown.contains(QStringLiteral("Shallow Water")))
        QCOMPARE(panel.alarmIconPath(), QString());
}

void TestAlarmWidget::panelLooks()
{
    AlertBench bench;
    AlarmWidget panel(&bench.alerts());
    panel.resize(400, 160);
    const QImage shot = panel.grab().toImage();
    QCOMPARE(QColor(shot.pixel(1, 1)), QColor(84, 84, 84));
    QVERIFY(panel.findChild<QPushButton *>("ackButton"));
    QCOMPARE(panel.findChild<QPushButton *>("ackButton")->text(), QStringLiteral("Acknowledge"));

    bench.receive(jbAlertText({{"AlarmShallow", 0, 0, "Shallow Water"}}));
    auto *alarm = panel.findChild<QLabel *>("alarmIcon");
    QCOMPARE(alarm->pixmap(Qt::ReturnByValue).width(), 48);
    panel.changeAlarmIconSize(64);
    QCOMPARE(alarm->pixmap(Qt::ReturnByValue).width(), 64);

    // Each state has a picture of its own.
    AlertIconPainter painter;
    QSet<qint64> looks;
    for (int group : {0, 1}) {
        for (int state = 0; state < 5; ++state) {
            const QImage img = painter.pixmap(AlertVocabulary::iconPath(group, state), 32).toImage();
            QVERIFY(!img.isNull());
            looks.insert(qHash(QByteArray(reinterpret_cast<const char *>(img.constBits()), int(img.sizeInBytes()))));
        }
    }
    QCOMPARE(looks.size(), 10);
    QVERIFY(painter.pixmap(QStringLiteral("://Resources/Nothing.png"), 32).isNull());

    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    panel.setMuteIconVisible(true);
    panel.setSimulatorIconVisible(true);
    QVERIFY(!panel.findChild<QLabel *>("muteIcon")->pixmap(Qt::ReturnByValue).isNull());
    QVERIFY(!panel.findChild<QLabel *>("simulatorIcon")->pixmap(Qt::ReturnByValue).isNull());

    // Closed by the operator, the list opens again for a new alert that needs attention.
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
