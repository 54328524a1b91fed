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
    void checkReportsTheVolumeOfItsPath();
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

    controller.setProductSerialNumber("12345");
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
    const DiskSpaceChecker::Verdict v = DiskSpaceChecker::judge(DiskSpace{valid, 8000000000LL, available, available},
                                                                ESLoggingDeviceController::FreeBytesMin,
                                                                ESLoggingDeviceController::RawDataReservedBytes);
    QTEST(v.full, "full");
    QTEST(v.reserveAvailable, "reserve");
}

void TestStorage::checkReportsTheVolumeOfItsPath()
{
    // The real volume of a stick folder that is not there yet: measured at the folder above it.
    DiskSpaceChecker checker;
    checker.setPath(m_tree->path("/media/usb0/velmora/99999/Logs"));
    QSignalSpy fullSpy(&checker, &DiskSpaceChecker::diskFullSig);
    for (qint64 min : {qint64(0), qint64(1) << 60}) {
        checker.setFreeBytesMin(min);
        checker.checkDiskSpace();
        QVERIFY(fullSpy.wait());
        QCOMPARE(fullSpy.last().at(0).toBool(), min > 0);
    }
}

void TestStorage::fullDiskDeletesOldestFoldersWhenAllowed()
{
    const QString logs = m_tree->path("/media/usb0/Logs");
    for (const char *name : {"Log_n3", "Log_n1", "Log_n2", "Log_n4"})
        StorageTree::writeFile(logs + "/" + name + "/data.txt", "x");
    StorageTree::writeFile(logs + "/loose_file.txt", "x");
    auto folders = [logs] { return QDir(logs).entryList(QDir::Dirs | QDir::NoDotAndDotDot); };
    const auto dirs = QDir::Dirs | QDir::NoDotAndDotDot;
    // Oldest first, until there is room again (here: once two folders are left).
    DiskSpaceChecker::deleteOldest(logs, dirs, QDir::Name, [&] { return folders().size() > 2; });
    QCOMPARE(folders(), QStringList({"Log_n3", "Log_n4"}));
    QVERIFY(QFile::exists(logs + "/loose_file.txt"));
    // The newest folder is the one being written and stays even when the disk stays full.
    DiskSpaceChecker::deleteOldest(logs, dirs, QDir::Name, [] { return true; });
    QCOMPARE(folders(), QStringList({"Log_n4"}));

    // A checker deletes only when allowed, and only while the volume is full.
    StorageTree::writeFile(logs + "/Log_n5/data.txt", "x");
    DiskSpaceChecker checker;
    checker.setPath(logs);
    checker.setFreeBytesMin(qint64(1) << 60);
    QSignalSpy fullSpy(&checker, &DiskSpaceChecker::diskFullSig);
    checker.checkDiskSpace();
    QVERIFY(fullSpy.wait());
    QCOMPARE(folders(), QStringList({"Log_n4", "Log_n5"}));
    checker.setDeleteDataIfFull(true);
    checker.setFreeBytesMin(0);
    checker.checkDiskSpace();
    QVERIFY(fullSpy.wait());
    QCOMPARE(folders(), QStringList({"Log_n4", "Log_n5"}));
    checker.setFreeBytesMin(qint64(1) << 60);
    checker.checkDiskSpace();
    QVERIFY(fullSpy.wait());
    QCOMPARE(folders(), QStringList({"Log_n5"}));
}

