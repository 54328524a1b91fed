#include "settingstesthelpers.h"

#include <QtTest>

#include <cstdio>

static const char burstArgument[] = "--settings-write-burst";

// Child side: change settings as fast as possible, each change saving its file, until killed.
static int writeBurst(const QString &directory)
{
    ESData data(directory);
    ESSetup *setup = data.setup();
    setup->writeAllChildrenToFiles();
    data.localSetup()->writeAllChildrenToFiles();
    std::printf("ready\n");
    std::fflush(stdout);
    for (int n = 0;; ++n) {
        setup->AlertSetup()->changeValue(QStringLiteral("AlarmShallow"), 1 + n % 99);
        setup->transducer(n % 2)->changeValue(QStringLiteral("Range"), n % 28);
        data.localSetup()->DisplaySetup()->changeValue(QStringLiteral("SystemName"), QStringLiteral("Name%1").arg(n % 1000));
        if (n % 50 == 0)
            setup->writeAllChildrenToFiles();
    }
}

class TestSettingsCrash : public QObject
{
    Q_OBJECT

private slots:
    void killedWriterLeavesOnlyCompleteFiles();
};

void TestSettingsCrash::killedWriterLeavesOnlyCompleteFiles()
{
    SettingsSandbox sandbox;
    for (int delayMs : {5, 40, 120, 260}) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(burstArgument), sandbox.directory()});
        QVERIFY(child.waitForStarted() && child.waitForReadyRead(10000));
        QVERIFY(child.readAll().startsWith("ready"));
        QTest::qWait(delayMs);
        child.kill(); // SIGKILL in the middle of the burst
        QVERIFY(child.waitForFinished(5000));
        QCOMPARE(QDir(sandbox.directory()).entryList({QStringLiteral("*.txt")}, QDir::Files).size(), 33 + 11); // every leaf
        ESData reread(sandbox.directory());
        QList<SerializableClass *> pending = {reread.setup(), reread.localSetup()};
        while (!pending.isEmpty()) {
            SerializableClass *object = pending.takeLast();
            pending << object->serializableChildren();
            if (!object->serializableChildren().isEmpty())
                continue;
            // A complete file reads back and writes out to exactly the same text.
            QVERIFY2(object->readFromFile(), qPrintable(object->fileName()));
            QCOMPARE(object->typeTag() + QLatin1Char(',') + object->serialize(object), sandbox.readFile(object->fileName()));
        }
        const double shallow = reread.setup()->AlertSetup()->AlarmShallow();
        QVERIFY(shallow >= 1 && shallow <= 99);
    }
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], burstArgument) == 0)
        return writeBurst(QString::fromLocal8Bit(argv[2]));
    TestSettingsCrash test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_settingscrash.moc"
