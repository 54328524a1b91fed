#include "nmeacontroller.h"
#include "nmeadataholders.h"
#include "nmeahandler.h"
#include "nmeahandlercontainer.h"
#include "nmeamessage.h"
#include "nmeaparserclass.h"
#include "nmeaperiodicalsender.h"
#include "nmeatestlines.h"
#include "signalemitter.h"

#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

using NmeaTest::line;

namespace {

NmeaHandler *standard(const char *formatter)
{
    return NmeaHandlerContainer::instance().standardHandler(QString::fromLatin1(formatter));
}

void setReal(ValidatedProperty *field, double value)
{
    qobject_cast<ValidatedFloatProperty *>(field)->setValue(value);
}

QList<QString> sentencesOf(const QList<QVariant> &emission)
{
    return emission.at(1).value<QList<QString>>();
}

} // namespace

// Periodic grouping and divisors, one-off sends, standby filtering, proprietary carriers.
class TestSend : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void divisorsAndLines();
    void depthAndHeartbeatGoAlone();
    void depthSentenceLeavesTheUnit();
    void passThroughUntilForgotten();
    void oneOffSendsByLine();
    void standbyLetsOnlyFewOut();
    void proprietaryCuttingAndJoining();
    void timerIsReArmed();

private:
    NmeaPeriodicalSender *m_sender = nullptr;
    NmeaController *m_controller = nullptr;
};

void TestSend::initTestCase()
{
    NmeaTest::quietDebug();
    m_sender = new NmeaPeriodicalSender(this, 4);
    m_controller = new NmeaController(this);
}

void TestSend::init()
{
    NmeaOutputData::instance().resetFields();
}

void TestSend::cleanup()
{
    for (NmeaHandler *handler : NmeaHandlerContainer::instance().handlers()) {
        handler->setPeriodicEnabled(false);
        handler->clearRegisteredLines();
        handler->setPeriodDivisor(1);
        handler->setPassThrough(false);
    }
}

void TestSend::divisorsAndLines()
{
    NmeaHandler *vtg = standard("VTG");
    vtg->setPeriodicEnabled(true);
    vtg->registerLine(Serial_1);
    vtg->registerLine(UDP);
    QSignalSpy groups(&SignalEmitter::instance(),
                      &SignalEmitter::signalTypeAndCompleteNmeaMessageListWithCustomDestinationSFI);
    m_sender->sendPeriodicalMessages(0);
    QCOMPARE(groups.count(), 2);
    QCOMPARE(groups.at(0).at(2).value<Port>(), Serial_1);
    QCOMPARE(groups.at(1).at(2).value<Port>(), UDP);
    QCOMPARE(groups.at(0).at(0).toString(), QString());
    QVERIFY(sentencesOf(groups.at(0)).at(0).startsWith(QStringLiteral("$SDVTG,")));

    groups.clear();
    vtg->setPeriodDivisor(2);
    for (int cycle = 0; cycle < 6; ++cycle)
        m_sender->sendPeriodicalMessages(0);
    QCOMPARE(groups.count(), 6);

    // Registered but not enabled, or enabled for a line beyond the sender's lines: nothing.
    groups.clear();
    vtg->setPeriodicEnabled(false);
    m_sender->sendPeriodicalMessages(0);
    QCOMPARE(groups.count(), 0);
    vtg->setPeriodicEnabled(true);
    vtg->clearRegisteredLines();
    vtg->registerLine(Add_Serial_3);
    m_sender->sendPeriodicalMessages(0);
    QCOMPARE(groups.count(), 0);
}

void TestSend::depthAndHeartbeatGoAlone()
{
    for (const char *formatter : {"DPT", "HBT", "VTG", "HDT", "MTW"}) {
        NmeaHandler *handler = standard(formatter);
        handler->setPeriodicEnabled(true);
        handler->registerLine(Serial_2);
    }
    QSignalSpy groups(&SignalEmitter::instance(),
                      &SignalEmitter::signalTypeAndCompleteNmeaMessageListWithCustomDestinationSFI);
    m_sender->sendPeriodicalMessages(0);
    QCOMPARE(groups.count(), 3);
    QCOMPARE(sentencesOf(groups.at(0)).size(), 1);
    QVERIFY(sentencesOf(groups.at(0)).at(0).startsWith(QStringLiteral("$SDDPT,")));
    QCOMPARE(sentencesOf(groups.at(1)).size(), 1);
    QVERIFY(sentencesOf(groups.at(1)).at(0).startsWith(QStringLiteral("$SDHBT,")));
    const QList<QString> rest = sentencesOf(groups.at(2));
    QCOMPARE(rest.size(), 3);
    QVERIFY(rest.at(0).startsWith(QStringLiteral("$SDHDT,")));
    QVERIFY(rest.at(1).startsWith(QStringLiteral("$SDMTW,")));
    QVERIFY(rest.at(2).startsWith(QStringLiteral("$SDVTG,")));
    for (const QVariant &port : {groups.at(0).at(2), groups.at(1).at(2), groups.at(2).at(2)})
        QCOMPARE(port.value<Port>(), Serial_2);
}

