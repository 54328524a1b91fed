#include "nmeacatalogue.h"
#include "nmeamessageregistry.h"

#include <QMetaClassInfo>
#include <QValidator>
#include <QMetaProperty>
#include <QRandomGenerator>
#include <QtTest>

#include <memory>

// Sentence metadata faults: each must be caught as a programming error, not silently accepted.
#define KVE_FIELDS_BADNAME(F) F(Depth, "type=float")
class MsgBadName : public NmeaMessage
{
    Q_OBJECT
    Q_CLASSINFO("Other", "type=float")
    KVE_NMEA_FIELD(Depth, "type=float")
public:
    MsgBadName() : NmeaMessage(QStringLiteral("SD"), QStringLiteral("BAD")) {}
};
#define KVE_FIELDS_BADKEY(F) F(Depth, "type=float colour=red")
class MsgBadKey : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgBadKey, "BAD", QStringLiteral("SD"), KVE_FIELDS_BADKEY) };
#define KVE_FIELDS_BADNUMBER(F) F(Depth, "type=int fixedLength=three")
class MsgBadNumber : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgBadNumber, "BAD", QStringLiteral("SD"), KVE_FIELDS_BADNUMBER) };
#define KVE_FIELDS_BADBOUNDS(F) F(Depth, "type=float validator=0;deep")
class MsgBadBounds : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgBadBounds, "BAD", QStringLiteral("SD"), KVE_FIELDS_BADBOUNDS) };
#define KVE_FIELDS_BADTYPE(F) F(Depth, "type=bool validator=x")
class MsgBadType : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgBadType, "BAD", QStringLiteral("SD"), KVE_FIELDS_BADTYPE) };

namespace {

QString framed(const QString &body)
{
    return QLatin1Char('$') + body + QLatin1Char('*') + NmeaMessage::checksum(body)
           + QLatin1String("\r\n");
}

int check(QString line)
{
    return NmeaMessage::checkSentence(line);
}

QString throwText(const std::function<void()> &build)
{
    try {
        build();
    } catch (const char *text) {
        return QString::fromLatin1(text);
    }
    return QString();
}

} // namespace

class TestSentences : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { qputenv("QT_LOGGING_RULES", "default.debug=false"); }
    void checksumDigits();
    void checkOrderAndCodes();
    void checkLeavesBareSentence();
    void viewCheckAgreesWithCopyingCheck();
    void deserializeCodesAndPartialFields();
    void completeSentenceFormat();
    void metadataFaultsThrow();
    void registriesByTalker();
    void everyCatalogueClassRoundTrips();
    void catalogueEdgeCases();
};

void TestSentences::checksumDigits()
{
    QCOMPARE(NmeaMessage::checksum(QStringLiteral("abc")), QStringLiteral("60"));
    QCOMPARE(NmeaMessage::checksum(QStringLiteral("AB")), QStringLiteral("03"));
    QCOMPARE(NmeaMessage::checksum(QString()), QStringLiteral("00"));
    QCOMPARE(NmeaMessage::checksum(QStringLiteral("GPGGA")), QStringLiteral("56"));
}

