#include "datagramchecker.h"
#include "listofsfisonnetwork.h"
#include "netfixtures.h"
#include "nmeaoverudpcontroller.h"
#include "nmeaparserclass.h"
#include "settingstraffic.h"
#include "udpdatagram.h"
#include "udpparserclass.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

using netfixtures::datagram;
using netfixtures::sentence;

namespace {

const QByteArray kLocal = "SD0109";
const QByteArray kJb = "SD0108";

QList<QByteArray> tagBodies(const QByteArray &d)
{
    QList<QByteArray> out;
    const QList<QByteArray> parts = d.mid(6).split('\\');
    for (int i = 1; i < parts.size(); i += 2)
        out.append(parts.at(i).left(parts.at(i).lastIndexOf('*')));
    return out;
}

} // namespace

class TestDatagrams : public QObject
{
    Q_OBJECT

    std::unique_ptr<ListOfSfisOnNetwork> m_sfis;
    std::unique_ptr<NmeaOverUdpController> m_ctl;

    QByteArrayList build(const QStringList &sentences, MessageType type = MessageTypeOrdinary,
                         const QString &source = QString())
    {
        return m_ctl->buildDatagrams(sentences, type, QString(), {}, source);
    }

private slots:
    void init()
    {
        m_ctl.reset();
        m_sfis = std::make_unique<ListOfSfisOnNetwork>();
        m_sfis->setLocalSfi(kLocal);
        m_ctl = std::make_unique<NmeaOverUdpController>(m_sfis.get());
    }

    void tagBlocksFollowTheFourTemplatesAndAreReadFromTheLastBlock()
    {
        QCOMPARE(udpdatagram::tagBody(1, 1, 37, "SD0109", {}, 4, ""), QByteArray("g:1-1-37,s:SD0109,n:4"));
        QCOMPARE(udpdatagram::tagBody(2, 3, 5, "SD0109", {"AA0001", "BB0002"}, 17, "noTag"),
                 QByteArray("g:2-3-5,s:SD0109,d:AA0001,d:BB0002,n:17"));
        QCOMPARE(udpdatagram::tagBody(1, 2, 9, "SD0109", {}, 999, "pztqruntime"),
                 QByteArray("g:1-2-9,s:SD0109,n:999,t:pztqruntime"));
        QCOMPARE(udpdatagram::tagBody(1, 1, 1, "SD0109", {"SD0108"}, 1, "pztqsetup"),
                 QByteArray("g:1-1-1,s:SD0109,d:SD0108,n:1,t:pztqsetup"));
        // Tag checksum covers the body only, upper-case, with leading zero.
        QCOMPARE(udpdatagram::taggedSentence("abc", "$X\r\n"), QByteArray("\\abc*60\\$X\r\n"));
        const QByteArray d = datagram({{"g:1-2-7,s:SD0108,d:SD0109,n:11", sentence("GPGGA,1")},
                                       {"g:2-2-7,s:SD0107,d:SD0109,d:SD0110,n:12", sentence("GPGGA,2")}});
        QCOMPARE(UdpParserClass::sourceSfi(d), QByteArray("SD0107"));
        QCOMPARE(UdpParserClass::destinationSfis(d), (QByteArrayList{"SD0109", "SD0110"}));
        QCOMPARE(UdpParserClass::lineNumber(d), QByteArray("12"));
        QCOMPARE(UdpParserClass::groupField(d), QByteArray("2-2-7"));
        QVERIFY(UdpParserClass::sourceSfi("g:1-1-5,s:AB12,n:3*00").isEmpty());
    }

