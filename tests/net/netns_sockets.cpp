// Runs only inside a private network namespace (see CMakeLists.txt): two socket sets on the
// loopback interface stand for the control unit and the junction box.
#include "binarytransmissioncontroller.h"
#include "errorlogger.h"
#include "listofsfisonnetwork.h"
#include "networkstack.h"
#include "netfixtures.h"
#include "nmeaoverudpcontroller.h"
#include "socketinterface.h"
#include "udp61162450controller.h"

#include <QNetworkInterface>
#include <QSignalSpy>
#include <QUdpSocket>
#include <QtTest>

#include <memory>

namespace {

struct Side
{
    ListOfSfisOnNetwork sfis;
    std::unique_ptr<Udp61162450Controller> udp;
    std::unique_ptr<socketInterface> io;

    Side(const QString &local, const QString &peer)
    {
        sfis.setLocalSfi(local);
        sfis.connectSfi(peer);
        udp = std::make_unique<Udp61162450Controller>(Udp61162450Controller::interfaceForName(QStringLiteral("lo")), &sfis);
        io = std::make_unique<socketInterface>(udp.get(), &sfis);
        QObject::connect(udp->nmeaOverUdpController(), &NmeaOverUdpController::sendDatagrams, io.get(),
                         &socketInterface::sendNmeaDatagrams);
        QObject::connect(io.get(), &socketInterface::recievedMessage, udp->nmeaOverUdpController(),
                         &NmeaOverUdpController::processReceivedDatagram);
    }
    void start(int group)
    {
        udp->updateNmeaGroup(group);
        io->init();
    }
};

QByteArray binaryFrom(const QByteArray &sfi)
{
    QByteArray d(64, '\0');
    d.replace(10, sfi.size(), sfi);
    return d;
}

} // namespace

