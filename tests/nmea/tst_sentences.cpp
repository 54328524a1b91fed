#include "nmeacatalogue.h"
#include "nmeamessageregistry.h"
#include "nmeatestlines.h"

#include <QValidator>
#include <QMetaProperty>
#include <QRandomGenerator>
#include <QtTest>

#include <memory>

using NmeaTest::line;

// Sentence metadata faults: each must be caught as a programming error, not silently accepted.
class MsgBadName : public NmeaMessage { Q_OBJECT Q_CLASSINFO("Other", "type=float") KVE_NMEA_FIELD(Depth, "type=float")
public: MsgBadName() : NmeaMessage(QStringLiteral("SD"), QStringLiteral("BAD")) {} };
#define KVE_FIELDS_BADKEY(F) F(Depth, "type=float colour=red")
class MsgBadKey : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgBadKey, "BAD", QStringLiteral("SD"), KVE_FIELDS_BADKEY) };
#define KVE_FIELDS_BADNUMBER(F) F(Depth, "type=int fixedLength=three")
class MsgBadNumber : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgBadNumber, "BAD", QStringLiteral("SD"), KVE_FIELDS_BADNUMBER) };
#define KVE_FIELDS_BADBOUNDS(F) F(Depth, "type=float validator=0;deep")
class MsgBadBounds : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgBadBounds, "BAD", QStringLiteral("SD"), KVE_FIELDS_BADBOUNDS) };
#define KVE_FIELDS_BADTYPE(F) F(Depth, "type=bool validator=x")
class MsgBadType : public NmeaMessage { Q_OBJECT KVE_NMEA_SENTENCE_BODY(MsgBadType, "BAD", QStringLiteral("SD"), KVE_FIELDS_BADTYPE) };

namespace {

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
    void initTestCase() { NmeaTest::quietDebug(); }

