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
    void vocabularyMatchesMirrorClass();
    void linkLossLeavesOnlyCommunicationAlert();
    void communicationAlertStateTable_data();
    void communicationAlertStateTable();
    void junctionBoxDataCannotTouchOwnAlert();
    void acknowledgementsGoToJunctionBox();
    void echoedAcknowledgementIsNotSentAgain();
};

void TestAlertMirror::vocabularyMatchesMirrorClass()
{
    const QList<AlertDescriptor> &rows = AlertVocabulary::descriptors();
    ES_Alerts mirror;
    const QList<SerializableAlertInfo *> children = mirror.alerts();
    QCOMPARE(rows.size(), children.size());
    for (int i = 0; i < rows.size(); ++i)
        QCOMPARE(rows.at(i).name, children.at(i)->objectName());
    const AlertDescriptor *local = AlertVocabulary::descriptor(QStringLiteral("AlertDisplayError"));
    QVERIFY(local);
    QCOMPARE(local->text, QStringLiteral("KX12 Comms Fail"));
    QCOMPARE(local->priority, int(AlertVocabulary::Warning));
    QCOMPARE(AlertVocabulary::descriptor(QStringLiteral("AlertDeep"))->escalation, 2);

    bool threw = false;
    try {
        AlertVocabulary::parseDescriptors(QStringLiteral("AlarmShallow,Shallow Water,230,Loud,CatA,None"));
    } catch (const char *) {
        threw = true;
    }
    QVERIFY(threw);
}

void TestAlertMirror::linkLossLeavesOnlyCommunicationAlert()
{
    AlertBench bench;
    bench.receive(jbAlertText({{"AlarmShallow", 0, 0, "Shallow Water"},
                               {"AlertDeep", 2, 1, "Deep Water"},
                               {"AlertBottomLost", 4, 1, "Bottom Lost"}}));
    QCOMPARE(bench.mirror()->AlarmShallow()->AlertState(), 0);

    QSignalSpy shallowChanged(bench.mirror()->AlarmShallow(), &SerializableAlertInfo::AlertStateChanged);
    QSignalSpy link(&bench.settings(), &SerializationController::commsToKX12StateChanged);
    bench.loseLink();
    QCOMPARE(link.count(), 1);
    QVERIFY(bench.alerts().isCommunicationLost());
    QCOMPARE(shallowChanged.count(), 1);

    int active = 0;
    for (SerializableAlertInfo *a : bench.mirror()->alerts()) {
        if (a->AlertState() != AlertVocabulary::Normal)
            ++active;
    }
    QCOMPARE(active, 1);
    SerializableAlertInfo *local = bench.mirror()->AlertDisplayError();
    QCOMPARE(local->AlertState(), int(AlertVocabulary::ActiveUnacknowledged));
    QCOMPARE(local->AlertText(), QStringLiteral("KX12 Comms Fail"));
    QCOMPARE(local->AlertPriority(), 1);

    // Further silent seconds do not raise it again.
    QSignalSpy localChanged(&bench.alerts(), &AlertMirrorController::localAlertStateChanged);
    bench.loseLink();
    QCOMPARE(localChanged.count(), 0);
}

void TestAlertMirror::communicationAlertStateTable_data()
{
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QList<int>>("states");

    QTest::newRow("lost") << QStringList{"lose"} << QList<int>{0};
    QTest::newRow("ack then restore") << QStringList{"lose", "ack", "restore"} << QList<int>{0, 2, 5};
    QTest::newRow("restore then ack") << QStringList{"lose", "restore", "ack"} << QList<int>{0, 4, 5};
    QTest::newRow("restored but never lost") << QStringList{"restore"} << QList<int>{5};
    QTest::newRow("ack while normal") << QStringList{"ack"} << QList<int>{5};
    QTest::newRow("acked, still silent") << QStringList{"lose", "ack", "lose"} << QList<int>{0, 2, 2};
    QTest::newRow("normal, lost again") << QStringList{"lose", "ack", "restore", "lose"} << QList<int>{0, 2, 5, 0};
    QTest::newRow("rectified, lost again") << QStringList{"lose", "restore", "lose", "ack"}
                                           << QList<int>{0, 4, 0, 2};
    QTest::newRow("ack twice") << QStringList{"lose", "ack", "ack", "restore"} << QList<int>{0, 2, 2, 5};
}