void TestSentences::checkOrderAndCodes()
{
    const QString dpt = framed(QStringLiteral("SDDPT,12.5,0.5,100"));
    QCOMPARE(check(dpt), 0);
    // Lower-case hexadecimal digits are a checksum fault.
    QString lowerLine = framed(QStringLiteral("SDDPT,10.5,0.5,"));
    QCOMPARE(lowerLine.mid(lowerLine.size() - 4, 2), QStringLiteral("4A"));
    lowerLine.replace(QStringLiteral("*4A"), QStringLiteral("*4a"));
    QCOMPARE(check(lowerLine), 1);

    // Length first: 90 characters pass for GGA only; 83 characters fail even if otherwise broken.
    const QString gga = framed(QStringLiteral("GPGGA,") + QString(90 - 12, QLatin1Char('1')));
    QCOMPARE(gga.size(), 90);
    QCOMPARE(check(gga), 0);
    const QString longDpt = framed(QStringLiteral("SDDPT,") + QString(83 - 12, QLatin1Char('1')));
    QCOMPARE(longDpt.size(), 83);
    QCOMPARE(check(longDpt), 7);
    QCOMPARE(check(QString(83, QLatin1Char('x'))), 7);
    const QString exact = framed(QStringLiteral("SDDPT,") + QString(82 - 12, QLatin1Char('1')));
    QCOMPARE(check(exact), 0);

    QCOMPARE(check(QString()), 2);
    QCOMPARE(check(QStringLiteral("SDDPT,1*00\r\n")), 2);
    QString lfOnly = dpt;
    lfOnly.remove(QLatin1Char('\r'));
    QCOMPARE(check(lfOnly), 2);
    QCOMPARE(check(QStringLiteral("$SDDPT,1.0\r\n")), 1);
    QCOMPARE(check(QStringLiteral("$SDDPT,1.0*5\r\n")), 1);
    QCOMPARE(check(QStringLiteral("$SDDPT,1*0*00\r\n")), 1);
    QString wrongSum = dpt;
    wrongSum[wrongSum.size() - 3] = wrongSum.at(wrongSum.size() - 3) == QLatin1Char('0')
                                        ? QLatin1Char('1')
                                        : QLatin1Char('0');
    QCOMPARE(check(wrongSum), 1);
    QCOMPARE(check(framed(QStringLiteral("SDDP,1.0"))), 3);
    QCOMPARE(check(framed(QStringLiteral("SDDPTX,1.0"))), 3);
    QCOMPARE(check(framed(QStringLiteral("PZTQ,1.0"))), 3);
    QCOMPARE(check(framed(QStringLiteral("PZTQDPT,1.0,2.0"))), 0);
    QCOMPARE(check(framed(QStringLiteral("!AIVDM,1"))), 3);
    QCOMPARE(check(QLatin1Char('!') + framed(QStringLiteral("AIVDM,1")).mid(1)), 0);
}

void TestSentences::checkLeavesBareSentence()
{
    QString line = framed(QStringLiteral("GPHDT,123.4,T"));
    QCOMPARE(NmeaMessage::checkSentence(line), 0);
    QCOMPARE(line, QStringLiteral("GPHDT,123.4,T*") + NmeaMessage::checksum(QStringLiteral("GPHDT,123.4,T")));
}

void TestSentences::viewCheckAgreesWithCopyingCheck()
{
    QStringList lines = {framed(QStringLiteral("SDDPT,1.0,0.5,10")), framed(QStringLiteral("PZTQDPT,1")),
                         framed(QStringLiteral("SDDP,1")), framed(QStringLiteral("P,1")),
                         QStringLiteral("$SDDPT,1.0*00\r\n"), QStringLiteral("$\r\n"), QStringLiteral("$*\r\n"),
                         QStringLiteral("x"), QString(), QStringLiteral("$SDDPT,1\n"),
                         framed(QStringLiteral("GPGGA,") + QString(100, QLatin1Char('9'))),
                         QString(90, QLatin1Char('$')), QStringLiteral("!AIVDM*00\r\n")};
    // Random mutations of good lines.
    QRandomGenerator random(7);
    const QString base = framed(QStringLiteral("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W,A,S"));
    const QString alphabet = QStringLiteral("$!*,\r\nPZTQ0aF9.");
    for (int i = 0; i < 3000; ++i) {
        QString mutated = base;
        const int edits = 1 + random.bounded(3);
        for (int e = 0; e < edits; ++e) {
            const int at = random.bounded(mutated.size() + 1);
            const QChar c = alphabet.at(random.bounded(alphabet.size()));
            switch (random.bounded(3)) {
            case 0: mutated.insert(at, c); break;
            case 1: if (at < mutated.size()) mutated.remove(at, 1); break;
            default: if (at < mutated.size()) mutated[at] = c; break;
            }
        }
        lines << mutated << mutated.left(random.bounded(mutated.size() + 1));
    }
    for (const QString &line : qAsConst(lines)) {
        QString copy = line;
        const int copying = NmeaMessage::checkSentence(copy);
        QStringView bare;
        const int viewing = NmeaMessage::checkSentenceView(line, bare);
        if (viewing < 0)
            continue;
        QVERIFY2(copying == viewing, qPrintable(line));
        if (copying == 0)
            QCOMPARE(bare.toString(), copy);
    }
}

