#include "esalerts.h"
#include "essetup.h"
#include "simulatedalertmanager.h"

#include <QSignalSpy>
#include <QtTest>

// The simulated junction box's alert management.
class TestSimulatedAlerts : public QObject
{
    Q_OBJECT

private slots:
    void shallowAlarmStates_data();
    void shallowAlarmStates();
    void deepBottomLostAndPublishing();
    void unacknowledgedAlertsEscalate();
    void takesOnlyAcknowledgementsFromDisplay();
};

void TestSimulatedAlerts::shallowAlarmStates_data()
{
    // Steps: a depth in metres, "ack" for an acknowledgement of "Shallow Water", or "limit 5".
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QList<int>>("states");

    QTest::newRow("acknowledged, then clear") << QStringList{"12", "8", "ack", "12"} << QList<int>{5, 0, 2, 5};
    QTest::newRow("clear, then acknowledged") << QStringList{"8", "12", "ack"} << QList<int>{0, 4, 5};
    QTest::newRow("back before acknowledged") << QStringList{"8", "12", "9"} << QList<int>{0, 4, 0};
    QTest::newRow("nothing to acknowledge") << QStringList{"12", "ack", "10"} << QList<int>{5, 5, 5};
    QTest::newRow("depth lost") << QStringList{"8", "-100"} << QList<int>{0, 4};
    QTest::newRow("limit lowered") << QStringList{"7", "limit 5"} << QList<int>{0, 4};
}

void TestSimulatedAlerts::shallowAlarmStates()
{
    QFETCH(QStringList, steps);
    QFETCH(QList<int>, states);

    ESAlertSetup setup;
    setup.setDefaultValues();
    SimulatedAlertManager jb;
    jb.followAlertSetup(&setup);
    for (int i = 0; i < steps.size(); ++i) {
        const QString &step = steps.at(i);
        if (step == QLatin1String("ack"))
            jb.acknowledge(QStringLiteral("Shallow Water"));
        else if (step.startsWith(QLatin1String("limit")))
            setup.setAlarmShallow(step.mid(6).toDouble());
        else
            jb.updateDepth(step.toDouble(), false);
        QCOMPARE(jb.state("AlarmShallow"), states.at(i));
    }
}

void TestSimulatedAlerts::deepBottomLostAndPublishing()
{
    SimulatedAlertManager jb;
    QSignalSpy publish(&jb, &SimulatedAlertManager::publishRequested);
    jb.updateDepth(5000, false);
    QCOMPARE(jb.state("AlertDeep"), 5); // 0 m switches it off
    QCOMPARE(publish.count(), 0);

    jb.setAlertDeep(150);
    jb.updateDepth(4000, false);
    QCOMPARE(jb.state("AlertDeep"), 0);
    QCOMPARE(publish.count(), 1);
    const QString text = publish.at(0).at(0).toString();
    QCOMPARE(text, jb.completeText());
    QVERIFY(text.contains(",SerializableClass1=AlertDeep,AlertState=0=T,AlertCategory=1=T,AlertPriority=1=T,"));

    // Losing the bottom takes the depth away: deep rectified, shallow not raised, bottom lost raised.
    jb.updateDepth(3, true);
    QCOMPARE(jb.state("AlertDeep"), 4);
    QCOMPARE(jb.state("AlarmShallow"), 5);
    QCOMPARE(jb.state("AlertBottomLost"), 0);
    QCOMPARE(publish.count(), 2);

    QVERIFY(jb.setCondition("AlertSensorComms", true));
    QVERIFY(!jb.setCondition("AlertNowhere", true));
    // One text acknowledges the alerts that carry it and no others.
    QVERIFY(jb.acknowledge(QStringLiteral("Bottom Lost")));
    QVERIFY(!jb.acknowledge(QStringLiteral("Nothing Like It")));
    QCOMPARE(jb.state("AlertBottomLost"), 2);
    QCOMPARE(jb.state("AlertSensorComms"), 0);
    QCOMPARE(publish.count(), 4);
}

void TestSimulatedAlerts::unacknowledgedAlertsEscalate()
{
    ESAlertSetup setup;
    setup.setDefaultValues();
    SimulatedAlertManager jb;
    jb.followAlertSetup(&setup);
    QCOMPARE(jb.escalationSeconds(), 240); // the default choice, 4 minutes
    setup.setEscalationTime(0);
    jb.updateDepth(4, false);
    jb.setCondition("AlertSensorComms", true);
    SerializableAlertInfo *comms = jb.alerts()->AlertSensorComms();
    QSignalSpy publish(&jb, &SimulatedAlertManager::publishRequested);
    for (int s = 1; s < 60; ++s)
        jb.tick();
    QCOMPARE(publish.count(), 0);
    jb.tick();
    QCOMPARE(publish.count(), 1);
    // A warning becomes an alarm; an alarm stays one and counts.
    QCOMPARE(comms->AlertPriority(), 0);
    QCOMPARE(comms->EscalationCounter(), 1);
    QCOMPARE(jb.alerts()->AlarmShallow()->AlertPriority(), 0);
    QCOMPARE(jb.alerts()->AlarmShallow()->EscalationCounter(), 1);

    jb.acknowledge(QStringLiteral("Sensor Comms"));
    for (int s = 0; s < 60; ++s)
        jb.tick();
    QCOMPARE(comms->EscalationCounter(), 1);
    QCOMPARE(jb.alerts()->AlarmShallow()->EscalationCounter(), 2);
    jb.setCondition("AlertSensorComms", false);
    QCOMPARE(comms->AlertPriority(), 1);
    QCOMPARE(comms->EscalationCounter(), 0);
}

void TestSimulatedAlerts::takesOnlyAcknowledgementsFromDisplay()
{
    SimulatedAlertManager jb;
    jb.updateDepth(4, false);
    jb.deserializeData(QStringLiteral("Type_Alert,SingleProperty,ESAlerts,AlarmShallow,AlertState=5"));
    jb.deserializeData(QStringLiteral("Type_Alert,SingleProperty,ESAlerts,AckFromDisplay"));
    jb.deserializeData(QStringLiteral("Type_Setup,SingleProperty,ESAlerts,AckFromDisplay=Shallow Water"));
    jb.deserializeData(QStringLiteral("Type_Alert,AckFromDisplay=Shallow Water=T,SerializableClass1=AlarmShallow,"
                                      "AlertState=5=T,AlertText=Shallow Water=T"));
    QCOMPARE(jb.state("AlarmShallow"), 0);

    jb.deserializeData(QStringLiteral("Type_AlertNoAck,SingleProperty,ESAlerts,AckFromDisplay=Shallow Water"));
    QCOMPARE(jb.state("AlarmShallow"), 2);
}

QTEST_MAIN(TestSimulatedAlerts)
#include "tst_simulatedalerts.moc"
