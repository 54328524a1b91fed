// Drives echo images from arbitrary datagram sequences the whole way the unit takes them: the
// reassembly, the record intake with its per-channel echogram buffers, the depth readouts and the
// depth sent on to other equipment, the raw data record header and the history point a record
// becomes, and the echogram column the renderer draws for every display record.
//
// The first byte picks the view (time range, depth range, pixel offset). The rest is a list of
// commands: 0 = one tick of the discard clock and of the echo refresh, and a full redraw;
// 1 = a raw datagram (length byte pair + bytes); anything else = a datagram with a well-formed
// header whose fields come from the input, so that the search reaches the descriptor, joining and
// record code quickly. Bits of such a command: 0x80 asks for an acknowledgement, 0x40 gives the
// first datagram a descriptor, 0x20 reads the block identifier as four bytes (else as a small
// number, so that datagrams meet), 0x10 reads the sequence numbers as four bytes each (else 0..7),
// 0x08 reads the channel byte as it is (else channel 1 or 2), 0x04 reads the file length as four
// bytes (else a byte times 16).
#include "binaryimageformat.h"
#include "binaryinputbuffer.h"
#include "binarytransmissioncontroller.h"
#include "depthoutputfeed.h"
#include "echodepthsupervisor.h"
#include "echogrampalettes.h"
#include "echogramrenderer.h"
#include "echorecord.h"
#include "echosounderdatalogger.h"
#include "esdata.h"
#include "fuzzsupport.h"
#include "eslocalsetup.h"
#include "historyfile.h"
#include "historypoint.h"
#include "multiplees_transducersbuffer.h"

#include <QDataStream>
#include <QDir>
#include <QGuiApplication>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

struct Reader
{
    const uint8_t *p;
    size_t n;
    bool empty() const { return n == 0; }
    uint8_t byte()
    {
        if (!n)
            return 0;
        --n;
        return *p++;
    }
    quint32 u32()
    {
        quint32 v = 0;
        for (int i = 0; i < 4; ++i)
            v = v << 8 | byte();
        return v;
    }
    QByteArray bytes(size_t count)
    {
        count = count < n ? count : n;
        QByteArray b(reinterpret_cast<const char *>(p), int(count));
        p += count;
        n -= count;
        return b;
    }
};

void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

ESData &settings()
{
    static ESData *data = new ESData(fuzzScratch(QStringLiteral("settings")) + QLatin1Char('/'));
    return *data;
}

