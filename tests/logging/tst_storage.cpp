#include "diskspacechecker.h"
#include "esloggingdevicecontroller.h"
#include "esstoragedevicecontroller.h"
#include "storagetree.h"

#include <QDir>
#include <QSignalSpy>
#include <QtTest>

#include <atomic>
#include <memory>

class TestStorage : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_tree.reset(new StorageTree); }
    void cleanup() { m_tree.reset(); }

    void devicesFollowTheMountTable();
    void fullDiskRules_data();
    void fullDiskRules();
    void fullDiskDeletesOldestFoldersWhenAllowed();
    void chosenDeviceIsAnnouncedOnlyWhenPresentAndNotFull();
    void ordinalNumberSurvivesRestart();

private:
    std::unique_ptr<StorageTree> m_tree;
};

void TestStorage::devicesFollowTheMountTable()
{
    StorageDeviceController controller(nullptr, 60000);
    QSignalSpy spy(&controller, &StorageDeviceController::devicePresenceChanged);
    QSignalSpy checks(&controller, &StorageDeviceController::checkFinished);
    auto check = [&] { controller.requestCheck(); return checks.wait(); };
    const QVariant usb = QVariant::fromValue(StorageUsb), sd = QVariant::fromValue(StorageSd);
    QVERIFY(checks.wait());
    // A similar name is not the stick.
    m_tree->mount({"/media/usb0x"});
    QVERIFY(check());
    QCOMPARE(spy.count(), 0);

    m_tree->mount({"/media/usb0", "/media/sd0"});
    QVERIFY(check());
    QCOMPARE(spy, QList<QVariantList>({{usb, true}, {sd, true}}));
    QVERIFY(controller.isPresent(StorageUsb) && controller.isPresent(StorageSd));

    // An unchanged table is silent; pulling the stick is reported at the next check.
    QVERIFY(check());
    QCOMPARE(spy.count(), 2);
    m_tree->pull("/media/usb0");
    QVERIFY(check());
    QCOMPARE(spy, QList<QVariantList>({{usb, true}, {sd, true}, {usb, false}}));
    QVERIFY(!controller.isPresent(StorageUsb));

    controller.setProductSerialNumber(12345);
    QCOMPARE(controller.devicePath(StorageSd), m_tree->path("/media/sd0/velmora/12345"));
    // The real query on a folder that does not exist yet measures the folder above it.
    const DiskSpace real = DiskSpaceChecker::queryVolume(controller.devicePath(StorageSd) + "/not/yet");
    QVERIFY(real.valid && real.total > 0);
}

void TestStorage::fullDiskRules_data()
{
    QTest::addColumn<bool>("valid");
    QTest::addColumn<qint64>("available");
    QTest::addColumn<bool>("full");
    QTest::addColumn<bool>("reserve");
    QTest::newRow("one byte short") << true << qint64(19999999) << true << false;
    QTest::newRow("exactly the minimum") << true << qint64(20000000) << false << false;
    QTest::newRow("reserve one byte short") << true << qint64(59999999) << false << false;
    QTest::newRow("reserve exactly free") << true << qint64(60000000) << false << true;
    QTest::newRow("plenty") << true << qint64(4000000000LL) << false << true;
    QTest::newRow("unreadable volume counts as full") << false << qint64(4000000000LL) << true << false;
}

void TestStorage::fullDiskRules()
{
    QFETCH(bool, valid);
    QFETCH(qint64, available);
    QFETCH(bool, full);
    QFETCH(bool, reserve);
    DiskSpaceChecker checker;
    checker.setFreeBytesMin(ESLoggingDeviceController::FreeBytesMin);
    checker.setRawDataReservedBytesMax(ESLoggingDeviceController::RawDataReservedBytes);
    checker.setPath(m_tree->path("/media/usb0"));
    QString asked;
    const DiskSpace given{valid, 8000000000LL, available, available};
    checker.setSpaceQuery([&asked, given](const QString &p) { asked = p; return given; });
    QSignalSpy fullSpy(&checker, &DiskSpaceChecker::diskFullSig);
    QSignalSpy bytesSpy(&checker, &DiskSpaceChecker::availableBytesCalculated);
    checker.checkDiskSpace();
    QVERIFY(fullSpy.wait());
    QCOMPARE(asked, m_tree->path("/media/usb0"));
    QCOMPARE(fullSpy.at(0), QVariantList({full, reserve}));
    QCOMPARE(bytesSpy.count(), 1);
    QCOMPARE(bytesSpy.at(0).at(0).value<QList<qint64>>(), QList<qint64>({8000000000LL, available, available}));
}