    void fieldChecksOnTagBlocks_data()
    {
        QTest::addColumn<QByteArray>("tag");
        QTest::addColumn<int>("source");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("destination");
        QTest::addColumn<int>("whole");
        QTest::newRow("valid") << QByteArray("g:1-1-5,s:SD0108,n:3*00") << 0 << 0 << 1 << 0;
        QTest::newRow("short source") << QByteArray("g:1-1-5,s:AB12,n:3*00") << -3 << 0 << 1 << -1;
        QTest::newRow("no source") << QByteArray("g:1-1-5,n:3*00") << -1 << 0 << 1 << -1;
        QTest::newRow("source not ended") << QByteArray("g:1-1-5,n:3,s:SD0108") << -2 << 0 << 1 << -1;
        QTest::newRow("no line") << QByteArray("g:1-1-5,s:SD0108*00") << 0 << -1 << 1 << -3;
        QTest::newRow("line text") << QByteArray("s:SD0108,n:x1*00") << 0 << -3 << 1 << -3;
        QTest::newRow("line 0") << QByteArray("s:SD0108,n:0*00") << 0 << -4 << 1 << -3;
        QTest::newRow("line 1000") << QByteArray("s:SD0108,n:1000*00") << 0 << -4 << 1 << -3;
        QTest::newRow("line 999") << QByteArray("s:SD0108,n:999*00") << 0 << 0 << 1 << 0;
        QTest::newRow("two destinations") << QByteArray("s:SD0108,d:AA0001,d:BB0002,n:2*00") << 0 << 0 << 0 << 0;
        QTest::newRow("bad second destination") << QByteArray("s:SD0108,d:AA0001,d:BB02,n:2*00") << 0 << 0 << -3 << -2;
    }
    void fieldChecksOnTagBlocks()
    {
        QFETCH(QByteArray, tag);
        QTEST(UdpParserClass::checkSource(tag), "source");
        QTEST(UdpParserClass::checkLine(tag), "line");
        QTEST(UdpParserClass::checkDestination(tag), "destination");
        QTEST(UdpParserClass::checkTag(tag), "whole");
    }

    void groupsAndLinesAreNumberedPerKindAndWrap()
    {
        for (int i = 0; i < 36; ++i)
            build({sentence("GPZDA,1")});
        const QByteArrayList out = build({sentence("GPGGA,1"), sentence("GPVTG,2"), sentence("GPZDA,3")});
        QCOMPARE(out.size(), 1);
        QCOMPARE(tagBodies(out.first()),
                 (QList<QByteArray>{"g:1-3-37,s:SD0109,n:37", "g:2-3-37,s:SD0109,n:38", "g:3-3-37,s:SD0109,n:39"}));
        QCOMPARE(tagBodies(build({sentence("GPGGA,1")}, MessageTypeOrdinary, "VM1111").first()).first(),
                 QByteArray("g:1-1-38,s:VM1111,n:40"));
        while (m_ctl->groupId() < 99)
            build({sentence("A")});
        build({sentence("A")}, MessageTypeNetworkAdministration);
        QCOMPARE(m_ctl->groupId(), 1);
        QCOMPARE(m_ctl->lastLineNumber(56), 1);   // administration traffic counts on its own
        QCOMPARE(m_ctl->lastLineNumber(10), 101);
        QCOMPARE(m_ctl->lastLineNumber(5), 0);
        QStringList many;
        while (many.size() < 999 - 101 + 1)
            many.append(sentence("A"));
        QVERIFY(tagBodies(build(many).last()).last().endsWith(",n:1"));   // line 999 is followed by line 1
        m_ctl->setOrdinaryCounterKey(1);
        build({sentence("A")});
        build({sentence("A")}, MessageTypeInternal);
        QCOMPARE(m_ctl->lastLineNumber(1), 2);
    }

    void packingSplitsAtTheDatagramLimit()
    {
        // Exactly at the limit: header 6 + "\\g:1-1-1,s:SD0109,n:1*hh\\" 25 + sentence 1429 = 1460.
        const QByteArrayList one = build({QString(1429, 'x')});
        QCOMPARE(one.size(), 1);
        QCOMPARE(one.first().size(), MAX_UDP_SIZE);
        QVERIFY(build({QString(1455, 'x')}).isEmpty());   // a sentence that can never fit is not sent
        QStringList list;
        for (int i = 0; i < 40; ++i)
            list.append(sentence("PZTQAVG," + QString(68, QLatin1Char('a' + i % 26))));
        const QByteArrayList out = m_ctl->buildDatagrams(list, MessageTypeInternal, "pztqsetup", {kJb}, QString());
        QVERIFY(out.size() >= 3);
        int seen = 0;
        for (const QByteArray &d : out) {
            QVERIFY(d.size() <= MAX_UDP_SIZE);
            QVERIFY(d.startsWith(QByteArray("UdPbC\0", 6)));
            for (const QByteArray &b : tagBodies(d)) {
                ++seen;
                QVERIFY2(b.startsWith("g:" + QByteArray::number(seen) + "-40-"), b.constData());
            }
            // A datagram is closed only when the next tagged sentence would not have fitted.
            if (&d != &out.last())
                QVERIFY(d.size() + 124 > MAX_UDP_SIZE);
        }
        QCOMPARE(seen, 40);
    }

