#include "alarmwidget.h"
#include "alertbench.h"
#include "alertvocabulary.h"
#include "essetup.h"
#include "simulatedalertmanager.h"

#include <QSignalSpy>
#include <QtTest>

// The simulated junction box's alert management, alone and talking to the display's side in process.
class TestSimulatedAlerts : public QObject
{
    Q_OBJECT

private slots:
    void shallowAlarmStates_data();
    void shallowAlarmStates();
    void deepAndBottomLost();
    void publishesOnlyChanges();
    void takesOnlyAcknowledgementsFromDisplay();
    void followsAlertSettings();
    void displayMirrorsAndAcknowledges();
};

namespace {
const QString shallow = QStringLiteral("AlarmShallow");
}

void TestSimulatedAlerts::shallowAlarmStates_data()
{
    // Steps: a depth in metres, or "ack" for an acknowledgement of "Shallow Water".
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QList<int>>("states");

    QTest::newRow("raised") << QStringList{"12", "8"} << QList<int>{5, 0};
    QTest::newRow("acknowledged, then clear") << QStringList{"8", "ack", "12"} << QList<int>{0, 2, 5};
    QTest::newRow("clear, then acknowledged") << QStringList{"8", "12", "ack"} << QList<int>{0, 4, 5};
    QTest::newRow("back before acknowledged") << QStringList{"8", "12", "9"} << QList<int>{0, 4, 0};
    QTest::newRow("ack when nothing to ack") << QStringList{"12", "ack"} << QList<int>{5, 5};
    QTest::newRow("at the limit is not shallow") << QStringList{"10"} << QList<int>{5};
    QTest::newRow("no depth is not shallow") << QStringList{"8", "-100"} << QList<int>{0, 4};
}

void TestSimulatedAlerts::shallowAlarmStates()
{
    QFETCH(QStringList, steps);
    QFETCH(QList<int>, states);

    SimulatedAlertManager jb;
    QCOMPARE(jb.alarmShallow(), 10.0);
    for (int i = 0; i < steps.size(); ++i) {
        if (steps.at(i) == QLatin1String("ack"))
            jb.acknowledge(QStringLiteral("Shallow Water"));
        else
            jb.updateDepth(steps.at(i).toDouble(), false);
        QCOMPARE(jb.state(shallow), states.at(i));
    }
}

void TestSimulatedAlerts::deepAndBottomLost()
{
    SimulatedAlertManager jb;
    jb.updateDepth(5000, false);
    QCOMPARE(jb.state("AlertDeep"), 5); // 0 m switches it off

    jb.setAlertDeep(150);
    QCOMPARE(jb.state("AlertDeep"), 0);
    QCOMPARE(jb.alerts()->AlertDeep()->AlertPriority(), 1);
    QCOMPARE(jb.alerts()->AlertDeep()->AlertText(), QStringLiteral("Deep Water"));

    // Losing the bottom takes the depth away: deep rectified, shallow not raised, bottom lost raised.
    jb.updateDepth(3, true);
    QCOMPARE(jb.state("AlertDeep"), 4);
    QCOMPARE(jb.state(shallow), 5);
    QCOMPARE(jb.state("AlertBottomLost"), 0);
    QVERIFY(jb.condition("AlertBottomLost"));

    QVERIFY(jb.setCondition("AlertSensorComms", true));
    QCOMPARE(jb.state("AlertSensorComms"), 0);
    QVERIFY(!jb.setCondition("AlertNowhere", true));
    QCOMPARE(jb.state("AlertNowhere"), -1);

    // One text acknowledges every alert that carries it, and only those.
    jb.acknowledge(QStringLiteral("Bottom Lost"));
    QCOMPARE(jb.state("AlertBottomLost"), 2);
    QCOMPARE(jb.state("AlertSensorComms"), 0);
    QCOMPARE(jb.alerts()->AlertBottomLost()->ActionSource(), QStringLiteral("CU"));
}

