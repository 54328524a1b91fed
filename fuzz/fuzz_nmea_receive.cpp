#include "fuzzsupport.h"
#include "nmeacontroller.h"
#include "nmeamessage.h"
#include "nmeaparserclass.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <cstdint>
#include <cstdlib>

// Arbitrary bytes as received sentence lines: the sentence check (both forms must agree) and the
// whole receive path with handlers and data holders. The first byte picks the line.
namespace {

void dropMessages(QtMsgType, const QMessageLogContext &, const QString &) {}

NmeaController &controller()
{
    static NmeaController *c = [] {
        static int argc = 1;
        static char name[] = "fuzz_nmea_receive";
        static char *argv[] = {name, nullptr};
        if (!QCoreApplication::instance())
            new QCoreApplication(argc, argv);
        qInstallMessageHandler(dropMessages);
        return new NmeaController;
    }();
    return *c;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const Port port = Port(data[0] % 8);
    const QString text = QString::fromLatin1(reinterpret_cast<const char *>(data + 1), int(size - 1));

    // Lines end after each "\n", as the serial reader cuts them.
    QStringList lines;
    int start = 0;
    while (start < text.size()) {
        int end = text.indexOf(QLatin1Char('\n'), start);
        end = end < 0 ? text.size() : end + 1;
        lines.append(text.mid(start, end - start));
        start = end;
    }
    for (const QString &line : qAsConst(lines)) {
        QString copy = line;
        const int copying = NmeaMessage::checkSentence(copy);
        QStringView bare;
        const int viewing = NmeaMessage::checkSentenceView(line, bare);
        if (viewing >= 0 && (viewing != copying || (copying == 0 && bare != QStringView(copy))))
            std::abort();
    }
    controller().handleReceivedNmeaList(NmeaGroupInfo(lines, port, QStringLiteral("SD0001")));

    // Carrier sentences of the same text join back to it.
    const NmeaGroupInfo carriers = NmeaParserClass::dataToNmeaList(text);
    if (NmeaParserClass::nmeaListToData(carriers) != text)
        std::abort();
    fuzzDeliverPosted();
    return 0;
}
