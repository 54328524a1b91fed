#include "diskspacechecker.h"
#include "esloggingdevicecontroller.h"
#include "esstoragedevicecontroller.h"
#include "storagetree.h"

#include <QDir>
#include <QSignalSpy>
#include <QtTest>

#include <atomic>
#include <memory>

namespace {
// Last value of a signal argument; a spy that has seen nothing counts as false.
bool lastFlag(const QSignalSpy &spy, int arg = 0)
{
    return !spy.isEmpty() && spy.last().at(arg).toBool();
}

DiskSpace space(qint64 available)
{
    DiskSpace s;
    s.valid = true;
    s.total = 8000000000LL;
    s.free = available;
    s.available = available;
    return s;
}
}

class TestStorage : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_tree.reset(new StorageTree); }
    void cleanup() { m_tree.reset(); }

    void devicesFollowTheMountTable();

    void fullDiskRules_data();
    void fullDiskRules();
    void unreadableVolumeCountsAsFull();
    void fullDiskDeletesOldestFoldersWhenAllowed();

    void chosenDeviceIsAnnouncedOnlyWhenPresentAndMeasured();
    void fullChosenDeviceStopsLogging();
    void ordinalNumberSurvivesRestart();

private:
    std::unique_ptr<StorageTree> m_tree;
};

void TestStorage::devicesFollowTheMountTable()
{
    StorageDeviceController controller(nullptr, 60000);
    QSignalSpy spy(&controller, &StorageDeviceController::devicePresenceChanged);
    QSignalSpy checks(&controller, &StorageDeviceController::checkFinished);
    QVERIFY(checks.wait());
    QCOMPARE(spy.count(), 0);

    // A similar name is not the stick.
    m_tree->mount({"/media/usb0x"});
    controller.requestCheck();
    QVERIFY(checks.wait());
    QCOMPARE(spy.count(), 0);

    m_tree->mount({"/media/usb0", "/media/sd0"});
    controller.requestCheck();
    QVERIFY(checks.wait());
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0).at(0).value<StorageDevice>(), StorageUsb);
    QCOMPARE(spy.at(0).at(1).toBool(), true);
    QCOMPARE(spy.at(1).at(0).value<StorageDevice>(), StorageSd);
    QVERIFY(controller.isPresent(StorageUsb) && controller.isPresent(StorageSd));

    // An unchanged table is silent; pulling the stick is reported at the next check.
    controller.requestCheck();
    QVERIFY(checks.wait());
    QCOMPARE(spy.count(), 2);
    m_tree->pull("/media/usb0");
    controller.requestCheck();
    QVERIFY(checks.wait());
    QCOMPARE(spy.count(), 3);
    QCOMPARE(spy.at(2).at(0).value<StorageDevice>(), StorageUsb);
    QCOMPARE(spy.at(2).at(1).toBool(), false);
    QVERIFY(!controller.isPresent(StorageUsb));

    controller.setProductSerialNumber(12345);
    QCOMPARE(controller.devicePath(StorageSd), m_tree->path("/media/sd0/velmora/12345"));
}

void TestStorage::fullDiskRules_data()
{
    QTest::addColumn<qint64>("available");
    QTest::addColumn<bool>("full");
    QTest::addColumn<bool>("reserve");
    QTest::newRow("empty") << qint64(0) << true << false;
    QTest::newRow("one byte short") << qint64(19999999) << true << false;
    QTest::newRow("exactly the minimum") << qint64(20000000) << false << false;
    QTest::newRow("reserve one byte short") << qint64(59999999) << false << false;
    QTest::newRow("reserve exactly free") << qint64(60000000) << false << true;
    QTest::newRow("plenty") << qint64(4000000000LL) << false << true;
}