    void checkCodes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("code");
        auto row = [](const char *name, const QString &text, int code) { QTest::newRow(name) << text << code; };
        const QString dpt = line("SDDPT,12.5,0.5,100");
        row("good", dpt, 0);
        // Length comes first: 90 characters pass for GGA only, 83 fail even when otherwise broken.
        row("GGA of 90", line("GPGGA," + QString(78, '1')), 0);
        row("DPT of 82", line("SDDPT," + QString(70, '1')), 0);
        row("DPT of 83", line("SDDPT," + QString(71, '1')), 7);
        row("83 of noise", QString(83, 'x'), 7);
        row("empty", QString(), 2);
        row("no start", "SDDPT,1*00\r\n", 2);
        row("line feed only", QString(dpt).remove('\r'), 2);
        row("no checksum", "$SDDPT,1.0\r\n", 1);
        row("one checksum digit", "$SDDPT,1.0*5\r\n", 1);
        row("two asterisks", "$SDDPT,1*0*00\r\n", 1);
        row("wrong checksum", "$SDDPT,12.5,0.5,100*00\r\n", 1);
        row("lower-case checksum", line("SDDPT,10.5,0.5,").replace("*4A", "*4a"), 1);
        row("short address", line("SDDP,1.0"), 3);
        row("long address", line("SDDPTX,1.0"), 3);
        row("maker only", line("PZTQ,1.0"), 3);
        row("proprietary", line("PZTQDPT,1.0,2.0"), 0);
        row("two starts", line("!AIVDM,1"), 3);
        row("encapsulated", '!' + line("AIVDM,1").mid(1), 0);
    }

    void checkCodes()
    {
        QFETCH(QString, text);
        QTEST(NmeaMessage::checkSentence(text), "code");
    }

    void bareSentenceFromBothChecks()
    {
        // Two upper-case hexadecimal digits, zero-padded.
        QCOMPARE(NmeaMessage::checksum(QString("abc")) + NmeaMessage::checksum(QString("AB"))
                     + NmeaMessage::checksum(QString()), QStringLiteral("600300"));
        // A good line is left as the sentence between "$" and the line end.
        QString hdt = line("GPHDT,123.4,T");
        QCOMPARE(NmeaMessage::checkSentence(hdt), 0);
        QCOMPARE(hdt, line("GPHDT,123.4,T").mid(1).chopped(2));
        // The check on views rates every line as the copying one, odd lines and random edits of a good one.
        QStringList lines = {line("SDDPT,1.0,0.5,10"), line("PZTQDPT,1"), line("SDDP,1"), line("P,1"), "$SDDPT,1.0*00\r\n",
                             "$\r\n", "$*\r\n", "x", QString(), "$SDDPT,1\n", line("GPGGA," + QString(100, '9')),
                             QString(90, '$'), "!AIVDM*00\r\n"};
        QRandomGenerator random(7);
        const QString base = line("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W,A,S");
        const QString alphabet = QStringLiteral("$!*,\r\nPZTQ0aF9.");
        for (int i = 0; i < 3000; ++i) {
            QString mutated = base;
            for (int edits = 1 + random.bounded(3); edits > 0; --edits) {
                const int at = random.bounded(mutated.size());
                const QChar c = alphabet.at(random.bounded(alphabet.size()));
                switch (random.bounded(3)) {
                case 0: mutated.insert(at, c); break;
                case 1: mutated.remove(at, 1); break;
                default: mutated[at] = c; break;
                }
            }
            lines << mutated << mutated.left(random.bounded(mutated.size() + 1));
        }
        for (const QString &text : qAsConst(lines)) {
            QString copy = text;
            const int copying = NmeaMessage::checkSentence(copy);
            QStringView bare;
            const int viewing = NmeaMessage::checkSentenceView(text, bare);
            QVERIFY2(viewing < 0 || copying == viewing, qPrintable(text));
            if (viewing == 0)
                QCOMPARE(bare.toString(), copy);
        }
    }

    void fieldTextsInAndOut()
    {
        MsgDpt dpt(QStringLiteral("SD"));
        QCOMPARE(dpt.deserializeParamaters("12.5,,50"), 0);
        QCOMPARE(static_cast<ValidatedFloatProperty *>(dpt.DepthBlwTransducerMeters())->value(), 12.5);
        QCOMPARE(dpt.fieldText(), QStringLiteral("12.5,,50"));
        // A shorter text fills the leading fields and keeps the rest; extra parts are ignored.
        QCOMPARE(dpt.deserializeParamaters("7.0"), 0);
        QCOMPARE(dpt.MaximumRangeScale()->fieldText(), QStringLiteral("50"));
        QCOMPARE(dpt.deserializeParamaters("1.0,2.0,3,4,5,6"), 0);
        QCOMPARE(dpt.DepthBlwTransducerMeters()->fieldText(), QStringLiteral("1.0"));
        MsgGga gga;
        QCOMPARE(gga.deserializeParamaters("123519,4807.038,N,01131.000,E,1,08"), 0);
        QCOMPARE(gga.NumberOfSatellitesInUse()->fieldText(), QStringLiteral("08"));
        QCOMPARE(gga.deserializeParamaters("12351,4807.038"), 4);
        // Fields before an invalid one are kept.
        MsgGga again;
        QCOMPARE(again.deserializeParamaters("123519,4807.038,X,01131.000"), 6);
        QVERIFY(again.UtcOfPosition()->isValid() && again.Latitude()->isValid() && !again.Longitude()->isValid());
        // Sent: decimals as configured, empty fields empty, units as their defaults. A reset forgets what was received.
        dpt.resetFields();
        static_cast<ValidatedFloatProperty *>(dpt.DepthBlwTransducerMeters())->setValue(12.34);
        static_cast<ValidatedFloatProperty *>(dpt.MaximumRangeScale())->setValue(100);
        QCOMPARE(dpt.completeSentence(), line("SDDPT,12.3,,100"));
        QCOMPARE(MsgMtw(QStringLiteral("SD")).completeSentence(), line("SDMTW,,C"));
        QCOMPARE(MsgPztqTst().completeSentence(), line("PZTQTST,,,,00,1000"));
        QCOMPARE(MsgXdr(QStringLiteral("SD")).completeSentence(), line("SDXDR,"));
    }

    void metadataFaultsThrow()
    {
        const QString init = QStringLiteral("void NmeaMessage::initializeProperties(): classinfo ");
        const QString validator = QStringLiteral("QValidator *NmeaMessage::createValidator: classinfo ");
        QCOMPARE(throwText([] { MsgBadName m; m.initializeProperties(); }), init + "name and property name don't match!");
        QCOMPARE(throwText([] { MsgBadKey m; }), init + "field error!");
        QCOMPARE(throwText([] { MsgBadNumber m; }), init + "error!");
        QCOMPARE(throwText([] { MsgBadBounds m; }), validator + "error!");
        QCOMPARE(throwText([] { MsgBadType m; }), validator + "type error!");
        QCOMPARE(throwText([] { delete NmeaMessage::createValidator(QStringLiteral("int"), QStringLiteral("1;x")); }),
                 validator + "error!");
        QVERIFY(NmeaMessage::createValidator(QStringLiteral("bool"), QString()) == nullptr);
    }

    void everyCatalogueClassRoundTrips()
    {
        const NmeaMessageRegistry &registry = NmeaMessageRegistry::instance();
        const QStringList expectedStandard = QStringLiteral(
            "ACK ACN ALC ALF ALR ARC CUR DAT DBK DBS DBT DDC DPT DTM GGA GLL GSA GST GSV HBT HDT IIVBW MTW RMC ROT SRP THS "
            "VBW VHW VLW VTG XDR ZDA").split(' ');
        const QStringList expectedProprietary = QStringLiteral(
            "CFG CFGR DAT DEVSTART DPT ERRORCODE ERRORTABLE GCF ICM MACA MTWF PAIR PARA REBOOT RSTO RSTT SCF SFIACK "
            "SFICHANGE SFICHK SFITKN SLP SNF STL SYC TST VBWF VBWX VMPCGTER").split(' ');
        QCOMPARE(registry.standardFormatters(), expectedStandard);
        QCOMPARE(registry.proprietaryFormatters(), expectedProprietary);
        const QStringList candidates = QStringLiteral("A V T M N C f F K B R S D E TR BWP 00:1A:2B:3C:4D:5E").split(' ');
        auto roundTrip = [&](const QString &talker, const QString &formatter) {
            std::unique_ptr<NmeaMessage> out(registry.create(talker, formatter));
            QVERIFY2(out, qPrintable(talker + formatter));
            const QMetaObject *meta = out->metaObject();
            QCOMPARE(meta->propertyCount() - 1, out->fieldCount());
            QCOMPARE(meta->classInfoCount(), out->fieldCount());
            // Give every field a value its own validator accepts where one is easy to find.
            for (int i = 0; i < out->fieldCount(); ++i) {
                ValidatedProperty *field = out->field(i);
                QCOMPARE(field->objectName(), QString::fromLatin1(meta->property(i + 1).name()));
                QCOMPARE(meta->property(i + 1).read(out.get()).value<ValidatedProperty *>(), field);
                const int length = int(qMax(1u, field->fixedLength()));
                if (qobject_cast<ValidatedIntProperty *>(field)) {
                    if (field->setFieldText(QString(length, '1')) != 0)
                        field->setFieldText(QString(length, '0'));
                } else if (auto *real = qobject_cast<ValidatedFloatProperty *>(field)) {
                    real->setValue(5.5);
                } else {
                    for (const QString &text : field->validator() ? candidates : QStringList{QString(length, 'x')})
                        if (field->setFieldText(text) == 0)
                            break;
                    QVERIFY2(field->isValid(), qPrintable(talker + formatter + ' ' + field->objectName()));
                }
            }
            const QString sent = out->completeSentence();
            QVERIFY2(sent.startsWith('$' + out->addressField() + ','), qPrintable(sent));
            QString bare = sent;
            QVERIFY2(NmeaMessage::checkSentence(bare) == 0 || sent.size() > 82, qPrintable(sent));
            const int addressLength = out->addressField().size();
            std::unique_ptr<NmeaMessage> in(registry.create(talker, formatter));
            QVERIFY2(in->deserializeParamaters(sent.mid(addressLength + 2, sent.size() - addressLength - 7)) == 0,
                     qPrintable(sent));
            in->clearReceivedFieldText();
            QCOMPARE(in->completeSentence(), sent);
        };
        for (const QString &formatter : expectedStandard) {
            const bool ii = formatter == QLatin1String("IIVBW");
            roundTrip(ii ? QStringLiteral("II") : QStringLiteral("SD"), ii ? QStringLiteral("VBW") : formatter);
        }
        for (const QString &formatter : expectedProprietary)
            roundTrip(QStringLiteral("PZTQ"), formatter);
        // Registry and catalogue edge cases.
        std::unique_ptr<NmeaMessage> standard(registry.create("SD", "DPT"));
        std::unique_ptr<NmeaMessage> proprietary(registry.create("PZTQ", "DPT"));
        QVERIFY(qobject_cast<MsgDpt *>(standard.get()) && qobject_cast<MsgPztqDpt *>(proprietary.get()));
        QCOMPARE(standard->addressField(), QStringLiteral("SDDPT"));
        QVERIFY(!registry.create("PZTQ", "GGA") && !registry.create("GP", "CFGR") && !registry.create("GP", "XYZ"));
        // Only the "II" talker gets its own speed sentence.
        std::unique_ptr<NmeaMessage> iivbw(registry.create("II", "VBW"));
        std::unique_ptr<NmeaMessage> vbw(registry.create("VW", "VBW"));
        QVERIFY(qobject_cast<MsgIivbw *>(iivbw.get()) && vbw && !qobject_cast<MsgIivbw *>(vbw.get()));
        QCOMPARE(iivbw->deserializeParamaters("1.5,0.1,A,,,V,,V,,V"), 0);
        iivbw->clearReceivedFieldText();
        QVERIFY(iivbw->completeSentence().startsWith(QStringLiteral("$IIVBW,1.5,0.1,A,")));
        QCOMPARE(MsgAlr().deserializeParamaters("123519.00,5,X,V,Depth"), 6);
        MsgSrp srp;
        QCOMPARE(srp.deserializeParamaters("1,00:1A:2B:3C:4D:5E,10.0.0.2"), 0);
        QCOMPARE(srp.deserializeParamaters("1,00:1A:2B:3C:4D,10.0.0.2"), 6);
    }
};

QTEST_GUILESS_MAIN(TestSentences)
#include "tst_sentences.moc"