void TestSentences::deserializeCodesAndPartialFields()
{
    MsgDpt dpt;
    QCOMPARE(dpt.deserializeParamaters(QStringLiteral("12.5,,50")), 0);
    QCOMPARE(static_cast<ValidatedFloatProperty *>(dpt.DepthBlwTransducerMeters())->value(), 12.5);
    QVERIFY(!dpt.OffsetFromTransducerMeters()->isValid());
    QCOMPARE(dpt.fieldText(), QStringLiteral("12.5,,50"));

    // A shorter text fills the leading fields and keeps the rest; extra parts are ignored.
    QCOMPARE(dpt.deserializeParamaters(QStringLiteral("7.0")), 0);
    QCOMPARE(dpt.MaximumRangeScale()->fieldText(), QStringLiteral("50"));
    QCOMPARE(dpt.deserializeParamaters(QStringLiteral("1.0,2.0,3,4,5,6")), 0);
    QCOMPARE(dpt.DepthBlwTransducerMeters()->fieldText(), QStringLiteral("1.0"));

    MsgGga gga;
    QCOMPARE(gga.deserializeParamaters(QStringLiteral("123519,4807.038,N,01131.000,E,1,08")), 0);
    QCOMPARE(gga.NumberOfSatellitesInUse()->fieldText(), QStringLiteral("08"));
    QCOMPARE(gga.deserializeParamaters(QStringLiteral("12351,4807.038")), 4);
    MsgGga again;
    QCOMPARE(again.deserializeParamaters(QStringLiteral("123519,4807.038,X,01131.000")), 6);
    QVERIFY(again.UtcOfPosition()->isValid());
    QVERIFY(again.Latitude()->isValid());
    QVERIFY(!again.Longitude()->isValid());
    MsgGga notNull;
    QCOMPARE(notNull.deserializeParamaters(QStringLiteral(",,,,,,")), 6);

    // A reset object parses like a fresh one.
    gga.resetFields();
    QVERIFY(!gga.UtcOfPosition()->isValid());
    QCOMPARE(gga.GpsQualityIndicator()->fieldText(), QStringLiteral("0"));
    QCOMPARE(gga.receivedFieldText(), QString());
}

void TestSentences::completeSentenceFormat()
{
    MsgDpt dpt(QStringLiteral("SD"));
    static_cast<ValidatedFloatProperty *>(dpt.DepthBlwTransducerMeters())->setValue(12.34);
    static_cast<ValidatedFloatProperty *>(dpt.MaximumRangeScale())->setValue(100);
    QCOMPARE(dpt.completeSentence(), framed(QStringLiteral("SDDPT,12.3,,100")));
    QString line = dpt.completeSentence();
    QCOMPARE(NmeaMessage::checkSentence(line), 0);

    MsgMtw mtw(QStringLiteral("SD"));
    QCOMPARE(mtw.completeSentence(), framed(QStringLiteral("SDMTW,,C")));
    MsgPztqTst tst;
    QCOMPARE(tst.talker(), QStringLiteral("PZTQ"));
    QCOMPARE(tst.completeSentence(), framed(QStringLiteral("PZTQTST,,,,00,1000")));
    MsgXdr xdr(QStringLiteral("SD"));
    QCOMPARE(xdr.fieldCount(), 0);
    QCOMPARE(xdr.completeSentence(), framed(QStringLiteral("SDXDR,")));
}

