// Arbitrary command lines and "net_interface" files as start-up reads them: the option scan, the
// file the interface may come from and the look-up of that interface among the host's interfaces.
// Whatever the arguments, only the unit's serial lines get devices, and every value taken is one of
// the arguments.
//
// Input: NUL-separated pieces; the first is the content of the "net_interface" file, the others
// are the arguments after the program path.
#include "fuzzsupport.h"
#include "networkselectwidget.h"
#include "startuparguments.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

QString interfaceFile()
{
    static const QString path = fuzzScratch(QStringLiteral("start")) + QStringLiteral("/net_interface");
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzQuietApplication("fuzz_command_line");

    const QList<QByteArray> pieces = QByteArray(reinterpret_cast<const char *>(data), int(size)).split('\0');
    QStringList args{QStringLiteral("kve420")};
    for (int i = 1; i < pieces.size(); ++i)
        args.append(QString::fromLocal8Bit(pieces.at(i)));

    QStringList unrecognised;
    const StartupArguments parsed =
        StartupArguments::scan(args, [&unrecognised](const QString &arg) { unrecognised.append(arg); });
    if (unrecognised.size() > args.size() - 1)
        std::abort();
    for (auto it = parsed.serialDevices.cbegin(); it != parsed.serialDevices.cend(); ++it) {
        if (it.key() < 0 || it.key() > 6 || it.key() == 3 || !args.contains(it.value()))
            std::abort();
    }
    if ((!parsed.interfaceName.isEmpty() && !args.contains(parsed.interfaceName))
        || (!parsed.loadMessage.isEmpty() && !args.contains(parsed.loadMessage)))
        std::abort();

    QString interfaceName = parsed.interfaceName;
    if (parsed.loadNetInterface) {
        QFile f(interfaceFile());
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();   // the harness's own folder must be writable
        f.write(pieces.at(0));
        f.close();
        const QString fromFile = NetInterfaceFile::load(interfaceFile());
        if (fromFile.contains(QLatin1Char('\n')))
            std::abort();
        if (!fromFile.isEmpty())
            interfaceName = fromFile;
    }
    NetworkSelectWidget::isInterfaceUp(interfaceName);
    return 0;
}
