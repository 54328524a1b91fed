#include "esdata.h"
#include "eslocalsetup.h"
#include "essetup.h"
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
    const int delaysMs[] = {5, 40, 120, 260};
    for (int delay : delaysMs) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(burstArgument), sandbox.directory()});
        QVERIFY(child.waitForStarted());
        QVERIFY(child.waitForReadyRead(10000));
        QVERIFY(child.readAll().startsWith("ready"));
        QTest::qWait(delay);
        child.kill(); // SIGKILL in the middle of the burst
        QVERIFY(child.waitForFinished(5000));

        const QStringList files = QDir(sandbox.directory()).entryList({QStringLiteral("*.txt")}, QDir::Files);
        QCOMPARE(files.size(), 33 + 11); // every shared and local leaf
        ESData reread(sandbox.directory());
        for (SerializableClass *tree : {static_cast<SerializableClass *>(reread.setup()),
                                        static_cast<SerializableClass *>(reread.localSetup())}) {
            std::function<void(SerializableClass *)> check = [&](SerializableClass *object) {
                const QList<SerializableClass *> children = object->serializableChildren();
                for (SerializableClass *c : children)
                    check(c);
                if (!children.isEmpty())
                    return;
                const QString content = sandbox.readFile(object->fileName());
                // A complete file reads back and writes out to exactly the same text.
                QVERIFY2(object->readFromFile(), qPrintable(object->fileName()));
                QString again = object->serialize(object);
                again.prepend(object->typeTag() + QLatin1Char(','));
                QCOMPARE(again, content);
            };
            check(tree);
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