void TestSentences::metadataFaultsThrow()
{
    QCOMPARE(throwText([] { MsgBadName m; m.initializeProperties(); }),
             QStringLiteral("void NmeaMessage::initializeProperties(): classinfo name and property name don't match!"));
    QCOMPARE(throwText([] { MsgBadKey m; }),
             QStringLiteral("void NmeaMessage::initializeProperties(): classinfo field error!"));
    QCOMPARE(throwText([] { MsgBadNumber m; }),
             QStringLiteral("void NmeaMessage::initializeProperties(): classinfo error!"));
    QCOMPARE(throwText([] { MsgBadBounds m; }),
             QStringLiteral("QValidator *NmeaMessage::createValidator: classinfo error!"));
    QCOMPARE(throwText([] { MsgBadType m; }),
             QStringLiteral("QValidator *NmeaMessage::createValidator: classinfo type error!"));
    QCOMPARE(throwText([] { delete NmeaMessage::createValidator(QStringLiteral("int"), QStringLiteral("1;x")); }),
             QStringLiteral("QValidator *NmeaMessage::createValidator: classinfo error!"));
    QVERIFY(NmeaMessage::createValidator(QStringLiteral("bool"), QString()) == nullptr);
}

void TestSentences::registriesByTalker()
{
    const NmeaMessageRegistry &registry = NmeaMessageRegistry::instance();
    std::unique_ptr<NmeaMessage> standard(registry.create(QStringLiteral("SD"), QStringLiteral("DPT")));
    std::unique_ptr<NmeaMessage> proprietary(registry.create(QStringLiteral("PZTQ"), QStringLiteral("DPT")));
    QVERIFY(standard && proprietary);
    QVERIFY(qobject_cast<MsgDpt *>(standard.get()));
    QVERIFY(qobject_cast<MsgPztqDpt *>(proprietary.get()));
    QCOMPARE(standard->talker(), QStringLiteral("SD"));
    QCOMPARE(proprietary->fieldCount(), 6);
    QVERIFY(!registry.create(QStringLiteral("PZTQ"), QStringLiteral("GGA")));
    QVERIFY(!registry.create(QStringLiteral("GP"), QStringLiteral("CFGR")));
    QVERIFY(!registry.create(QStringLiteral("GP"), QStringLiteral("XYZ")));
    std::unique_ptr<NmeaMessage> iivbw(registry.create(QStringLiteral("II"), QStringLiteral("VBW")));
    QVERIFY(qobject_cast<MsgIivbw *>(iivbw.get()));
    std::unique_ptr<NmeaMessage> vbw(registry.create(QStringLiteral("VW"), QStringLiteral("VBW")));
    QVERIFY(!qobject_cast<MsgIivbw *>(vbw.get()));
    QCOMPARE(registry.standardFormatters().size(), 33);
    QCOMPARE(registry.proprietaryFormatters().size(), 29);
}