    void receptionFaultsPerCode_data()
    {
        QTest::addColumn<QByteArray>("datagram");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QList<int>>("codes");
        const QString gga = sentence("GPGGA,1");
        const QByteArray ok = datagram({{"g:1-1-5,s:AB0001,n:3", gga}});
        const auto with = [&](int at, char c) { QByteArray d = ok; d[at] = c; return d; };
        QTest::newRow("valid") << ok << true << QList<int>{};
        QTest::newRow("1461 bytes") << ok + QByteArray(MAX_UDP_SIZE + 1 - ok.size(), 'x') << false << QList<int>{75};
        QTest::newRow("no NUL") << with(5, ' ') << false << QList<int>{79};
        QTest::newRow("token case") << with(1, 'D') << false << QList<int>{79};
        QTest::newRow("too short") << QByteArray("UdPb") << false << QList<int>{79};
        QTest::newRow("no tag block") << QByteArray("UdPbC\0", 6) + gga.toLatin1() << false << QList<int>{73};
        QTest::newRow("unterminated") << QByteArray("UdPbC\0\\g:1-1-5,s:AB0001,n:3*00", 30) << false << QList<int>{73};
        const QByteArray longBody = "g:1-1-5,s:AB0001,n:3,t:" + QByteArray(55, 'x');   // 78 + "*hh" = 81
        QTest::newRow("body of 81") << datagram({{longBody, gga}}) << false << QList<int>{73};
        QTest::newRow("body of 80") << datagram({{longBody.left(longBody.size() - 1), gga}}) << true << QList<int>{};
        QTest::newRow("tag checksum") << QByteArray(ok).replace("n:3*", "n:4*") << false << QList<int>{71};
        QTest::newRow("lower-case tag checksum")
            << QByteArray("UdPbC\0\\g:1-1-5,s:AB0001,n:8*4f\\", 31) + gga.toLatin1() << true << QList<int>{};
        QTest::newRow("no checksum") << QByteArray(ok).replace("*44", "") << false << QList<int>{71};
        QTest::newRow("short source") << datagram({{"g:1-1-5,s:AB12,n:3", gga}}) << false << QList<int>{72};
        QTest::newRow("one bad piece of two")
            << datagram({{"g:1-2-5,s:AB12,n:3", gga}, {"g:2-2-5,s:AB0001,n:4", gga}}) << true << QList<int>{72};
        QTest::newRow("no sentence") << datagram({{"g:1-1-5,s:AB0001,n:3", "GPGGA\r\n"}}) << false << QList<int>{76};
    }
    void receptionFaultsPerCode()
    {
        QFETCH(QByteArray, datagram);
        const DatagramVerdict v = DatagramChecker(kLocal, {}).examine(datagram);
        QTEST(v.accepted, "accepted");
        QList<int> codes;
        for (const DatagramFault &f : v.faults)
            codes.append(f.code);
        QTEST(codes, "codes");
    }

    void acceptanceRule_data()
    {
        QTest::addColumn<QByteArray>("tag");
        QTest::addColumn<QString>("body");
        QTest::addColumn<bool>("accepted");
        const QByteArray any = "g:1-1-5,s:XX0001,n:3";
        QTest::newRow("gga any talker") << any << "INGGA,1" << true;
        QTest::newRow("gsv ignored") << any << "GPGSV,1" << false;
        QTest::newRow("IIDPT") << any << "IIDPT,1" << true;
        QTest::newRow("SDDPT") << any << "SDDPT,1" << false;
        QTest::newRow("pair from unknown") << any << "PZTQPAIR,a" << true;
        QTest::newRow("short formatter") << any << "GGA,1" << false;
        QTest::newRow("settings from unknown") << QByteArray("g:1-1-5,s:XX0001,d:SD0109,n:3,t:pztqsetup") << "PZTQAVG,a" << false;
        QTest::newRow("settings from paired") << QByteArray("g:1-1-5,s:SD0108,d:SD0109,n:3,t:pztqsetup") << "PZTQAVG,a" << true;
        QTest::newRow("paired but addressed elsewhere") << QByteArray("g:1-1-5,s:SD0108,d:SD0110,n:3") << "GPGSV,a" << false;
        QTest::newRow("internal without destination") << QByteArray("g:1-1-5,s:SD0108,n:3,t:pztqruntime") << "PZTQAVG,a" << false;
        QTest::newRow("own heard back") << QByteArray("g:1-1-5,s:SD0109,n:3") << "GPGGA,1" << false;
        QTest::newRow("factory default source") << QByteArray("g:1-1-5,s:VM1111,n:3") << "GPGSV,1" << true;
    }
    void acceptanceRule()
    {
        QFETCH(QByteArray, tag);
        QFETCH(QString, body);
        const DatagramVerdict v = DatagramChecker(kLocal, {kJb}).examine(datagram({{tag, sentence(body)}}));
        QTEST(v.accepted, "accepted");
        QCOMPARE(v.ignored, !v.accepted);
        QCOMPARE(v.internal, tag.contains("t:pztq"));
    }

