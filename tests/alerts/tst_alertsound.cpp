#include "alertbench.h"
#include "alertsound.h"

#include <QSignalSpy>
#include <QtTest>

// What the buzzer must play, from the alert states the junction box publishes and the unit's own
// communication alert.
class TestAlertSound : public QObject
{
    Q_OBJECT

private slots:
    void patternPerPriorityAndState();
    void mostUrgentAlertIsHeard();
};

void TestAlertSound::patternPerPriorityAndState()
{
    // Priorities Alarm, Alert (a warning), Caution, EmergencyAlarm; states 0 to 5. Only an
    // active alert not yet acknowledged sounds, and never a caution.
    const QList<int> alarm{500, 500}, warning{150, 150, 150, 9550}, emergency{200, 200};
    const QList<QList<int>> heard = {alarm, warning, {}, emergency};
    for (int priority = 0; priority < 4; ++priority) {
        for (int state = 0; state <= 5; ++state)
            QCOMPARE(AlertSound::patternFor(priority, state), state == 0 ? heard[priority] : QList<int>());
    }
    QCOMPARE(AlertSound::patternFor(7, 0), QList<int>());
}

void TestAlertSound::mostUrgentAlertIsHeard()
{
    AlertBench bench;
    AlertSound sound(bench.mirror());
    QSignalSpy required(&sound, &AlertSound::soundRequired);
    QVERIFY(sound.requiredPattern().isEmpty());

    bench.receive(jbAlertText({{"AlertDeep", 0, 1, "Deep Water"}}));
    QCOMPARE(required.count(), 1);
    QCOMPARE(sound.requiredPattern(), AlertSound::warningPattern());
    QCOMPARE(sound.reason(), QStringLiteral("Alert: Deep Water"));
    // An alarm outranks the warning; the same data again changes nothing.
    bench.receive(jbAlertText({{"AlertDeep", 0, 1, "Deep Water"}, {"AlarmShallow", 0, 0, "Shallow Water"}}));
    bench.receive(jbAlertText({{"AlertDeep", 0, 1, "Deep Water"}, {"AlarmShallow", 0, 0, "Shallow Water"}}));
    QCOMPARE(required.count(), 2);
    QCOMPARE(required.last(), QVariantList({QVariant::fromValue(AlertSound::alarmPattern()), "Alarm: Shallow Water"}));
    // Silenced, the alarm gives way to the warning; acknowledged all, the buzzer stops.
    bench.receive(jbAlertText({{"AlertDeep", 0, 1, "Deep Water"}, {"AlarmShallow", 1, 0, "Shallow Water"}}));
    QCOMPARE(sound.requiredPattern(), AlertSound::warningPattern());
    bench.receive(jbAlertText({{"AlertDeep", 2, 1, "Deep Water"}, {"AlarmShallow", 2, 0, "Shallow Water"}}));
    QCOMPARE(required.last(), QVariantList({QVariant::fromValue(QList<int>()), QString()}));

    // The unit's own alert when the junction box falls silent is heard as a warning.
    bench.loseLink();
    QTRY_COMPARE(sound.requiredPattern(), AlertSound::warningPattern());
    QCOMPARE(sound.reason(), QStringLiteral("Alert: KX12 Comms Fail"));
}

QTEST_GUILESS_MAIN(TestAlertSound)
#include "tst_alertsound.moc"
