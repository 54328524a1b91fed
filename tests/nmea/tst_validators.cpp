#include "validators.h"

#include <QtTest>

class TestValidators : public QObject
{
    Q_OBJECT

private slots:
    void numbersAtTheirBoundaries_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        const QList<std::tuple<const char *, const char *, bool>> rows = {
            {"int", "-5", true},       {"int", "-6", false},     {"int", "20000", true}, {"int", "20001", false},
            {"int", "", false},        {"int", "-", false},      {"int", "12.5", false}, {"int", "0x10", false},
            {"int", " 12", false},     {"int", "99999999999999999999", false},
            {"uint", "4294967295", true}, {"uint", "4294967296", false}, {"uint", "-1", false}, {"uint", "-0", false},
            {"float", "0", true},      {"float", "1", true},     {"float", "100.0", true}, {"float", "0.5", false},
            {"float", "100.01", false}, {"float", "nan", false}, {"float", "inf", false}, {"float", "abc", false},
        };
        for (const auto &row : rows)
            QTest::addRow("%s %s", std::get<0>(row), std::get<1>(row)) << std::get<0>(row) << std::get<1>(row) << std::get<2>(row);
    }

    void numbersAtTheirBoundaries()
    {
        QFETCH(QString, kind);
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        IntValidator ints(-5, 20000, QString());
        UintValidator uints(0, 4294967295u, QString());
        FloatValidator floats(1.0, 100.0, QString(), 0.0); // 0 = "off" lies outside the range
        Validator &validator = kind == QLatin1String("int") ? static_cast<Validator &>(ints)
                               : kind == QLatin1String("uint") ? static_cast<Validator &>(uints)
                                                               : static_cast<Validator &>(floats);
        QCOMPARE(validator.validate(text), accepted);
    }

    void messagesPatternsAndMetadata()
    {
        QCOMPARE(IntValidator(1, 100, QStringLiteral("from %1 to %2")).message(), QStringLiteral("from 1 to 100"));
        QCOMPARE(UintValidator(3, 7, QStringLiteral("%1..%2")).message(), QStringLiteral("3..7"));
        QCOMPARE(FloatValidator(0.2, 6000.0, QString()).message(), QStringLiteral("value must be a real number between 0 and 6000!"));
        QCOMPARE(FloatValidator(1.6, 99.5, QStringLiteral("%1-%2")).message(), QStringLiteral("2-100"));
        // -101 means "no exception": the value must then lie in the range like any other.
        QVERIFY(!FloatValidator(-200.0, -150.0, QString()).validate(QStringLiteral("-101")));
        RegexValidator name(QStringLiteral("[a-zA-Z0-9]{2,10}"), QStringLiteral("bad name"));
        QVERIFY(name.validate(QStringLiteral("KVE420")));
        QVERIFY(!name.validate(QStringLiteral("KVE420_Display"))); // whole text must match
        QVERIFY(!RegexValidator(QStringLiteral("[DKNO]"), QString()).validate(QStringLiteral("d"))); // case-sensitive
        QVERIFY(!RegexValidator(QStringLiteral("(unclosed"), QString()).validate(QStringLiteral("(unclosed")));
        QCOMPARE(name.message(), QStringLiteral("bad name"));
        SfiValidator sfi({QStringLiteral("SD0108")}, QStringLiteral("[a-zA-Z]{2,2}[0-9]{4,4}"), QStringLiteral("in use"),
                         QStringLiteral("two letters, four digits"));
        QVERIFY(sfi.validate(QStringLiteral("vm1235")));
        QVERIFY(!sfi.validate(QStringLiteral("SD01090")));
        QCOMPARE(sfi.message(), QStringLiteral("two letters, four digits"));
        // The message follows the last fault: an identifier in use, then a malformed one.
        QVERIFY(!sfi.validate(QStringLiteral("SD0108")));
        QCOMPARE(sfi.message(), QStringLiteral("in use"));
        QVERIFY(!sfi.validate(QStringLiteral("xx")));
        QCOMPARE(sfi.message(), QStringLiteral("two letters, four digits"));
        // Validators built from field metadata texts.
        auto shallow = createValidator(QStringLiteral("float;1.0;100.0;;0.0"));
        QVERIFY(shallow && shallow->validate(QStringLiteral("0")) && !shallow->validate(QStringLiteral("0.9")));
        auto plain = createValidator(QStringLiteral("float;0.2;6000.0"));
        QVERIFY(plain && !plain->validate(QStringLiteral("0")));
        auto uints = createValidator(QStringLiteral("uint;0;4294967295"));
        QVERIFY(uints && uints->validate(QStringLiteral("4294967295")));
        auto sounder = createValidator(QStringLiteral("sfi;(SD){1}\\d{4}"));
        QVERIFY(sounder && sounder->validate(QStringLiteral("SD0109")) && !sounder->validate(QStringLiteral("VM0109")));
        auto ip = createValidator(QStringLiteral("ip;Wrong_message"));
        QVERIFY(ip && ip->validate(QStringLiteral("10.0.0.2")));
        QCOMPARE(ip->message(), QStringLiteral("Wrong message"));
        for (const char *bad : {"int;a;3", "float;1", "date;1;2", ""})
            QVERIFY2(!createValidator(QString::fromLatin1(bad)), bad);
    }

    void ipAddresses_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<bool>("approved");
        const QList<std::tuple<const char *, bool, bool>> rows = {
            {"10.1.2.3", true, true},      {"100.1.2.3", true, false},     {"172.16.0.1", true, true},
            {"172.31.255.254", true, true}, {"172.15.0.1", true, false},   {"172.32.0.1", true, false},
            {"192.168.1.1", true, true},    {"192.169.1.1", true, false},  {"239.192.0.1", false, false},
            {"239.192.0.5", false, false},  {"239.192.0.64", false, false}, {"239.192.0.65", true, false},
            {"10.0.0.0", false, false},     {"192.168.1.255", false, false}, {"10.256.0.1", false, false},
            {"10.0.1", false, false},       {"10.0.0.1.1", false, false},  {"10..0.1", false, false},
            {"10.-1.0.1", false, false},
        };
        for (const auto &row : rows)
            QTest::newRow(std::get<0>(row)) << std::get<0>(row) << std::get<1>(row) << std::get<2>(row);
    }

    void ipAddresses()
    {
        QFETCH(QString, address);
        QFETCH(bool, accepted);
        QFETCH(bool, approved);
        IpValidator validator(QStringLiteral("wrong address"));
        QVERIFY(validator.validate(QStringLiteral("10.0.0.1"))); // must not leak its approval
        QCOMPARE(validator.validate(address), accepted);
        QCOMPARE(validator.isApproved(), approved);
        QVERIFY(validator.secondText().startsWith(QStringLiteral("Unapproved IP address, approved ranges are:\n")));
    }
};

QTEST_APPLESS_MAIN(TestValidators)
#include "tst_validators.moc"