    void groupsAreJoinedAcrossDatagramsAndIncompleteOnesDropped()
    {
        QSignalSpy groups(m_ctl.get(), &NmeaOverUdpController::sentenceGroupReceived);
        m_ctl->processReceivedDatagram(datagram({{"g:2-2-7,s:SD0108,n:12", sentence("GPVTG,2")}}), false, false);
        QCOMPARE(groups.count(), 0);
        m_ctl->processReceivedDatagram(datagram({{"g:1-2-7,s:SD0108,n:11", sentence("GPGGA,1")}}), false, false);
        QCOMPARE(groups.count(), 1);
        const auto g = groups.first().first().value<ReceivedSentenceGroup>();
        QCOMPARE(g.sentences, (QStringList{sentence("GPGGA,1"), sentence("GPVTG,2")}));
        QCOMPARE(g.sourceSfi, QStringLiteral("SD0108"));
        QVERIFY(!g.internal);
        // A sentence whose own checksum is wrong invalidates the record silently.
        QByteArray broken = datagram({{"g:1-1-8,s:SD0108,n:13", sentence("GPGGA,1")}});
        broken.replace("GGA,1", "GGA,2");
        m_ctl->processReceivedDatagram(broken, false, false);
        QCOMPARE(groups.count(), 1);
        // An input buffer that ticks fast drops incomplete groups.
        NmeaInputBuffer buffer(10);
        QSignalSpy complete(&buffer, &NmeaInputBuffer::groupComplete);
        QVERIFY(!buffer.addSentence(QStringLiteral("SD0108"), 1, 2, 7, QStringLiteral("a"), false, false));
        QVERIFY(!buffer.addSentence(QStringLiteral("SD0108"), 1, 2, 7, QStringLiteral("a"), false, false));  // repeat
        QVERIFY(!buffer.addSentence(QStringLiteral("SD0108"), 3, 2, 7, QStringLiteral("c"), false, false));  // out of range
        QCOMPARE(buffer.pendingGroups(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(buffer.pendingGroups(), 0, 2000);
        // The late second half now starts a group of its own that never completes.
        QVERIFY(!buffer.addSentence(QStringLiteral("SD0108"), 2, 2, 7, QStringLiteral("b"), false, false));
        QVERIFY(buffer.addSentence(QStringLiteral("SD0108"), 1, 2, 7, QStringLiteral("a"), true, false));
        QCOMPARE(complete.count(), 1);
        const auto late = complete.first().first().value<ReceivedSentenceGroup>();
        QCOMPARE(late.sentences, (QStringList{"a", "b"}));
        QVERIFY(!late.internal);   // the first datagram decides
    }

    void aFloodOfGroupsThatNeverCompleteIsBounded()
    {
        NmeaInputBuffer buffer(60000);
        QSignalSpy complete(&buffer, &NmeaInputBuffer::groupComplete);
        // A real group begins, then forged senders open groups of every size that never complete.
        QVERIFY(!buffer.addSentence(QStringLiteral("SD0108"), 1, 2, 7, QStringLiteral("a"), false, false));
        const QString sentence(1400, QLatin1Char('x'));
        for (int i = 0; i < 5000; ++i) {
            buffer.addSentence(QStringLiteral("XX%1").arg(i % 3000, 4, 10, QLatin1Char('0')), 1 + i % 2,
                               NmeaInputBuffer::MaxGroupSize, i % 99, sentence, false, false);
            QVERIFY(buffer.pendingGroups() <= NmeaInputBuffer::MaxPendingGroups);
            QVERIFY(buffer.pendingCharacters() <= NmeaInputBuffer::MaxPendingCharacters);
        }
        QVERIFY(!buffer.hasGroup(QStringLiteral("SD0108"), 7));   // the oldest was given up
        // The buffer still joins a group once the flood is over, and forgets what it held.
        QVERIFY(!buffer.addSentence(QStringLiteral("SD0108"), 2, 2, 8, QStringLiteral("b"), false, false));
        QVERIFY(buffer.addSentence(QStringLiteral("SD0108"), 1, 2, 8, QStringLiteral("a"), false, false));
        QCOMPARE(complete.count(), 1);
        QCOMPARE(complete.first().first().value<ReceivedSentenceGroup>().sentences, (QStringList{"a", "b"}));
        NmeaInputBuffer fast(10);
        fast.addSentence(QStringLiteral("XX0001"), 1, 3, 1, sentence, false, false);
        QTRY_COMPARE_WITH_TIMEOUT(fast.pendingCharacters(), 0, 2000);
    }

    void settingsTextTravelsInCarrierSentencesAndEachDatagramIsAcknowledged()
    {
        const QStringList carrier = NmeaParserClass::dataToNmeaList(QString(150, 'c')).messages;
        QVERIFY(settingstraffic::isCarrierGroup(carrier));
        QVERIFY(!settingstraffic::isCarrierGroup({sentence("GPGGA,1")}));

        ListOfSfisOnNetwork jbSfis;
        jbSfis.setLocalSfi(kJb);
        jbSfis.connectSfi(kLocal);
        m_sfis->connectSfi(kJb);
        NmeaOverUdpController jb(&jbSfis);
        QSignalSpy sent(m_ctl.get(), &NmeaOverUdpController::sendDatagrams);
        QSignalSpy jbSent(&jb, &NmeaOverUdpController::sendDatagrams);
        QSignalSpy text(&jb, &NmeaOverUdpController::settingsTextReceived);
        QSignalSpy acked(m_ctl.get(), &NmeaOverUdpController::datagramAcknowledged);
        const QString setup = "Type_Setup,SerializableClass1=AlertSetup," + QString(1500, 'x');
        m_ctl->sendSettingsText(setup);
        QCOMPARE(sent.count(), 1);
        const QByteArrayList datagrams = sent.first().first().value<QByteArrayList>();
        QVERIFY(datagrams.size() >= 2);
        QCOMPARE(m_ctl->outputBuffer()->pendingDatagrams(), datagrams.size());
        for (const QByteArray &d : datagrams) {
            const DatagramVerdict v = DatagramChecker(kJb, {kLocal}).examine(d);
            QVERIFY(v.accepted && v.internal);
            jb.processReceivedDatagram(d, v.internal, false);
        }
        QCOMPARE(text.count(), 1);
        QCOMPARE(text.first().first().toString(), setup);
        QCOMPARE(jbSent.count(), datagrams.size());   // one acknowledgement per setup datagram
        for (const QVariantList &ack : jbSent) {
            const QByteArray d = ack.first().value<QByteArrayList>().first();
            QVERIFY(d.endsWith("\\$PZTQAVG,ackmessage\r\n"));
            QVERIFY(DatagramChecker(kLocal, {kJb}).examine(d).accepted);
            m_ctl->processReceivedDatagram(d, true, false);
        }
        QCOMPARE(acked.count(), datagrams.size());
        QCOMPARE(m_ctl->outputBuffer()->pendingGroups(), 0);
    }

    void onlySetupAndMarkTextsWaitForAcknowledgement_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("tag");
        QTest::newRow("setup") << "Type_Setup,SingleProperty,ESSetup,AlertSetup,AlarmShallow=5" << "pztqsetup";
        QTest::newRow("noack") << "Type_SetupNoAck,SingleProperty,ESSetup,AlertSetup,AlarmShallow=5" << "pztqruntime";
        QTest::newRow("mark") << "Type_Mark,Set_Mark=1" << "pztqsetup";
        QTest::newRow("runtime") << "Type_Runtime,DepthSurface=12.34=T" << "pztqruntime";
    }
    void onlySetupAndMarkTextsWaitForAcknowledgement()
    {
        QFETCH(QString, text);
        QFETCH(QString, tag);
        m_sfis->connectSfi(kJb);
        QSignalSpy sent(m_ctl.get(), &NmeaOverUdpController::sendDatagrams);
        m_ctl->sendSettingsText(text);
        QVERIFY(sent.first().first().value<QByteArrayList>().first().contains(",t:" + tag.toLatin1() + "*"));
        QCOMPARE(m_ctl->outputBuffer()->pendingDatagrams(), tag == QLatin1String("pztqsetup") ? 1 : 0);
    }

    void datagramsWithoutGroupAreNotDeliveredButSetupOnesAreAcknowledged()
    {
        m_sfis->connectSfi(kJb);
        QSignalSpy groups(m_ctl.get(), &NmeaOverUdpController::sentenceGroupReceived);
        QSignalSpy texts(m_ctl.get(), &NmeaOverUdpController::settingsTextReceived);
        QSignalSpy sent(m_ctl.get(), &NmeaOverUdpController::sendDatagrams);
        m_ctl->processReceivedDatagram(datagram({{"s:SD0108,n:40", sentence("GPGGA,1")}}), false, false);
        m_ctl->processReceivedDatagram(datagram({{"s:SD0108,d:SD0109,n:41,t:pztqsetup",
                                                  sentence("PZTQAVG,Type_Setup,SingleProperty,ESSetup,X=1")}}),
                                       true, false);
        QCOMPARE(groups.count() + texts.count(), 0);
        QCOMPARE(sent.count(), 1);
        const QByteArray ack = sent.first().first().value<QByteArrayList>().first();
        QVERIFY2(ack.contains(",d:SD0108,") && ack.contains(",t:pztqack1-1-1-41*"), ack.constData());
    }

    void settingsGoToThePairedBoxBeforeItIsConnectedAndNeverToNobody()
    {
        QSignalSpy sent(m_ctl.get(), &NmeaOverUdpController::sendDatagrams);
        const QString text = QStringLiteral("Type_Setup,SingleProperty,ESSetup,AlertSetup,AlarmShallow=5");
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Settings text not sent"));
        m_ctl->sendSettingsText(text);
        QCOMPARE(sent.count(), 0);
        QCOMPARE(m_ctl->outputBuffer()->pendingDatagrams(), 0);
        m_sfis->setPairedSfi(QString::fromLatin1(kJb));
        m_ctl->sendSettingsText(text);
        QCOMPARE(sent.count(), 1);
        QVERIFY(sent.first().first().value<QByteArrayList>().first().contains(",d:SD0108,"));
        QCOMPARE(m_ctl->outputBuffer()->pendingDatagrams(), 1);
    }

    void acknowledgedDatagramsLeaveOthersResentTenTimesThenTheSfiIsLost()
    {
        NmeaOutputBuffer buffer(15);
        QSignalSpy resent(&buffer, &NmeaOutputBuffer::resendDatagram);
        QSignalSpy lost(&buffer, &NmeaOutputBuffer::lostCommunicationWithSfi);
        const QStringList jb{QStringLiteral("SD0108")};
        buffer.addGroup({{"a", "1-3-5-17", jb, false, false, 0}, {"b", "2-3-5-18", jb, false, false, 0},
                         {"c", "3-3-5-19", jb, false, false, 0}});
        QVERIFY(!buffer.acknowledge(QStringLiteral("1-3-5-20"), jb.first()));
        QVERIFY(!buffer.acknowledge(QStringLiteral("1-3-5-17"), QStringLiteral("SD0111")));
        QVERIFY(buffer.acknowledge(QStringLiteral("1-3-5-17"), jb.first()));
        QCOMPARE(buffer.pendingDatagrams(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, 5000);
        QCOMPARE(resent.count(), 20);
        QCOMPARE(resent.first().first().value<QByteArrayList>(), QByteArrayList{"b"});
        QCOMPARE(lost.first().first().toString(), jb.first());
        QCOMPARE(buffer.pendingGroups(), 0);
        QTest::qWait(60);
        QCOMPARE(lost.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestDatagrams)
#include "tst_datagrams.moc"
