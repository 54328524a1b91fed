#include "nmeatestlines.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using NmeaTest::line;

// The command-line check tool: one JSON object per line, a summary, exit codes.
class TestNmeaCheck : public QObject
{
    Q_OBJECT
private slots:
    void reportsEveryLine();
    void lineFeedOnlyWithOption();
    void unusableArguments();

private:
    struct Run
    {
        int exitCode = -1;
        QList<QJsonObject> objects;
        QString summary;
    };
    Run run(const QStringList &arguments, const QByteArray &stdinData = QByteArray());
};

TestNmeaCheck::Run TestNmeaCheck::run(const QStringList &arguments, const QByteArray &stdinData)
{
    QProcess process;
    process.start(QStringLiteral(KVE_NMEA_CHECK_PATH), arguments);
    if (!process.waitForStarted())
        return Run();
    process.write(stdinData);
    process.closeWriteChannel();
    process.waitForFinished(30000);
    Run result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    for (const QByteArray &jsonLine : process.readAllStandardOutput().split('\n')) {
        if (jsonLine.isEmpty())
            continue;
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(jsonLine, &error);
        if (error.error != QJsonParseError::NoError)
            result.objects.append(QJsonObject{{"unparsable", QString::fromLatin1(jsonLine)}});
        else
            result.objects.append(doc.object());
    }
    result.summary = QString::fromLatin1(process.readAllStandardError());
    return result;
}

void TestNmeaCheck::reportsEveryLine()
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("lines.nmea")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QString bad = line(QStringLiteral("GPHDT,1.0,T"));
    bad.replace(bad.size() - 4, 2, QStringLiteral("ZZ"));
    const QString lines = line(QStringLiteral("GPHDT,123.4,T")) + bad
                          + line(QStringLiteral("PZTQDPT,30.5,1.0,200,87,38,Fwd"))
                          + line(QStringLiteral("GPXYZ,1")) + line(QStringLiteral("SDMTW,12.0,"))
                          + QStringLiteral("$GPHDT,\"q\\\x01*00\r\n");
    file.write(lines.toLatin1());
    file.close();

    const Run result = run({file.fileName()});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.objects.size(), 6);
    const QJsonObject hdt = result.objects.at(0);
    QCOMPARE(hdt.value("line").toInt(), 1);
    QCOMPARE(hdt.value("check").toInt(), 0);
    QCOMPARE(hdt.value("talker").toString(), QStringLiteral("GP"));
    QCOMPARE(hdt.value("formatter").toString(), QStringLiteral("HDT"));
    QCOMPARE(hdt.value("known").toBool(), true);
    QCOMPARE(hdt.value("result").toInt(), 0);
    const QJsonObject fields = hdt.value("fields").toObject();
    QCOMPARE(fields.value("HeadingTrue").toString(), QStringLiteral("123.4"));
    QCOMPARE(fields.value("HeadingTrueString").toString(), QStringLiteral("T"));

    QCOMPARE(result.objects.at(1).value("check").toInt(), 1);
    QVERIFY(result.objects.at(1).value("result").isNull());
    QCOMPARE(result.objects.at(1).value("fields").toObject().size(), 0);
    const QJsonObject dpt = result.objects.at(2);
    QCOMPARE(dpt.value("talker").toString(), QStringLiteral("PZTQ"));
    QCOMPARE(dpt.value("fields").toObject().value("TransducerPosition").toString(), QStringLiteral("Fwd"));
    QCOMPARE(dpt.value("fields").toObject().size(), 6);
    QCOMPARE(result.objects.at(3).value("known").toBool(), false);
    QVERIFY(result.objects.at(3).value("result").isNull());
    QCOMPARE(result.objects.at(4).value("result").toInt(), 6);
    // Quotes, backslashes and control characters never break the JSON.
    QVERIFY(!result.objects.at(5).contains("unparsable"));
    QCOMPARE(result.objects.at(5).value("check").toInt(), 1);

    QVERIFY2(result.summary.startsWith(QStringLiteral("6 lines, 2 accepted, 4 rejected\n")),
             qPrintable(result.summary));
    QVERIFY(result.summary.contains(QStringLiteral("check 1: 2\n")));
    QVERIFY(result.summary.contains(QStringLiteral("result 6: 1\n")));
    QVERIFY(result.summary.contains(QStringLiteral("unknown formatter: 1\n")));

    // Two files are read in order and numbered on.
    const Run twice = run({file.fileName(), file.fileName()});
    QCOMPARE(twice.objects.size(), 12);
    QCOMPARE(twice.objects.at(6).value("line").toInt(), 7);
    QCOMPARE(twice.objects.at(6).value("check").toInt(), 0);
}

void TestNmeaCheck::lineFeedOnlyWithOption()
{
    QString lf = line(QStringLiteral("YXMTW,4.5,C"));
    lf.remove(QLatin1Char('\r'));
    const QByteArray input = (lf + lf).toLatin1();
    const Run strict = run({}, input);
    QCOMPARE(strict.exitCode, 0);
    QCOMPARE(strict.objects.size(), 2);
    QCOMPARE(strict.objects.at(0).value("check").toInt(), 2);
    const Run lenient = run({QStringLiteral("--lf")}, input);
    QCOMPARE(lenient.objects.at(1).value("check").toInt(), 0);
    QCOMPARE(lenient.objects.at(1).value("fields").toObject().value("WaterTemperature").toString(),
             QStringLiteral("4.5"));
    QVERIFY(lenient.summary.startsWith(QStringLiteral("2 lines, 2 accepted, 0 rejected")));
    // A last line without any line end is checked too.
    const Run unterminated = run({}, line(QStringLiteral("YXMTW,4.5,C")).toLatin1() + "$YXMTW,4.5");
    QCOMPARE(unterminated.objects.size(), 2);
    QCOMPARE(unterminated.objects.at(1).value("check").toInt(), 2);
}

void TestNmeaCheck::unusableArguments()
{
    const Run missing = run({QStringLiteral("/nonexistent/lines.nmea")});
    QCOMPARE(missing.exitCode, 2);
    QVERIFY(missing.objects.isEmpty());
    QVERIFY(missing.summary.contains(QStringLiteral("cannot read")));
    const Run option = run({QStringLiteral("--no-such-option")});
    QCOMPARE(option.exitCode, 2);
    QVERIFY(option.summary.contains(QStringLiteral("no-such-option")));
}

QTEST_GUILESS_MAIN(TestNmeaCheck)
#include "tst_nmeacheck.moc"
