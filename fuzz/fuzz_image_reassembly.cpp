// Drives the echo-image reassembly with arbitrary datagram sequences. The input is a list of
// commands: 0 = one discard tick, 1 = a raw datagram (length byte pair + bytes), anything else
// = a well-formed header with fuzzed block, sequence and count fields and a fuzzed body, so
// that the search reaches the descriptor and joining code quickly.
#include "binaryimageformat.h"
#include "binaryinputbuffer.h"
#include "binarytransmissioncontroller.h"

#include <QCoreApplication>

#include <cstddef>
#include <cstdint>

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
    QByteArray bytes(size_t count)
    {
        count = count < n ? count : n;
        QByteArray b(reinterpret_cast<const char *>(p), int(count));
        p += count;
        n -= count;
        return b;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_image_reassembly";
    static char *argv[] = {name, nullptr};
    static QCoreApplication *app = QCoreApplication::instance() ? nullptr
                                                                 : new QCoreApplication(argc, argv);
    Q_UNUSED(app)
    // The debug lines of rejected data would dominate the run time.
    static const auto previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &,
                                                           const QString &) {});
    Q_UNUSED(previous)

    BinaryTransmissionController controller;
    controller.setConnectedSfis({QStringLiteral("SD0108")});
    qint64 delivered = 0;
    QObject::connect(controller.inputBuffer(), &BinaryInputBuffer::useBinaryMessage,
                     [&](const QByteArray &image, const QString &, int) { delivered += image.size(); });

    Reader in{data, size};
    while (!in.empty()) {
        const uint8_t op = in.byte();
        if (op == 0) {
            controller.inputBuffer()->ageEntries();
        } else if (op == 1) {
            const size_t length = size_t(in.byte()) << 8 | in.byte();
            controller.processRecievedBinaryDatagram(in.bytes(length % 1600));
        } else {
            kve::BinaryImageHeader h;
            h.sourceSfi = QStringLiteral("SD0108");
            h.token = (op & 0x80) ? QByteArrayLiteral("RrUdP") : QByteArrayLiteral("RaUdP");
            h.blockId = in.byte() & 0x0f;
            h.sequenceNumber = in.byte() & 0x07;
            h.maxSequenceNumber = in.byte() & 0x07;
            h.channel = in.byte();
            QByteArray d = h.toBytes();
            if (h.sequenceNumber == 1 && (op & 0x40)) {
                kve::BinaryFileDescriptor desc;
                desc.fileLength = in.byte() * 16u;
                desc.statusText = QString::fromLatin1(in.bytes(in.byte() % 32));
                d.append(desc.toBytes());
            }
            const size_t length = size_t(in.byte()) * 8;
            d.append(in.bytes(length));
            controller.processRecievedBinaryDatagram(d);
        }
    }
    return delivered < 0 ? 1 : 0;
}