class TestSockets : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        const QList<QNetworkInterface> all = QNetworkInterface::allInterfaces();
        QVERIFY2(all.size() == 1 && all.first().humanReadableName() == QLatin1String("lo"),
                 "must run inside a private network namespace");
    }

    void groupSocketsFollowTheTransmissionGroup()
    {
        Side cu(QStringLiteral("SD0109"), QStringLiteral("SD0108"));
        QSignalSpy changed(cu.udp.get(), &Udp61162450Controller::nmeaGroupChanged);
        cu.start(3);
        QCOMPARE(cu.udp->nmeaSocket()->localPort(), quint16(60004));
        QCOMPARE(cu.udp->nmeaAddress(), QHostAddress(QStringLiteral("239.192.0.4")));
        QCOMPARE(cu.udp->networkAdministrationSocket()->localPort(), quint16(60056));
        QCOMPARE(cu.udp->binaryLocalSocket()->localPort(), quint16(60024));
        QVERIFY(cu.udp->binarySocketForWindowsLogging());
        cu.udp->updateNmeaGroup(3);
        QCOMPARE(changed.count(), 1);
        cu.udp->updateNmeaGroup(0);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(cu.udp->nmeaSocket()->localPort(), quint16(60001));
        QCOMPARE(cu.udp->nmeaAddress(), QHostAddress(QStringLiteral("239.192.0.1")));
        QCOMPARE(cu.udp->nmeaOverUdpController()->counterKey(MessageTypeOrdinary), 1);
    }

    void sentencesReachThePeerOnTheNewGroupOnly()
    {
        Side cu(QStringLiteral("SD0109"), QStringLiteral("SD0108"));
        Side jb(QStringLiteral("SD0108"), QStringLiteral("SD0109"));
        cu.start(0);
        jb.start(3);
        cu.io->enableReception();
        jb.io->enableReception();
        QSignalSpy atJb(jb.udp->nmeaOverUdpController(), &NmeaOverUdpController::sentenceGroupReceived);
        QSignalSpy sent(cu.udp->nmeaOverUdpController(), &NmeaOverUdpController::sendDatagrams);

        // Drain-once after init: the first batch read is thrown away.
        cu.udp->nmeaOverUdpController()->packUdp({netfixtures::sentence(QStringLiteral("GPGGA,0"))},
                                                 MessageTypeOrdinary, false, QString());
        QTest::qWait(200);
        cu.udp->nmeaOverUdpController()->packUdp({netfixtures::sentence(QStringLiteral("GPGGA,1"))},
                                                 MessageTypeOrdinary, false, QString());
        QTest::qWait(300);
        QCOMPARE(atJb.count(), 0);   // different groups

        jb.start(0);
        cu.udp->nmeaOverUdpController()->packUdp({netfixtures::sentence(QStringLiteral("GPGGA,2"))},
                                                 MessageTypeOrdinary, false, QString());
        QTest::qWait(200);
        QCOMPARE(atJb.count(), 0);   // drained after re-initialisation
        cu.udp->nmeaOverUdpController()->packUdp({netfixtures::sentence(QStringLiteral("GPGGA,3"))},
                                                 MessageTypeOrdinary, false, QString());
        QTRY_COMPARE(atJb.count(), 1);
        QCOMPARE(atJb.first().first().value<ReceivedSentenceGroup>().sentences.first(),
                 netfixtures::sentence(QStringLiteral("GPGGA,3")));
        QVERIFY(sent.last().first().value<QByteArrayList>().first().contains(",n:4*"));  // key 1 continues
    }

    void nothingIsReadBeforeReceptionIsEnabledAndJammedSocketsAreRead()
    {
        Side cu(QStringLiteral("SD0109"), QStringLiteral("SD0108"));
        Side jb(QStringLiteral("SD0108"), QStringLiteral("SD0109"));
        cu.start(3);
        // The peer binds and joins, but its socket interface never connects to readyRead.
        jb.udp->updateNmeaGroup(3);
        QSignalSpy received(jb.io.get(), &socketInterface::recievedMessage);
        cu.udp->nmeaOverUdpController()->packUdp({netfixtures::sentence(QStringLiteral("GPGGA,1"))},
                                                 MessageTypeOrdinary, false, QString());
        QTest::qWait(1300);
        QCOMPARE(received.count(), 0);
        QVERIFY(jb.udp->nmeaSocket()->hasPendingDatagrams());
        jb.io->enableReception();
        // Seen pending at one check and still pending at the next: read by the check itself.
        QTRY_COMPARE_WITH_TIMEOUT(received.count(), 1, 3000);
    }

    void binaryImagesOnlyFromThePairedUnit()
    {
        Side cu(QStringLiteral("SD0109"), QStringLiteral("SD0108"));
        cu.start(3);
        cu.io->enableReception();
        QSignalSpy images(cu.io.get(), &socketInterface::recievedBinaryMessage);
        QSignalSpy tooLong(cu.io.get(), &socketInterface::binaryDatagramTooLong);
        Side jb(QStringLiteral("SD0108"), QStringLiteral("SD0109"));
        jb.start(3);
        QVERIFY(jb.io->sendBinaryDatagrams({binaryFrom("SD0107"), binaryFrom("SD0108"), QByteArray(1461, 'x')}, true));
        QTRY_COMPARE(tooLong.count(), 1);
        QCOMPARE(images.count(), 1);
        QCOMPARE(images.first().first().toByteArray(), binaryFrom("SD0108"));
    }

    void assembledStackCountsFaultsAndHandsGroupsOn()
    {
        ListOfSfisOnNetwork sfis;
        sfis.setLocalSfi(QStringLiteral("SD0109"));
        NetworkStack stack(NetworkStack::Options{QStringLiteral("lo"), 1000, true}, &sfis);
        stack.start(3);
        stack.enableReception();
        QSignalSpy groups(&stack, &NetworkStack::nmeaGroupReceived);

        QUdpSocket other;
        QVERIFY(other.bind(QHostAddress(QHostAddress::AnyIPv4), 0));
        other.setMulticastInterface(Udp61162450Controller::interfaceForName(QStringLiteral("lo")));
        const int before71 = ErrorLogger::instance().udpCounter(71);
        const int before79 = ErrorLogger::instance().udpCounter(79);
        const QString gga = netfixtures::sentence(QStringLiteral("GPGGA,1"));
        QByteArray badSum = netfixtures::datagram({{"g:1-1-5,s:XX0001,n:3", gga}});
        badSum.replace("n:3*", "n:4*");
        const QHostAddress group(QStringLiteral("239.192.0.4"));
        other.writeDatagram(badSum, group, 60004);
        other.writeDatagram(QByteArray("UdPbCx"), group, 60004);
        other.writeDatagram(netfixtures::datagram({{"g:1-1-6,s:XX0001,n:4", gga}}), group, 60004);
        QTRY_COMPARE(groups.count(), 1);
        QCOMPARE(ErrorLogger::instance().udpCounter(71), before71 + 1);
        QCOMPARE(ErrorLogger::instance().udpCounter(79), before79 + 1);
        const NmeaGroupInfo info = groups.first().first().value<NmeaGroupInfo>();
        QCOMPARE(info.messages, QStringList{gga});
        QCOMPARE(info.port, UDP);
        QCOMPARE(info.senderId, QStringLiteral("XX0001"));
    }
};

QTEST_GUILESS_MAIN(TestSockets)
#include "netns_sockets.moc"