void TestSentences::everyCatalogueClassRoundTrips()
{
    const NmeaMessageRegistry &registry = NmeaMessageRegistry::instance();
    const QStringList expectedStandard = {
        "ACK", "ACN", "ALC", "ALF", "ALR", "ARC", "CUR", "DAT", "DBK", "DBS", "DBT",
        "DDC", "DPT", "DTM", "GGA", "GLL", "GSA", "GST", "GSV", "HBT", "HDT", "IIVBW",
        "MTW", "RMC", "ROT", "SRP", "THS", "VBW", "VHW", "VLW", "VTG", "XDR", "ZDA"};
    const QStringList expectedProprietary = {
        "CFG", "CFGR", "DAT", "DEVSTART", "DPT", "ERRORCODE", "ERRORTABLE", "GCF", "ICM", "MACA",
        "MTWF", "PAIR", "PARA", "REBOOT", "RSTO", "RSTT", "SCF", "SFIACK", "SFICHANGE", "SFICHK",
        "SFITKN", "SLP", "SNF", "STL", "SYC", "TST", "VBWF", "VBWX", "VMPCGTER"};
    QCOMPARE(registry.standardFormatters(), expectedStandard);
    QCOMPARE(registry.proprietaryFormatters(), expectedProprietary);

    auto roundTrip = [&](const QString &talker, const QString &formatter) {
        const QString tag = talker + QLatin1Char('/') + formatter;
        std::unique_ptr<NmeaMessage> out(registry.create(talker, formatter));
        QVERIFY2(out, qPrintable(tag));
        const QMetaObject *meta = out->metaObject();
        QCOMPARE(meta->propertyCount() - 1, out->fieldCount());
        QCOMPARE(meta->classInfoCount(), out->fieldCount());
        // Give every field a value its own validator accepts where one is easy to find.
        for (int i = 0; i < out->fieldCount(); ++i) {
            ValidatedProperty *field = out->field(i);
            QCOMPARE(field->objectName(), QString::fromLatin1(meta->property(i + 1).name()));
            QCOMPARE(meta->property(i + 1).read(out.get()).value<ValidatedProperty *>(), field);
            if (auto *i32 = qobject_cast<ValidatedIntProperty *>(field)) {
                if (i32->setFieldText(QString(int(qMax(1u, i32->fixedLength())), QLatin1Char('1'))) != 0)
                    i32->setFieldText(QString(int(qMax(1u, i32->fixedLength())), QLatin1Char('0')));
            } else if (auto *f = qobject_cast<ValidatedFloatProperty *>(field)) {
                f->setValue(5.5);
            } else {
                static const QStringList candidates = {
                    "A", "V", "T", "M", "N", "C", "f", "F", "K", "B", "R", "S", "D", "E", "TR",
                    "BWP", "00:1A:2B:3C:4D:5E"};
                if (!field->validator()) {
                    field->setFieldText(QString(int(qMax(1u, field->fixedLength())), QLatin1Char('x')));
                } else {
                    for (const QString &candidate : candidates) {
                        if (field->setFieldText(candidate) == 0)
                            break;
                    }
                }
                QVERIFY2(field->isValid(), qPrintable(tag + QLatin1Char(' ') + field->objectName()));
            }
        }
        QString line = out->completeSentence();
        QVERIFY2(line.startsWith(QLatin1Char('$') + out->addressField() + QLatin1Char(',')), qPrintable(line));
        const QString sent = line;
        const int code = NmeaMessage::checkSentence(line);
        if (sent.size() <= 82) {
            QVERIFY2(code == 0, qPrintable(sent));
        }
        const QString fieldText = sent.mid(out->addressField().size() + 2,
                                           sent.size() - out->addressField().size() - 7);
        std::unique_ptr<NmeaMessage> in(registry.create(talker, formatter));
        QVERIFY2(in->deserializeParamaters(fieldText) == 0, qPrintable(sent));
        in->clearReceivedFieldText();
        QCOMPARE(in->completeSentence(), sent);
    };
    for (const QString &formatter : expectedStandard)
        roundTrip(formatter == QLatin1String("IIVBW") ? QStringLiteral("II") : QStringLiteral("SD"),
                  formatter == QLatin1String("IIVBW") ? QStringLiteral("VBW") : formatter);
    for (const QString &formatter : expectedProprietary)
        roundTrip(QStringLiteral("PZTQ"), formatter);
}

void TestSentences::catalogueEdgeCases()
{
    MsgAlr alr;
    QCOMPARE(alr.deserializeParamaters(QStringLiteral("123519.00,5,X,V,Depth")), 6);
    MsgIivbw iivbw;
    QCOMPARE(iivbw.addressField(), QStringLiteral("IIVBW"));
    QCOMPARE(iivbw.fieldCount(), 10);
    QCOMPARE(iivbw.deserializeParamaters(QStringLiteral("1.5,0.1,A,,,V,,V,,V")), 0);
    iivbw.clearReceivedFieldText();
    QVERIFY(iivbw.completeSentence().startsWith(QStringLiteral("$IIVBW,1.5,0.1,A,")));
    MsgGsv gsv;
    QCOMPARE(gsv.GSV_SNR_1()->fieldText(), QStringLiteral("0"));
    QCOMPARE(gsv.GSV_TotalMessages()->validityLimit(), -1);
    MsgCur cur;
    QCOMPARE(cur.DirectionRef()->fieldText(), QStringLiteral("T"));
    MsgSrp srp;
    QCOMPARE(srp.deserializeParamaters(QStringLiteral("1,00:1A:2B:3C:4D:5E,10.0.0.2")), 0);
    QCOMPARE(srp.deserializeParamaters(QStringLiteral("1,00:1A:2B:3C:4D,10.0.0.2")), 6);
}

QTEST_GUILESS_MAIN(TestSentences)
#include "tst_sentences.moc"
