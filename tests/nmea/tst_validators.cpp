#include "validators.h"

#include <QtTest>

class TestValidators : public QObject
{
    Q_OBJECT

private slots:
    void integerBoundaries_data();
    void integerBoundaries();
    void unsignedBoundaries();
    void rangeMessages();
    void floatRangeAndException();
    void regexMatchesWholeTextCaseSensitive();
    void sfiPatternAndForbiddenList();
    void ipAddresses_data();
    void ipAddresses();
    void validatorsFromMetadata();
};

void TestValidators::integerBoundaries_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("bottom") << "-5" << true;
    QTest::newRow("below bottom") << "-6" << false;
    QTest::newRow("top") << "20000" << true;
    QTest::newRow("above top") << "20001" << false;
    QTest::newRow("zero") << "0" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("sign only") << "-" << false;
    QTest::newRow("real") << "12.5" << false;
    QTest::newRow("hex") << "0x10" << false;
    QTest::newRow("blank around") << " 12" << false;
    QTest::newRow("letters") << "12a" << false;
    QTest::newRow("huge") << "99999999999999999999" << false;
}

void TestValidators::integerBoundaries()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    IntValidator validator(-5, 20000, QStringLiteral("between %1 and %2"));
    QCOMPARE(validator.validate(text), accepted);
}

void TestValidators::unsignedBoundaries()
{
    UintValidator validator(0, 4294967295u, QString());
    QVERIFY(validator.validate(QStringLiteral("0")));
    QVERIFY(validator.validate(QStringLiteral("4294967295")));
    QVERIFY(!validator.validate(QStringLiteral("4294967296")));
    QVERIFY(!validator.validate(QStringLiteral("-1")));
    QVERIFY(!validator.validate(QStringLiteral("-0")));

    UintValidator narrow(10, 20, QString());
    QVERIFY(!narrow.validate(QStringLiteral("9")));
    QVERIFY(narrow.validate(QStringLiteral("10")));
    QVERIFY(narrow.validate(QStringLiteral("20")));
    QVERIFY(!narrow.validate(QStringLiteral("21")));
}

void TestValidators::rangeMessages()
{
    IntValidator ints(1, 100, QStringLiteral("from %1 to %2"));
    QCOMPARE(ints.message(), QStringLiteral("from 1 to 100"));
    UintValidator uints(3, 7, QStringLiteral("%1..%2 only"));
    QCOMPARE(uints.message(), QStringLiteral("3..7 only"));

    FloatValidator unnamed(0.2, 6000.0, QString());
    QCOMPARE(unnamed.message(), QStringLiteral("value must be a real number between 0 and 6000!"));
    FloatValidator rounded(1.6, 99.5, QStringLiteral("%1-%2"));
    QCOMPARE(rounded.message(), QStringLiteral("2-100"));
    FloatValidator plain(1.0, 2.0, QStringLiteral("no placeholders"));
    QCOMPARE(plain.message(), QStringLiteral("no placeholders"));

    RegexValidator regex(QStringLiteral("x"), QStringLiteral("bad text"));
    QCOMPARE(regex.message(), QStringLiteral("bad text"));
    regex.setSecondText(QStringLiteral("more"));
    QCOMPARE(regex.secondText(), QStringLiteral("more"));
}

void TestValidators::floatRangeAndException()
{
    FloatValidator shallow(1.0, 100.0, QString(), 0.0);
    QVERIFY(shallow.validate(QStringLiteral("0")));
    QVERIFY(shallow.validate(QStringLiteral("0.0")));
    QVERIFY(shallow.validate(QStringLiteral("1")));
    QVERIFY(shallow.validate(QStringLiteral("100.0")));
    QVERIFY(!shallow.validate(QStringLiteral("0.5")));
    QVERIFY(!shallow.validate(QStringLiteral("100.01")));
    QVERIFY(!shallow.validate(QStringLiteral("abc")));
    QVERIFY(!shallow.validate(QString()));
    QVERIFY(!shallow.validate(QStringLiteral("nan")));
    QVERIFY(!shallow.validate(QStringLiteral("inf")));

    // -101 means "no exception": the value itself must then lie in range like any other.
    FloatValidator noException(-200.0, -150.0, QString());
    QVERIFY(!noException.validate(QStringLiteral("-101")));
    QVERIFY(noException.validate(QStringLiteral("-150")));
    FloatValidator wide(-200.0, 0.0, QString());
    QVERIFY(wide.validate(QStringLiteral("-101")));
}

void TestValidators::regexMatchesWholeTextCaseSensitive()
{
    RegexValidator name(QStringLiteral("[a-zA-Z0-9]{2,10}"), QString());
    QVERIFY(name.validate(QStringLiteral("KVE420")));
    QVERIFY(!name.validate(QStringLiteral("K")));
    QVERIFY(!name.validate(QStringLiteral("KVE420_Display")));
    QVERIFY(!name.validate(QStringLiteral("ab cd")));

    RegexValidator preset(QStringLiteral("[DKNO]"), QString());
    QVERIFY(preset.validate(QStringLiteral("D")));
    QVERIFY(!preset.validate(QStringLiteral("d")));
    QVERIFY(!preset.validate(QStringLiteral("DD")));

    RegexValidator broken(QStringLiteral("(unclosed"), QString());
    QVERIFY(!broken.validate(QStringLiteral("(unclosed")));
}