void TestStorage::fullDiskDeletesOldestFoldersWhenAllowed()
{
    const QString logs = m_tree->path("/media/usb0/Logs");
    for (const char *name : {"Log_n3", "Log_n1", "Log_n2", "Log_n4"})
        StorageTree::writeFile(logs + "/" + name + "/data.txt", "x");
    StorageTree::writeFile(logs + "/loose_file.txt", "x");
    auto folders = [logs] { return QDir(logs).entryList(QDir::Dirs | QDir::NoDotAndDotDot); };
    DiskSpaceChecker checker;
    checker.setPath(logs);
    checker.setFreeBytesMin(30000000);
    // Each remaining folder stands for 10 MB used of a 50 MB volume.
    checker.setSpaceQuery([folders](const QString &) { return StorageTree::space(50000000LL - folders().size() * 10000000LL); });
    QSignalSpy fullSpy(&checker, &DiskSpaceChecker::diskFullSig);
    auto fullAfterCheck = [&] { checker.checkDiskSpace(); return fullSpy.wait() ? fullSpy.last().at(0) : QVariant(); };
    QCOMPARE(fullAfterCheck(), QVariant(true));
    QCOMPARE(folders().size(), 4);

    checker.setDeleteDataIfFull(true);
    QCOMPARE(fullAfterCheck(), QVariant(false));
    QCOMPARE(folders(), QStringList({"Log_n3", "Log_n4"}));
    QVERIFY(QFile::exists(logs + "/loose_file.txt"));

    // The newest folder is the one being written and stays even when the disk stays full.
    checker.setFreeBytesMin(45000000);
    QCOMPARE(fullAfterCheck(), QVariant(true));
    QCOMPARE(folders(), QStringList({"Log_n4"}));
}

void TestStorage::chosenDeviceIsAnnouncedOnlyWhenPresentAndNotFull()
{
    ESLoggingDeviceController controller(nullptr, 60000, 600000);
    std::atomic<qint64> available{1000000000};
    controller.diskSpaceChecker()->setSpaceQuery([&available](const QString &) { return StorageTree::space(available); });
    QSignalSpy info(&controller, &ESLoggingDeviceController::deviceInfoChanged);
    QSignalSpy raw(&controller, &ESLoggingDeviceController::rawDataDeviceInfoChanged);
    QSignalSpy checks(controller.storageController(), &StorageDeviceController::checkFinished);
    QVERIFY(checks.wait());

    // Until the stick is there, nothing may write.
    controller.setLoggingDevice(LogToUsb);
    QTest::qWait(100);
    QVERIFY(info.isEmpty() || !info.last().at(0).toBool());
    QVERIFY(!controller.isLoggingSpaceAvailable());

    m_tree->mount({"/media/usb0"});
    controller.storageController()->requestCheck();
    const QString usbLogs = m_tree->path("/media/usb0/velmora/99999/Logs"), sdLogs = m_tree->path("/media/sd0/velmora/99999/Logs");
    QTRY_VERIFY(!info.isEmpty() && info.last() == QVariantList({true, true, usbLogs}));
    QCOMPARE(controller.logPath(), usbLogs);

    // The other device coming and going does not disturb the chosen one.
    const int before = info.count();
    m_tree->mount({"/media/usb0", "/media/sd0"});
    controller.storageController()->requestCheck();
    QVERIFY(checks.wait());
    QTest::qWait(50);
    QCOMPARE(info.count(), before);

    m_tree->pull("/media/usb0");
    controller.storageController()->requestCheck();
    QTRY_COMPARE(info.last(), QVariantList({false, false, QString()}));

    controller.setLoggingDevice(LogToSd);
    QTRY_COMPARE(info.last(), QVariantList({true, true, sdLogs}));
    QCOMPARE(raw.last(), QVariantList({true, sdLogs}));

    // Into the raw data reserve: raw data stops, the small logs go on; below the minimum all stops.
    available = 50000000;
    controller.checkNow();
    QTRY_COMPARE(raw.last().at(0).toBool(), false);
    QCOMPARE(info.last(), QVariantList({true, false, sdLogs}));
    available = 19000000;
    controller.checkNow();
    QTRY_COMPARE(info.last().at(0).toBool(), false);
    QVERIFY(!controller.isLoggingSpaceAvailable());
    available = 900000000;
    controller.checkNow();
    QTRY_COMPARE(raw.last(), QVariantList({true, sdLogs}));
    QCOMPARE(info.last(), QVariantList({true, true, sdLogs}));
}

void TestStorage::ordinalNumberSurvivesRestart()
{
    const QString file = m_tree->path("/opt/Logging_Ordinal_Number");
    StorageTree::writeFile(file, "Something_Else=3\nCurrent_Ordinal_Number=41\n");
    {
        ESLoggingDeviceController controller(nullptr, 60000, 600000);
        QCOMPARE(controller.ordinalNumber(), 41);
        QSignalSpy spy(&controller, &ESLoggingDeviceController::ordinalNumberChanged);
        controller.incrementOrdinalNumber();
        QCOMPARE(spy, QList<QVariantList>({{42}}));
        QVERIFY2(QRegularExpression("^/Log_n42_utc\\d{4}_[A-Z][a-z]{2}_\\d\\d-\\d\\d_\\d\\d_\\d\\d$")
                     .match(controller.newLogFolderName()).hasMatch(), qPrintable(controller.newLogFolderName()));
    }
    QCOMPARE(StorageTree::readFile(file), QByteArray("Current_Ordinal_Number=42\n"));
    ESLoggingDeviceController again(nullptr, 60000, 600000);
    QCOMPARE(again.ordinalNumber(), 42);

    StorageTree::writeFile(file, "Current_Ordinal_Number=garbage\n");
    ESLoggingDeviceController broken(nullptr, 60000, 600000);
    QCOMPARE(broken.ordinalNumber(), 0);
}

QTEST_GUILESS_MAIN(TestStorage)
#include "tst_storage.moc"
