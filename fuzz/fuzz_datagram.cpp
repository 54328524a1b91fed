// Drives the reception of sentence datagrams with arbitrary bytes: the header, tag-block and
// acceptance checks, then the group assembly and acknowledgement path of the controller, which
// keeps its state across the datagrams of one input. The input is split at "~" into datagrams;
// a leading byte with the low bit set puts the header token in front of each, so the search
// reaches the tag-block code quickly.
#include "datagramchecker.h"
#include "fuzzsupport.h"
#include "listofsfisonnetwork.h"
#include "nmeaoverudpcontroller.h"
#include "nmeaparserclass.h"
#include "settingstraffic.h"
#include "udpparserclass.h"

#include <QCoreApplication>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_datagram";
    static char *argv[] = {name, nullptr};
    static QCoreApplication *app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    static const auto previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    Q_UNUSED(app);
    Q_UNUSED(previous);

    if (size == 0)
        return 0;
    const bool withHeader = data[0] & 1;
    const QByteArray input(reinterpret_cast<const char *>(data + 1), int(size - 1));

    ListOfSfisOnNetwork sfis;
    sfis.setLocalSfi(QStringLiteral("SD0109"));
    sfis.connectSfi(QStringLiteral("SD0108"));
    NmeaOverUdpController controller(&sfis);
    const DatagramChecker checker("SD0109", {"SD0108"});

    for (QByteArray d : input.split('~')) {
        if (withHeader)
            d.prepend(QByteArray("UdPbC\0", 6));
        const DatagramVerdict verdict = checker.examine(d);
        UdpParserClass::checkTag(d);
        UdpParserClass::destinationSfis(d);
        UdpParserClass::lineNumber(d);
        controller.processReceivedDatagram(d, verdict.internal, false);
        NmeaParserClass::nmeaListToData(NmeaGroupInfo(QString::fromLatin1(d).split(QLatin1Char('\n')), UDP));
    }
    fuzzDeliverPosted();
    return 0;
}