void TestValidators::sfiPatternAndForbiddenList()
{
    SfiValidator sfi({QStringLiteral("SD0108")}, QStringLiteral("[a-zA-Z]{2,2}[0-9]{4,4}"),
                     QStringLiteral("in use"), QStringLiteral("two letters, four digits"));
    QVERIFY(sfi.validate(QStringLiteral("SD0109")));
    QVERIFY(sfi.validate(QStringLiteral("vm1235")));
    QVERIFY(!sfi.validate(QStringLiteral("SD010")));
    QCOMPARE(sfi.message(), QStringLiteral("two letters, four digits"));
    QVERIFY(!sfi.validate(QStringLiteral("SD01090")));
    QVERIFY(!sfi.validate(QStringLiteral("S10109")));
    QVERIFY(!sfi.validate(QStringLiteral("SD0108")));
    QCOMPARE(sfi.message(), QStringLiteral("in use"));
    QVERIFY(!sfi.validate(QStringLiteral("xx")));
    QCOMPARE(sfi.message(), QStringLiteral("two letters, four digits"));
    sfi.setForbidden({});
    QVERIFY(sfi.validate(QStringLiteral("SD0108")));
}

void TestValidators::ipAddresses_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<bool>("approved");
    QTest::newRow("ten") << "10.1.2.3" << true << true;
    QTest::newRow("hundred") << "100.1.2.3" << true << false;
    QTest::newRow("172.16") << "172.16.0.1" << true << true;
    QTest::newRow("172.31") << "172.31.255.254" << true << true;
    QTest::newRow("172.15") << "172.15.0.1" << true << false;
    QTest::newRow("172.32") << "172.32.0.1" << true << false;
    QTest::newRow("192.168") << "192.168.1.1" << true << true;
    QTest::newRow("192.169") << "192.169.1.1" << true << false;
    QTest::newRow("own group first") << "239.192.0.1" << false << false;
    QTest::newRow("own group") << "239.192.0.5" << false << false;
    QTest::newRow("own group last") << "239.192.0.64" << false << false;
    QTest::newRow("after own groups") << "239.192.0.65" << true << false;
    QTest::newRow("fourth zero") << "10.0.0.0" << false << false;
    QTest::newRow("fourth 255") << "192.168.1.255" << false << false;
    QTest::newRow("fourth 254") << "192.168.1.254" << true << true;
    QTest::newRow("octet 256") << "10.256.0.1" << false << false;
    QTest::newRow("octet zero") << "0.0.0.1" << true << false;
    QTest::newRow("three parts") << "10.0.1" << false << false;
    QTest::newRow("five parts") << "10.0.0.1.1" << false << false;
    QTest::newRow("empty part") << "10..0.1" << false << false;
    QTest::newRow("letters") << "10.a.0.1" << false << false;
    QTest::newRow("negative") << "10.-1.0.1" << false << false;
}

void TestValidators::ipAddresses()
{
    QFETCH(QString, address);
    QFETCH(bool, accepted);
    QFETCH(bool, approved);
    IpValidator validator(QStringLiteral("wrong address"));
    // A previous approved address must not leak its flag into the next check.
    QVERIFY(validator.validate(QStringLiteral("10.0.0.1")));
    QCOMPARE(validator.validate(address), accepted);
    QCOMPARE(validator.isApproved(), approved);
    QCOMPARE(validator.message(), QStringLiteral("wrong address"));
    QVERIFY(validator.secondText().startsWith(QStringLiteral("Unapproved IP address, approved ranges are:\n")));
}

void TestValidators::validatorsFromMetadata()
{
    auto shallow = createValidator(QStringLiteral("float;1.0;100.0;;0.0"));
    QVERIFY(shallow);
    QVERIFY(shallow->validate(QStringLiteral("0")));
    QVERIFY(shallow->validate(QStringLiteral("55.5")));
    QVERIFY(!shallow->validate(QStringLiteral("0.9")));

    auto plainFloat = createValidator(QStringLiteral("float;0.2;6000.0"));
    QVERIFY(plainFloat);
    QVERIFY(!plainFloat->validate(QStringLiteral("0")));

    auto ints = createValidator(QStringLiteral("int;0;100"));
    QVERIFY(ints && ints->validate(QStringLiteral("100")) && !ints->validate(QStringLiteral("101")));
    auto uints = createValidator(QStringLiteral("uint;0;4294967295"));
    QVERIFY(uints && uints->validate(QStringLiteral("4294967295")));
    auto regex = createValidator(QStringLiteral("regex;[DKNO]"));
    QVERIFY(regex && regex->validate(QStringLiteral("K")) && !regex->validate(QStringLiteral("X")));
    auto sfi = createValidator(QStringLiteral("sfi;(SD){1}\\d{4}"));
    QVERIFY(sfi && sfi->validate(QStringLiteral("SD0109")) && !sfi->validate(QStringLiteral("VM0109")));
    auto ip = createValidator(QStringLiteral("ip;Wrong_message"));
    QVERIFY(ip && ip->validate(QStringLiteral("10.0.0.2")));
    QCOMPARE(ip->message(), QStringLiteral("Wrong message"));
    QVERIFY(createValidator(QStringLiteral("IP")));

    QVERIFY(!createValidator(QStringLiteral("int;a;3")));
    QVERIFY(!createValidator(QStringLiteral("float;1")));
    QVERIFY(!createValidator(QStringLiteral("date;1;2")));
    QVERIFY(!createValidator(QString()));
}

QTEST_APPLESS_MAIN(TestValidators)
#include "tst_validators.moc"