void TestAlertMirror::communicationAlertStateTable()
{
    QFETCH(QStringList, events);
    QFETCH(QList<int>, states);

    AlertBench bench;
    QSignalSpy sent(&bench.settings(), &SerializationController::runtimeChangeToSend);
    QSignalSpy applied(bench.mirror(), &ES_Alerts::dataReceivedFromCommunication);
    for (int i = 0; i < events.size(); ++i) {
        const QString &e = events.at(i);
        const int before = applied.count();
        if (e == QLatin1String("lose")) {
            bench.loseLink();
        } else if (e == QLatin1String("restore")) {
            bench.restoreLink();
        } else {
            bench.alerts().acknowledgeFromDisplay(QStringLiteral("KX12 Comms Fail"));
            QCOMPARE(applied.count(), before + 1);
        }
        QCOMPARE(bench.localState(), states.at(i));
    }
    // The own alert is never acknowledged at the junction box.
    QCOMPARE(sent.count(), 0);
}

void TestAlertMirror::junctionBoxDataCannotTouchOwnAlert()
{
    AlertBench bench;
    bench.loseLink();
    bench.receive(jbAlertText({{"AlertDisplayError", 5, 0, "Something else"}, {"AlarmShallow", 0, 0, "Shallow Water"}}));
    SerializableAlertInfo *local = bench.mirror()->AlertDisplayError();
    QCOMPARE(local->AlertState(), 0);
    QCOMPARE(local->AlertText(), QStringLiteral("KX12 Comms Fail"));
    QCOMPARE(local->AlertPriority(), 1);
    QCOMPARE(bench.mirror()->AlarmShallow()->AlertState(), 0);

    bench.receive(QStringLiteral("Type_Alert,SingleProperty,ESAlerts,AlertDisplayError,AlertState=5"));
    QCOMPARE(local->AlertState(), 0);

    // A real restore follows the table.
    bench.restoreLink();
    QCOMPARE(bench.localState(), 4);
}

void TestAlertMirror::acknowledgementsGoToJunctionBox()
{
    AlertBench bench;
    QSignalSpy sent(&bench.settings(), &SerializationController::runtimeChangeToSend);
    QSignalSpy told(&bench.alerts(), &AlertMirrorController::acknowledgementSent);

    bench.alerts().acknowledgeFromDisplay(QStringLiteral("Shallow Water"));
    QCOMPARE(sent.count(), 1);
    QCOMPARE(sent.at(0).at(0).toString(), QStringLiteral("Type_Alert,SingleProperty,ESAlerts,AckFromDisplay=Shallow Water"));
    QCOMPARE(told.count(), 1);

    // Even a text no mirrored alert carries goes out unchanged; the junction box decides.
    bench.alerts().acknowledgeFromDisplay(QStringLiteral("Sensor Gone"));
    QCOMPARE(sent.count(), 2);
    QCOMPARE(sent.at(1).at(0).toString(), QStringLiteral("Type_Alert,SingleProperty,ESAlerts,AckFromDisplay=Sensor Gone"));

    // The own alert while active is acknowledged here and nothing travels.
    bench.loseLink();
    bench.alerts().acknowledgeFromDisplay(QStringLiteral("KX12 Comms Fail"));
    QCOMPARE(sent.count(), 2);
    QCOMPARE(bench.localState(), 2);
}

void TestAlertMirror::echoedAcknowledgementIsNotSentAgain()
{
    AlertBench bench;
    QSignalSpy sent(&bench.settings(), &SerializationController::runtimeChangeToSend);
    bench.alerts().acknowledgeFromDisplay(QStringLiteral("Shallow Water"));
    QCOMPARE(sent.count(), 1);

    // The junction box publishes the acknowledgement text back, as a single change and inside its
    // complete alert data; neither may acknowledge again.
    bench.receive(QStringLiteral("Type_Alert,SingleProperty,ESAlerts,AckFromDisplay=Shallow Water"));
    bench.receive(jbAlertText({{"AlarmShallow", 2, 0, "Shallow Water"}}, QStringLiteral("Shallow Water")));
    bench.receive(jbAlertText({{"AlarmShallow", 0, 0, "Shallow Water"}}));
    QCOMPARE(sent.count(), 1);

    // A received "KX12 Comms Fail" does not acknowledge the own alert either.
    bench.loseLink();
    bench.receive(QStringLiteral("Type_Alert,SingleProperty,ESAlerts,AckFromDisplay=KX12 Comms Fail"));
    QCOMPARE(bench.localState(), 0);
}

QTEST_GUILESS_MAIN(TestAlertMirror)
#include "tst_alertmirror.moc"
