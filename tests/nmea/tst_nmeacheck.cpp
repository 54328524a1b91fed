#include "errorlogger.h"
#include "nmeatestlines.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using NmeaTest::line;

namespace {

struct Run
{
    int exitCode = -1;
    QList<QJsonObject> objects; // {"unparsable": text} for an output line that is no JSON object
    QString summary;
};

Run run(const QStringList &arguments, const QByteArray &input = QByteArray())
{
    QProcess process;
    process.start(QStringLiteral(KVE_NMEA_CHECK_PATH), arguments);
    if (!process.waitForStarted())
        return Run();
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(30000);
    Run result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    for (const QByteArray &jsonLine : process.readAllStandardOutput().split('\n')) {
        QJsonParseError error;
        const QJsonObject object = QJsonDocument::fromJson(jsonLine, &error).object();
        if (!jsonLine.isEmpty())
            result.objects << (error.error ? QJsonObject{{"unparsable", QString::fromLatin1(jsonLine)}} : object);
    }
    result.summary = QString::fromLatin1(process.readAllStandardError());
    return result;
}

QJsonObject json(const char *text)
{
    return QJsonDocument::fromJson(text).object();
}

} // namespace

// The command-line check tool: one JSON object per line, a summary, exit codes.
class TestNmeaCheck : public QObject
{
    Q_OBJECT
private slots:
    void reportsEveryLine()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("lines.nmea")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        // The last line's quotes, backslash and control character must not break the JSON.
        file.write((line("GPHDT,123.4,T") + "$GPHDT,1.0,T*ZZ\r\n" + line("PZTQDPT,30.5,1.0,200,87,38,Fwd") + line("GPXYZ,1")
                    + line("SDMTW,12.0,") + QStringLiteral("$GPHDT,\"q\\\x01*00\r\n")).toLatin1());
        file.close();
        const Run result = run({file.fileName()});
        QCOMPARE(result.exitCode, 0);
        const QList<QJsonObject> expected = {
            json(R"({"line": 1, "check": 0, "talker": "GP", "formatter": "HDT", "known": true, "result": 0,
                     "fields": {"HeadingTrue": "123.4", "HeadingTrueString": "T"}})"),
            json(R"({"line": 2, "check": 1, "talker": "", "formatter": "", "known": false, "result": null, "fields": {}})"),
            json(R"({"line": 3, "check": 0, "talker": "PZTQ", "formatter": "DPT", "known": true, "result": 0,
                     "fields": {"DepthBlwTransducerMeters": "30.5", "OffsetFromTransducerMeters": "1.0",
                                "MaximumRangeScale": "200.0", "BottomEchoStrength": "87", "TransducerFrequency": "38",
                                "TransducerPosition": "Fwd"}})"),
            json(R"({"line": 4, "check": 0, "talker": "GP", "formatter": "XYZ", "known": false, "result": null,
                     "fields": {}})"),
            json(R"({"line": 5, "check": 0, "talker": "SD", "formatter": "MTW", "known": true, "result": 6,
                     "fields": {"WaterTemperature": "12.0", "Celsius": "C"}})"),
            json(R"({"line": 6, "check": 1, "talker": "", "formatter": "", "known": false, "result": null, "fields": {}})")};
        QCOMPARE(result.objects, expected);
        QCOMPARE(result.summary, QStringLiteral("6 lines, 2 accepted, 4 rejected\ncheck 0: 4\ncheck 1: 2\nresult 0: 2\n"
                                                "result 6: 1\nunknown formatter: 1\n"));
        // Two files are read in order and numbered on.
        const Run twice = run({file.fileName(), file.fileName()});
        QCOMPARE(twice.objects.size(), 12);
        QCOMPARE(twice.objects.at(6).value("line").toInt(), 7);
        QCOMPARE(twice.objects.at(6).value("check").toInt(), 0);
    }

    void takesLinesApartLikeTheReceivePath()
    {
        // Noise before the start and bytes between checksum and line end are dropped, as on a line.
        QString tail = line("HEHDT,12.5,T");
        tail.insert(tail.size() - 2, QStringLiteral("junk"));
        const Run result = run({}, ("\x01noise" + line("HEHDT,10.5,T") + tail + line("PGRMZ,2282,f,3")).toLatin1());
        QCOMPARE(result.objects.size(), 3);
        QCOMPARE(result.objects.at(0).value("check").toInt(), 0);
        QCOMPARE(result.objects.at(0).value("fields").toObject().value("HeadingTrue").toString(), QStringLiteral("10.5"));
        QCOMPARE(result.objects.at(1).value("fields").toObject().value("HeadingTrue").toString(), QStringLiteral("12.5"));
        QCOMPARE(result.objects.at(2).value("known").toBool(), false);
        QVERIFY(result.summary.startsWith(QStringLiteral("3 lines, 2 accepted, 1 rejected")));
    }

    void summaryRunsTheWholeReceivePath()
    {
        // Counts only: per formatter what became of its sentences, then per result and per error code.
        const QByteArray input = (line("HEHDT,10.5,T") + line("HEHDT,11.5,T") + line("SDDPT,12.5,0.5,100")
                                  + line("IIDPT,8.5,0.5,100") + line("HEHDG,101.5,,,7.1,W") + line("PGRMZ,2282,f,3")
                                  + line("SDMTW,12.0,") + "$HEHDT,1.0,T*00\r\n" + line("HEHDT,1.0,T").left(10))
                                     .toLatin1();
        const Run result = run({QStringLiteral("--summary")}, input);
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.summary, QString());
        QStringList got;
        for (const QJsonObject &object : result.objects)
            got << object.value("unparsable").toString();
        QCOMPARE(got, (QStringList{
                           "lines: 9",
                           "formatter DPT: 2 (valid 1, data not valid 1, not handled 0, field errors 0)",
                           "formatter HDG: 1 (valid 0, data not valid 0, not handled 1, field errors 0)",
                           "formatter HDT: 2 (valid 2, data not valid 0, not handled 0, field errors 0)",
                           "formatter MTW: 1 (valid 0, data not valid 0, not handled 0, field errors 1)",
                           "formatter PGRMZ: 1 (valid 0, data not valid 0, not handled 1, field errors 0)",
                           "result 0 (handled, valid data): 3",
                           "result 1 (not handled): 2",
                           "result 3 (handled, no valid data): 1",
                           "error 1 (" + nmeaErrorText(1) + "): 1",
                           "error 2 (" + nmeaErrorText(2) + "): 1",
                           "error 6 (" + nmeaErrorText(6) + "): 1"}));
    }

    void lineEndsAndUnusableArguments()
    {
        const QByteArray lf = line("YXMTW,4.5,C").remove('\r').toLatin1();
        const Run strict = run({}, lf + lf);
        QCOMPARE(strict.exitCode, 0);
        QCOMPARE(strict.objects.size(), 2);
        QCOMPARE(strict.objects.at(0).value("check").toInt(), 2);
        const Run lenient = run({QStringLiteral("--lf")}, lf + lf);
        QCOMPARE(lenient.objects.at(1).value("check").toInt(), 0);
        QCOMPARE(lenient.objects.at(1).value("fields").toObject().value("WaterTemperature").toString(), QStringLiteral("4.5"));
        QVERIFY(lenient.summary.startsWith(QStringLiteral("2 lines, 2 accepted, 0 rejected")));
        // A last line without any line end is checked too.
        const Run unterminated = run({}, line("YXMTW,4.5,C").toLatin1() + "$YXMTW,4.5");
        QCOMPARE(unterminated.objects.size(), 2);
        QCOMPARE(unterminated.objects.at(1).value("check").toInt(), 2);
        // Unreadable files and unknown options end with exit code 2.
        const Run missing = run({QStringLiteral("/nonexistent/lines.nmea")});
        QCOMPARE(missing.exitCode, 2);
        QVERIFY(missing.objects.isEmpty());
        QVERIFY(missing.summary.contains(QStringLiteral("cannot read")));
        const Run option = run({QStringLiteral("--no-such-option")});
        QCOMPARE(option.exitCode, 2);
        QVERIFY(option.summary.contains(QStringLiteral("no-such-option")));
    }
};

QTEST_GUILESS_MAIN(TestNmeaCheck)
#include "tst_nmeacheck.moc"