void TestStorage::fullDiskRules()
{
    QFETCH(qint64, available);
    QFETCH(bool, full);
    QFETCH(bool, reserve);
    DiskSpaceChecker checker;
    checker.setFreeBytesMin(ESLoggingDeviceController::FreeBytesMin);
    checker.setRawDataReservedBytesMax(ESLoggingDeviceController::RawDataReservedBytes);
    checker.setPath(m_tree->path("/media/usb0"));
    QString asked;
    checker.setSpaceQuery([&asked, available](const QString &p) { asked = p; return space(available); });
    QSignalSpy fullSpy(&checker, &DiskSpaceChecker::diskFullSig);
    QSignalSpy bytesSpy(&checker, &DiskSpaceChecker::availableBytesCalculated);
    checker.checkDiskSpace();
    QVERIFY(fullSpy.wait());
    QCOMPARE(asked, m_tree->path("/media/usb0"));
    QCOMPARE(fullSpy.at(0).at(0).toBool(), full);
    QCOMPARE(fullSpy.at(0).at(1).toBool(), reserve);
    QCOMPARE(bytesSpy.count(), 1);
    const auto bytes = bytesSpy.at(0).at(0).value<QList<qint64>>();
    QCOMPARE(bytes, QList<qint64>({8000000000LL, available, available}));
}

void TestStorage::unreadableVolumeCountsAsFull()
{
    DiskSpaceChecker checker;
    checker.setFreeBytesMin(10);
    checker.setSpaceQuery([](const QString &) { return DiskSpace(); });
    QSignalSpy fullSpy(&checker, &DiskSpaceChecker::diskFullSig);
    checker.checkDiskSpace();
    QVERIFY(fullSpy.wait());
    QCOMPARE(fullSpy.at(0).at(0).toBool(), true);

    // The real query on a folder that does not exist yet measures the folder above it.
    const DiskSpace real = DiskSpaceChecker::queryVolume(m_tree->path("/media/usb0/not/yet"));
    QVERIFY(real.valid);
    QVERIFY(real.total > 0);
}

void TestStorage::fullDiskDeletesOldestFoldersWhenAllowed()
{
    const QString logs = m_tree->path("/media/usb0/Logs");
    for (const char *name : {"Log_n3", "Log_n1", "Log_n2", "Log_n4"})
        StorageTree::writeFile(logs + "/" + name + "/data.txt", "x");
    StorageTree::writeFile(logs + "/loose_file.txt", "x");
    // Each remaining folder stands for 10 MB used of a 50 MB volume.
    auto query = [logs](const QString &) {
        const int folders = QDir(logs).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size();
        return space(50000000LL - folders * 10000000LL);
    };
    DiskSpaceChecker checker;
    checker.setPath(logs);
    checker.setFreeBytesMin(30000000);
    checker.setSpaceQuery(query);
    QSignalSpy fullSpy(&checker, &DiskSpaceChecker::diskFullSig);

    checker.checkDiskSpace();
    QVERIFY(fullSpy.wait());
    QCOMPARE(fullSpy.last().at(0).toBool(), true);
    QCOMPARE(QDir(logs).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 4);

    checker.setDeleteDataIfFull(true);
    checker.checkDiskSpace();
    QVERIFY(fullSpy.wait());
    QCOMPARE(fullSpy.last().at(0).toBool(), false);
    QCOMPARE(QDir(logs).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList({"Log_n3", "Log_n4"}));
    QVERIFY(QFile::exists(logs + "/loose_file.txt"));

    // The newest folder is the one being written and stays even when the disk stays full.
    checker.setFreeBytesMin(45000000);
    checker.checkDiskSpace();
    QVERIFY(fullSpy.wait());
    QCOMPARE(fullSpy.last().at(0).toBool(), true);
    QCOMPARE(QDir(logs).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList({"Log_n4"}));
}