void TestStorage::chosenDeviceIsAnnouncedOnlyWhenPresentAndNotFull()
{
    ESLoggingDeviceController controller(nullptr, 60000, 600000);
    // Limits far beyond any real volume stand for a device that is full or short of the reserve.
    const qint64 beyond = qint64(1) << 60;
    auto limits = [&controller](qint64 min, qint64 reserve) {
        for (DiskSpaceChecker *c : {controller.diskSpaceChecker(), controller.rawDataDiskSpaceChecker()}) {
            c->setFreeBytesMin(min);
            c->setRawDataReservedBytesMax(reserve);
        }
    };
    QSignalSpy info(&controller, &ESLoggingDeviceController::deviceInfoChanged);
    QSignalSpy raw(&controller, &ESLoggingDeviceController::rawDataDeviceInfoChanged);
    QSignalSpy checks(controller.storageController(), &StorageDeviceController::checkFinished);
    QVERIFY(checks.wait());

    // Until the stick is there, nothing may write.
    controller.setLoggingDevice(LogToUsb);
    QTest::qWait(100);
    QVERIFY(info.isEmpty() || !info.last().at(0).toBool());
    QVERIFY(!controller.isLoggingSpaceAvailable());
    QVERIFY(raw.isEmpty() || !raw.last().at(0).toBool());

    m_tree->mount({"/media/usb0"});
    controller.storageController()->requestCheck();
    const QString usbLogs = m_tree->path("/media/usb0/velmora/99999/Logs"), sdLogs = m_tree->path("/media/sd0/velmora/99999/Logs");
    QTRY_VERIFY(!info.isEmpty() && info.last() == QVariantList({true, true, usbLogs}));
    QTRY_COMPARE(raw.last(), QVariantList({true, usbLogs}));
    QCOMPARE(controller.logPath(), usbLogs);

    // The other device coming and going does not disturb the chosen one.
    const int before = info.count(), rawBefore = raw.count();
    m_tree->mount({"/media/usb0", "/media/sd0"});
    controller.storageController()->requestCheck();
    QVERIFY(checks.wait());
    QTest::qWait(50);
    QCOMPARE(info.count(), before);
    QCOMPARE(raw.count(), rawBefore);

    m_tree->pull("/media/usb0");
    controller.storageController()->requestCheck();
    QTRY_COMPARE(info.last(), QVariantList({false, false, QString()}));
    QCOMPARE(raw.last(), QVariantList({false, QString()})); // the chosen stick only, not the card

    controller.setLoggingDevice(LogToSd);
    QTRY_COMPARE(info.last(), QVariantList({true, true, sdLogs}));
    QTRY_COMPARE(raw.last(), QVariantList({true, sdLogs}));

    // Into the raw data reserve: raw data stops, the small logs go on; below the minimum all stops.
    limits(0, beyond);
    controller.checkNow();
    QTRY_COMPARE(raw.last().at(0).toBool(), false);
    QTRY_COMPARE(info.last(), QVariantList({true, false, sdLogs}));
    limits(beyond, 0);
    controller.checkNow();
    QTRY_COMPARE(info.last().at(0).toBool(), false);
    QVERIFY(!controller.isLoggingSpaceAvailable());
    limits(ESLoggingDeviceController::FreeBytesMin, ESLoggingDeviceController::RawDataReservedBytes);
    controller.checkNow();
    QTRY_COMPARE(raw.last(), QVariantList({true, sdLogs}));
    QTRY_COMPARE(info.last(), QVariantList({true, true, sdLogs}));

    // Logs kept inside the unit: raw data still goes only to a removable device, the stick first.
    controller.setLoggingDevice(LogToInternal);
    QTRY_COMPARE(info.last(), QVariantList({true, true, m_tree->path("/opt/velmora/99999/Logs")}));
    QCOMPARE(raw.last(), QVariantList({true, sdLogs}));
    m_tree->mount({"/media/usb0", "/media/sd0"});
    controller.storageController()->requestCheck();
    QTRY_COMPARE(raw.last(), QVariantList({true, usbLogs}));
    m_tree->mount({});
    controller.storageController()->requestCheck();
    QTRY_COMPARE(raw.last(), QVariantList({false, QString()}));
    QCOMPARE(controller.rawDataDevice(), LogToInternal);

    // After a failed write the next measurement is announced again, changed or not.
    m_tree->mount({"/media/usb0"});
    controller.storageController()->requestCheck();
    QTRY_COMPARE(raw.last(), QVariantList({true, usbLogs}));
    const int announced = raw.count();
    controller.checkNow();
    QTest::qWait(200);
    QCOMPARE(raw.count(), announced);
    controller.rawDataWriteFailed();
    controller.checkNow();
    QTRY_COMPARE(raw.count(), announced + 1);
    QCOMPARE(raw.last(), QVariantList({true, usbLogs}));
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
