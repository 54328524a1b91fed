#include "alertbench.h"
#include "alertvocabulary.h"

#include <QSignalSpy>
#include <QtTest>

// The unit's own communication alert and the acknowledgement path, driven through the settings
// controller as the network side drives it.
class TestAlertMirror : public QObject
{
    Q_OBJECT

private slots:
    void linkLossLeavesOnlyCommunicationAlert();
    void communicationAlertStateTable_data();
    void communicationAlertStateTable();
    void acknowledgementPath();
};

void TestAlertMirror::linkLossLeavesOnlyCommunicationAlert()
{
    AlertBench bench;
    bench.receive(jbAlertText({{"AlarmShallow", 0, 0, "Shallow Water"}, {"AlertDeep", 2, 1, "Deep Water"},
                               {"AlertBottomLost", 4, 1, "Bottom Lost"}}));
    QSignalSpy shallowChanged(bench.mirror()->AlarmShallow(), &SerializableAlertInfo::AlertStateChanged);
    bench.loseLink();
    QCOMPARE(shallowChanged.count(), 1);
    QStringList active;
    for (SerializableAlertInfo *a : bench.mirror()->alerts()) {
        if (a->AlertState() != AlertVocabulary::Normal)
            active << a->objectName() + "/" + a->AlertText() + "/" + QString::number(a->AlertPriority());
    }
    QCOMPARE(active, QStringList{"AlertDisplayError/KX12 Comms Fail/1"});
    QCOMPARE(bench.localState(), 0);

    // The junction box's data, published or single, does not touch the unit's own alert.
    bench.receive(jbAlertText({{"AlertDisplayError", 5, 0, "Something else"}}));
    bench.receive(QStringLiteral("Type_Alert,SingleProperty,ESAlerts,AlertDisplayError,AlertState=5"));
    QCOMPARE(bench.localState(), 0);
    QCOMPARE(bench.mirror()->AlertDisplayError()->AlertText(), QStringLiteral("KX12 Comms Fail"));
}

void TestAlertMirror::communicationAlertStateTable_data()
{
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QList<int>>("states");

    QTest::newRow("ack then restore") << QStringList{"lose", "ack", "restore"} << QList<int>{0, 2, 5};
    QTest::newRow("restore then ack") << QStringList{"lose", "restore", "ack"} << QList<int>{0, 4, 5};
    QTest::newRow("restored but never lost") << QStringList{"restore", "ack"} << QList<int>{5, 5};
    QTest::newRow("acked, still silent") << QStringList{"lose", "ack", "lose", "ack"} << QList<int>{0, 2, 2, 2};
    QTest::newRow("normal, lost again") << QStringList{"lose", "ack", "restore", "lose"} << QList<int>{0, 2, 5, 0};
    QTest::newRow("rectified, lost again") << QStringList{"lose", "restore", "lose"} << QList<int>{0, 4, 0};
}

void TestAlertMirror::communicationAlertStateTable()
{
    QFETCH(QStringList, events);
    QFETCH(QList<int>, states);

    AlertBench bench;
    QSignalSpy sent(&bench.settings, &SerializationController::runtimeChangeToSend);
    QSignalSpy applied(bench.mirror(), &ES_Alerts::dataReceivedFromCommunication);
    for (int i = 0; i < events.size(); ++i) {
        const int before = applied.count();
        if (events.at(i) == QLatin1String("lose")) {
            bench.loseLink();
        } else if (events.at(i) == QLatin1String("restore")) {
            bench.restoreLink();
        } else {
            bench.alerts.acknowledgeFromDisplay(QStringLiteral("KX12 Comms Fail"));
            QCOMPARE(applied.count(), before + 1);
        }
        QCOMPARE(bench.localState(), states.at(i));
    }
    // The own alert is never acknowledged at the junction box.
    QCOMPARE(sent.count(), 0);
}

void TestAlertMirror::acknowledgementPath()
{
    AlertBench bench;
    QSignalSpy sent(&bench.settings, &SerializationController::runtimeChangeToSend);
    bench.alerts.acknowledgeFromDisplay(QStringLiteral("Shallow Water"));
    // Even a text that no mirrored alert carries goes out unchanged; the junction box decides.
    bench.alerts.acknowledgeFromDisplay(QStringLiteral("Sensor Gone"));
    QCOMPARE(sent.count(), 2);
    QCOMPARE(sent.at(0).at(0).toString(), QStringLiteral("Type_Alert,SingleProperty,ESAlerts,AckFromDisplay=Shallow Water"));
    QCOMPARE(sent.at(1).at(0).toString(), QStringLiteral("Type_Alert,SingleProperty,ESAlerts,AckFromDisplay=Sensor Gone"));

    // The junction box publishes the text back, singly and inside its complete alert data; sending
    // it again would acknowledge a later alert of that text that nobody has seen.
    bench.receive(QStringLiteral("Type_Alert,SingleProperty,ESAlerts,AckFromDisplay=Shallow Water"));
    bench.receive(jbAlertText({{"AlarmShallow", 2, 0, "Shallow Water"}}, QStringLiteral("Shallow Water")));
    bench.receive(jbAlertText({{"AlarmShallow", 0, 0, "Shallow Water"}}));
    QCOMPARE(sent.count(), 2);

    // Nor does a received "KX12 Comms Fail" acknowledge the own alert.
    bench.loseLink();
    bench.receive(QStringLiteral("Type_Alert,SingleProperty,ESAlerts,AckFromDisplay=KX12 Comms Fail"));
    QCOMPARE(bench.localState(), 0);
    QCOMPARE(sent.count(), 2);
}

QTEST_GUILESS_MAIN(TestAlertMirror)
#include "tst_alertmirror.moc"