void setUp()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_image_reassembly";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QGuiApplication(argc, argv);
    // The debug lines of rejected data would dominate the run time.
    qInstallMessageHandler(quiet);
    settings();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    setUp();
    Reader in{data, size};
    const uint8_t view = in.byte();

    BinaryTransmissionController controller;
    controller.setConnectedSfis({QStringLiteral("SD0108")});
    MultipleES_TransducersBuffer echoes;
    echoes.setRawDataLogging(true);
    echoes.setEchoScopeShown(true);
    EchoDepthSupervisor readouts;
    DepthOutputFeed depthOutput(settings().setup(), settings().localSetup()->OtherLocalSettings());

    const int timeRange = MultipleES_TransducersBuffer::timeRangesInMinutes().at(view % 7);
    static const float depthRanges[] = {5.0f, 40.0f, 400.0f, 4000.0f};
    EchogramRenderer renderer;
    renderer.setCanvasWidth(48);
    renderer.setCanvasHeight(40);
    renderer.setTimeScaleInMinutes(timeRange);
    renderer.setDepthRangeInDefaultUnit(depthRanges[(view >> 3) & 3]);
    renderer.setPixelOffset(int((view >> 5) & 7) * 6 - 12);
    const EchogramPalette &palette = EchogramPaletteStore::instance().palette(view % 5);
    renderer.setColorTable(palette.colorTable());
    renderer.setInactiveColor(palette.inactiveColor());
    qint64 drawn = 0;
    QObject::connect(&renderer, &EchogramRenderer::renderedImage,
                     [&](const QImage &image) { drawn += image.width(); });

    QObject::connect(controller.inputBuffer(), &BinaryInputBuffer::useBinaryMessage, &echoes,
                     &MultipleES_TransducersBuffer::addData);
    QObject::connect(&echoes, &MultipleES_TransducersBuffer::displayRecordAdded, &readouts,
                     &EchoDepthSupervisor::recordAdded);
    QObject::connect(&echoes, &MultipleES_TransducersBuffer::channelSilenceChanged, &readouts,
                     &EchoDepthSupervisor::channelSilenceChanged);
    QObject::connect(&echoes, &MultipleES_TransducersBuffer::displayRecordAdded, &depthOutput,
                     &DepthOutputFeed::displayRecordReceived);
    QObject::connect(&echoes, &MultipleES_TransducersBuffer::sigES_NewData, [&](int channel, int) {
        renderer.addVerticalLineToImage(echoes.buffer(channel, timeRange));
    });
    QObject::connect(&echoes, &MultipleES_TransducersBuffer::sendDataToLogger,
                     [](const QByteArray &, const EchoRecordInfo &info, int) {
                         if (EchosounderDataLogger::recordHeader(info).size()
                             != EchosounderDataLogger::RecordHeaderBytes)
                             std::abort();
                     });
    QObject::connect(&echoes, &MultipleES_TransducersBuffer::logHistoryData,
                     [](const EchoRecordInfo &info, int channel) {
                         // The point as the history file keeps it must read back as it was
                         // (points without a readable time are dropped before they are kept).
                         const BasicHistoryPoint point = BasicHistoryPoint::fromRecord(info, channel);
                         if (!point.time.isValid())
                             return;
                         QByteArray bytes;
                         QDataStream out(&bytes, QIODevice::WriteOnly);
                         HistoryFile::prepare(out);
                         out << point;
                         QDataStream back(bytes);
                         HistoryFile::prepare(back);
                         BasicHistoryPoint read;
                         back >> read;
                         if (back.status() != QDataStream::Ok || !(read == point))
                             std::abort();
                     });

    while (!in.empty()) {
        const uint8_t op = in.byte();
        if (op == 0) {
            controller.inputBuffer()->ageEntries();
            QMetaObject::invokeMethod(&echoes, "increaseTimeFromRefresh", Qt::DirectConnection);
            renderer.requestFullRedraw(echoes.buffer(0, timeRange), true);
            fuzzDeliverPosted();
        } else if (op == 1) {
            const size_t length = size_t(in.byte()) << 8 | in.byte();
            controller.processRecievedBinaryDatagram(in.bytes(length % (kve::kMaxUdpSize + 1)));
        } else {
            kve::BinaryImageHeader h;
            h.sourceSfi = QStringLiteral("SD0108");
            h.token = (op & 0x80) ? QByteArrayLiteral("RrUdP") : QByteArrayLiteral("RaUdP");
            h.blockId = (op & 0x20) ? in.u32() : in.byte() & 0x0f;
            if (op & 0x10) {
                h.sequenceNumber = in.u32();
                h.maxSequenceNumber = in.u32();
            } else {
                const uint8_t s = in.byte();
                h.sequenceNumber = s & 0x07;
                h.maxSequenceNumber = (s >> 3) & 0x07;
            }
            const uint8_t channel = in.byte();
            h.channel = (op & 0x08) ? channel : 1 + (channel & 1);
            QByteArray d = h.toBytes();
            if (h.sequenceNumber == 1 && (op & 0x40)) {
                kve::BinaryFileDescriptor desc;
                desc.fileLength = (op & 0x04) ? in.u32() : in.byte() * 16u;
                // The information text: the header of a record of the kind asked for, then the
                // values as the input gives them.
                const uint8_t kind = in.byte();
                const size_t textLength = in.byte();
                QString text;
                if (kind < 0xc0)
                    text = EchoRecordInfo::header(EchoRecordInfo::Kind(kind % 3));
                desc.statusText = text + QString::fromLatin1(in.bytes(textLength));
                d.append(desc.toBytes());
            }
            const size_t length = size_t(in.byte()) * 8;
            d.append(in.bytes(length));
            controller.processRecievedBinaryDatagram(d.left(kve::kMaxUdpSize));
        }
    }
    fuzzDeliverPosted();
    // Every image the reassembly keeps open is bounded, whatever came in.
    if (controller.inputBuffer()->openImageCount() > BinaryInputBuffer::kMaxOpenImages)
        std::abort();
    return drawn < 0 ? 1 : 0;
}