void TestSend::depthSentenceLeavesTheUnit()
{
    NmeaOutputData &out = NmeaOutputData::instance();
    NmeaHandler *dpt = standard("DPT");
    dpt->setPeriodicEnabled(true);
    dpt->registerLine(UDP);
    QSignalSpy groups(&SignalEmitter::instance(),
                      &SignalEmitter::signalTypeAndCompleteNmeaMessageListWithCustomDestinationSFI);
    m_sender->sendPeriodicalMessages(0);
    QCOMPARE(sentencesOf(groups.at(0)), QList<QString>{line(QStringLiteral("SDDPT,,,"))});
    setReal(out.DepthBlwTransducerMeters(), 12.34);
    setReal(out.OffsetFromTransducerMeters(), 0.5);
    setReal(out.MaximumRangeScale(), 100.0);
    m_sender->sendPeriodicalMessages(0);
    QCOMPARE(sentencesOf(groups.at(1)), QList<QString>{line(QStringLiteral("SDDPT,12.3,0.5,100"))});
    QCOMPARE(groups.at(1).at(2).value<Port>(), UDP);

    // Unit strings that cannot be null go out as their defaults.
    NmeaHandler *dbt = standard("DBT");
    setReal(out.DepthBlwTransducerMeters(), 7.0);
    QCOMPARE(dbt->buildOutgoing(), QStringList{line(QStringLiteral("SDDBT,,f,7.0,M,,F"))});
}

void TestSend::passThroughUntilForgotten()
{
    NmeaController receiver;
    NmeaHandler *hdt = standard("HDT");
    hdt->setPassThrough(true);
    receiver.handleReceivedNmeaList(NmeaGroupInfo({line(QStringLiteral("HEHDT,271.25,T"))}, Serial_1));
    QCOMPARE(hdt->buildOutgoing(), QStringList{line(QStringLiteral("SDHDT,271.25,T"))});
    for (int i = 0; i < 10; ++i)
        NmeaHandlerContainer::instance().tickAll();
    QCOMPARE(hdt->buildOutgoing(), QStringList{line(QStringLiteral("SDHDT,,"))});
}

void TestSend::oneOffSendsByLine()
{
    QSignalSpy udp(m_controller, &NmeaController::nmeaGroupReadyToBeSentOverUdp);
    QSignalSpy serial(m_controller, &NmeaController::nmeaGroupReadyToBeSentOverSerialPort);
    QSignalSpy logged(m_controller, &NmeaController::outputMessageGroupLogged);
    setReal(NmeaOutputData::instance().WaterTemperature(), 14.5);
    m_controller->sendStandardNmeaMessageOfTypeOverPort(QStringLiteral("MTW"), Serial_3);
    QCOMPARE(serial.count(), 1);
    const NmeaGroupInfo sent = serial.at(0).at(0).value<NmeaGroupInfo>();
    QCOMPARE(sent.port, Serial_3);
    QCOMPARE(sent.messages, QStringList{line(QStringLiteral("SDMTW,14.5,C"))});
    QCOMPARE(logged.count(), 1);

    m_controller->sendPreparedStandardNmeaListWithCustomDestinationSFI(
        QStringLiteral("PAIR"), {line(QStringLiteral("PZTQPAIR,SD0001,SD0002,1"))}, UDP, QString(),
        QStringLiteral("SD0002"));
    QCOMPARE(udp.count(), 1);
    QCOMPARE(udp.at(0).at(0).value<NmeaGroupInfo>().destinations, QStringList{QStringLiteral("SD0002")});
    QCOMPARE(udp.at(0).at(2).toStringList(), QStringList{QStringLiteral("SD0002")});
    m_controller->sendStandardNmeaMessageOfTypeOverPort(QStringLiteral("NOSUCH"), UDP);
    QCOMPARE(udp.count(), 1);

    // Forwarding: raw lines of one line are passed on to another before handling.
    m_controller->setForwarding(Serial_1, Serial_2);
    m_controller->handleReceivedNmeaList(NmeaGroupInfo({QStringLiteral("garbage")}, Serial_1));
    QCOMPARE(serial.count(), 2);
    QCOMPARE(serial.at(1).at(0).value<NmeaGroupInfo>().port, Serial_2);
    m_controller->clearForwarding(Serial_1);
}

