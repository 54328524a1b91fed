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