void TestSimulatedAlerts::publishesOnlyChanges()
{
    SimulatedAlertManager jb;
    QSignalSpy publish(&jb, &SimulatedAlertManager::publishRequested);
    jb.updateDepth(20, false);
    jb.updateDepth(21, false);
    QCOMPARE(publish.count(), 0);

    jb.updateDepth(4, false);
    QCOMPARE(publish.count(), 1);
    const QString text = publish.at(0).at(0).toString();
    QVERIFY(text.startsWith("Type_Alert,"));
    QVERIFY(text.contains("SerializableClass1=AlarmShallow,AlertState=0=T,"));
    QCOMPARE(text, jb.completeText());
    const int revision = jb.alerts()->AlarmShallow()->RevisionCounter();

    jb.updateDepth(3, false);
    jb.acknowledge(QStringLiteral("Nothing Like It"));
    QCOMPARE(publish.count(), 1);
    jb.acknowledge(QStringLiteral("Shallow Water"));
    QCOMPARE(publish.count(), 2);
    QCOMPARE(jb.alerts()->AlarmShallow()->RevisionCounter(), revision + 1);
}

void TestSimulatedAlerts::takesOnlyAcknowledgementsFromDisplay()
{
    SimulatedAlertManager jb;
    jb.updateDepth(4, false);
    jb.deserializeData(QStringLiteral("Type_Alert,SingleProperty,ESAlerts,AlarmShallow,AlertState=5"));
    jb.deserializeData(QStringLiteral("Type_Alert,SingleProperty,ESAlerts,AckFromDisplay"));
    jb.deserializeData(QStringLiteral("Type_Setup,SingleProperty,ESAlerts,AckFromDisplay=Shallow Water"));
    jb.deserializeData(jbAlertText({{"AlarmShallow", 5, 0, "Shallow Water"}}, QStringLiteral("Shallow Water")));
    QCOMPARE(jb.state(shallow), 0);

    jb.deserializeData(QStringLiteral("Type_AlertNoAck,SingleProperty,ESAlerts,AckFromDisplay=Shallow Water"));
    QCOMPARE(jb.state(shallow), 2);
}

void TestSimulatedAlerts::followsAlertSettings()
{
    ESAlertSetup setup;
    setup.setDefaultValues();
    SimulatedAlertManager jb;
    jb.followAlertSetup(&setup);
    jb.updateDepth(7, false);
    QCOMPARE(jb.state(shallow), 0);

    setup.setAlarmShallow(5);
    QCOMPARE(jb.state(shallow), 4);
    setup.setAlertDeep(120);
    QCOMPARE(jb.state("AlertDeep"), 5);
    jb.updateDepth(130, false);
    QCOMPARE(jb.state("AlertDeep"), 0);
}

void TestSimulatedAlerts::displayMirrorsAndAcknowledges()
{
    AlertBench cu;
    SimulatedAlertManager jb;
    AlarmWidget panel(&cu.alerts());
    QObject::connect(&jb, &SimulatedAlertManager::publishRequested, &cu.settings(),
                     &SerializationController::deserializeData);
    QObject::connect(&cu.settings(), &SerializationController::runtimeChangeToSend, &jb,
                     &SimulatedAlertManager::deserializeData);
    QSignalSpy publish(&jb, &SimulatedAlertManager::publishRequested);

    jb.updateDepth(3, false);
    QCOMPARE(panel.activeAlertTexts(), QStringList{"Shallow Water"});
    QCOMPARE(panel.alarmIconPath(), QStringLiteral("://Resources/ActiveUnacknowledged.png"));
    QVERIFY(panel.isBlinking());

    panel.ackClicked(0);
    QCOMPARE(jb.state(shallow), 2);
    QCOMPARE(panel.alarmIconPath(), QStringLiteral("://Resources/ActiveAcknowedged.png"));
    QVERIFY(!panel.isBlinking());

    // The next publication carries the acknowledgement text back; it acknowledges nothing new.
    jb.updateDepth(12, false);
    QVERIFY(panel.activeAlertTexts().isEmpty());
    jb.updateDepth(3, false);
    QCOMPARE(jb.state(shallow), 0);
    QVERIFY(panel.isBlinking());
    QCOMPARE(publish.count(), 4);
}

QTEST_MAIN(TestSimulatedAlerts)
#include "tst_simulatedalerts.moc"