void TestSend::standbyLetsOnlyFewOut()
{
    QSignalSpy udp(m_controller, &NmeaController::nmeaGroupReadyToBeSentOverUdp);
    m_controller->sendStandardNmeaMessageOfTypeOverPortInStandby(QStringLiteral("VTG"), UDP);
    m_controller->sendPreparedStandardNmeaMessageOverPortInStandby(
        QStringLiteral("VTG"), line(QStringLiteral("SDVTG,,,,,,,,,N")), UDP, false);
    QCOMPARE(udp.count(), 0);
    m_controller->sendStandardNmeaMessageOfTypeOverPortInStandby(QStringLiteral("PAIR"), UDP);
    QCOMPARE(udp.count(), 1);
    QVERIFY(udp.at(0).at(0).value<NmeaGroupInfo>().messages.at(0).startsWith(QStringLiteral("$PZTQPAIR,")));
    m_controller->sendPreparedStandardNmeaListWithCustomDestinationSFIInStandby(
        QStringLiteral("SFIACK"), {line(QStringLiteral("PZTQSFIACK,A,B,C,D"))}, UDP, QString(), QString());
    m_controller->sendPreparedStandardNmeaListWithCustomDestinationSFIInStandby(
        QStringLiteral("SCF"), {line(QStringLiteral("PZTQSCF,,,,,,,,1"))}, UDP, QString(), QString());
    QCOMPARE(udp.count(), 2);
    m_controller->sendProprietaryNmeaListInStandby(QStringLiteral("ESDisplay;Brightness=5"));
    QCOMPARE(udp.count(), 2);
    m_controller->sendProprietaryNmeaListInStandby(QStringLiteral("ESKX12Setup;SystemInNormalOrStandbyMode=0"));
    QCOMPARE(udp.count(), 3);
    QCOMPARE(udp.at(2).at(1).toBool(), true);
}

void TestSend::proprietaryCuttingAndJoining()
{
    QString text;
    for (int i = 0; text.size() < 200; ++i)
        text += QStringLiteral("Key%1=%2,").arg(i).arg(i * 7);
    text.truncate(200);
    const NmeaGroupInfo group = NmeaParserClass::dataToNmeaList(text, QStringLiteral("AVG"));
    QCOMPARE(group.messages.size(), 3);
    const int lengths[] = {68, 68, 64};
    for (int i = 0; i < 3; ++i) {
        const QString &sentence = group.messages.at(i);
        QVERIFY(sentence.size() <= 82);
        QString checked = sentence;
        QCOMPARE(NmeaMessage::checkSentence(checked), 0);
        QVERIFY(sentence.startsWith(QStringLiteral("$PZTQAVG,")));
        QCOMPARE(sentence.size() - 9 - 5, lengths[i]);
    }
    QCOMPARE(group.messages.at(0).size(), 82);
    QCOMPARE(NmeaParserClass::nmeaListToData(group), text);
    // A piece may hold "*" and ","; only the last "*" of a sentence starts its checksum.
    const QString awkward = QStringLiteral("a*b,c*d");
    QCOMPARE(NmeaParserClass::nmeaListToData(NmeaParserClass::dataToNmeaList(awkward)), awkward);
    QCOMPARE(NmeaParserClass::dataToNmeaList(QString()).messages.size(), 0);
    QCOMPARE(NmeaParserClass::dataToNmeaList(text, QStringLiteral("PZTQCFGR")).messages.at(0).size(), 82);

    QSignalSpy udp(m_controller, &NmeaController::nmeaGroupReadyToBeSentOverUdp);
    m_controller->sendProprietaryNmeaList(text, QString(), {QStringLiteral("SD0007")});
    QCOMPARE(udp.count(), 1);
    const NmeaGroupInfo sent = udp.at(0).at(0).value<NmeaGroupInfo>();
    QCOMPARE(sent.messages, group.messages);
    QCOMPARE(sent.destinations, QStringList{QStringLiteral("SD0007")});
}

void TestSend::timerIsReArmed()
{
    QTimer *timer = m_sender->timer();
    QVERIFY(timer->isSingleShot());
    QVERIFY(timer->isActive());
    m_sender->sendPeriodicalMessages(0);
    QCOMPARE(timer->interval(), 1000);
    m_sender->sendPeriodicalMessages(3);
    QCOMPARE(timer->interval(), 2000);
    QVERIFY(timer->isActive());
    m_sender->restartTimer();
    QCOMPARE(timer->interval(), 1000);
}

QTEST_GUILESS_MAIN(TestSend)
#include "tst_send.moc"