void TestStorage::chosenDeviceIsAnnouncedOnlyWhenPresentAndMeasured()
{
    ESLoggingDeviceController controller(nullptr, 60000, 600000);
    controller.diskSpaceChecker()->setSpaceQuery([](const QString &) { return space(1000000000); });
    QSignalSpy info(&controller, &ESLoggingDeviceController::deviceInfoChanged);
    QSignalSpy checks(controller.storageController(), &StorageDeviceController::checkFinished);
    QVERIFY(checks.wait());

    // Until the stick is there, nothing may write.
    controller.setLoggingDevice(LogToUsb);
    QTest::qWait(100);
    if (!info.isEmpty())
        QCOMPARE(info.last().at(0).toBool(), false);
    QVERIFY(!controller.isLoggingSpaceAvailable());

    m_tree->mount({"/media/usb0"});
    controller.storageController()->requestCheck();
    QTRY_COMPARE(lastFlag(info), true);
    QCOMPARE(info.last().at(1).toBool(), true);
    QCOMPARE(info.last().at(2).toString(), m_tree->path("/media/usb0/velmora/99999/Logs"));
    QCOMPARE(controller.logPath(), info.last().at(2).toString());

    // The other device coming and going does not disturb the chosen one.
    const int before = info.count();
    m_tree->mount({"/media/usb0", "/media/sd0"});
    controller.storageController()->requestCheck();
    QVERIFY(checks.wait());
    QTest::qWait(50);
    QCOMPARE(info.count(), before);

    m_tree->pull("/media/usb0");
    controller.storageController()->requestCheck();
    QTRY_COMPARE(info.last().at(0).toBool(), false);
    QCOMPARE(info.last().at(2).toString(), QString());

    controller.setLoggingDevice(LogToSd);
    QTRY_COMPARE(lastFlag(info), true);
    QCOMPARE(info.last().at(2).toString(), m_tree->path("/media/sd0/velmora/99999/Logs"));
}

void TestStorage::fullChosenDeviceStopsLogging()
{
    m_tree->mount({"/media/sd0"});
    ESLoggingDeviceController controller(nullptr, 60000, 600000);
    std::atomic<qint64> available{1000000000};
    controller.diskSpaceChecker()->setSpaceQuery([&available](const QString &) { return space(available); });
    QSignalSpy info(&controller, &ESLoggingDeviceController::deviceInfoChanged);
    QSignalSpy raw(&controller, &ESLoggingDeviceController::rawDataDeviceInfoChanged);
    QSignalSpy checks(controller.storageController(), &StorageDeviceController::checkFinished);
    QVERIFY(checks.wait());
    controller.setLoggingDevice(LogToSd);
    QTRY_COMPARE(lastFlag(raw), true);

    // Into the raw data reserve: raw data stops, the small logs go on.
    available = 50000000;
    controller.checkNow();
    QTRY_COMPARE(raw.last().at(0).toBool(), false);
    QCOMPARE(info.last().at(0).toBool(), true);
    QCOMPARE(info.last().at(1).toBool(), false);

    available = 19000000;
    controller.checkNow();
    QTRY_COMPARE(info.last().at(0).toBool(), false);
    QCOMPARE(controller.isLoggingSpaceAvailable(), false);

    available = 900000000;
    controller.checkNow();
    QTRY_COMPARE(lastFlag(raw), true);
    QCOMPARE(info.last().at(0).toBool(), true);
}

void TestStorage::ordinalNumberSurvivesRestart()
{
    const QString file = m_tree->path("/opt/Logging_Ordinal_Number");
    QCOMPARE(ESLoggingDeviceController::ordinalNumberFilePath(), file);
    StorageTree::writeFile(file, "Something_Else=3\nCurrent_Ordinal_Number=41\n");
    {
        ESLoggingDeviceController controller(nullptr, 60000, 600000);
        QCOMPARE(controller.ordinalNumber(), 41);
        QSignalSpy spy(&controller, &ESLoggingDeviceController::ordinalNumberChanged);
        controller.incrementOrdinalNumber();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), 42);
        QVERIFY(controller.newLogFolderName().startsWith("/Log_n42_utc"));
        QCOMPARE(controller.newLogFolderName().size(), QString("/Log_n42_utc2026_Dec_06-19_00_00").size());
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
