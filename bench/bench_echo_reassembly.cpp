// Reassembly of echo images of the most samples a ping may carry (3,200, three datagrams each)
// through the image transfer controller, as the junction box sends them.
#include "binaryimageencoder.h"
#include "binaryinputbuffer.h"
#include "binarytransmissioncontroller.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace {

QCoreApplication *app()
{
    static int argc = 1;
    static char name[] = "bench_echo_reassembly";
    static char *argv[] = {name, nullptr};
    static QCoreApplication *instance = new QCoreApplication(argc, argv);
    return instance;
}

void BM_ReassembleLargestImages(benchmark::State &state)
{
    app();
    BinaryImageEncoder encoder;
    encoder.setSourceSfi(QStringLiteral("SD0108"));
    QByteArray image(BinaryInputBuffer::maxImageBytes(), '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = char(i * 13);
    const QString info = QStringLiteral("ECHO_REC_Dsp,06-12-2026,10-00-00-000,12.5,11.0,13.0,50,0,0,0,0,0");
    // Distinct block identifiers, as in a live stream; reused cyclically.
    QVector<QByteArrayList> images;
    for (int k = 0; k < 1024; ++k)
        images.append(encoder.encode(image, info, k & 1));

    BinaryTransmissionController controller;
    controller.setConnectedSfis({QStringLiteral("SD0108")});
    qint64 delivered = 0;
    QObject::connect(controller.inputBuffer(), &BinaryInputBuffer::useBinaryMessage,
                     [&](const QByteArray &m, const QString &, int) { delivered += m.size(); });
    int k = 0;
    for (auto _ : state) {
        for (const QByteArray &d : images[k])
            controller.processRecievedBinaryDatagram(d);
        k = (k + 1) % images.size();
    }
    state.SetItemsProcessed(state.iterations());
    if (delivered != qint64(state.iterations()) * image.size())
        state.SkipWithError("images lost in reassembly");
}
BENCHMARK(BM_ReassembleLargestImages);

} // namespace

BENCHMARK_MAIN();
