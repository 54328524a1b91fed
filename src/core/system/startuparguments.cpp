#include "startuparguments.h"

#include <QDebug>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>

namespace {

// The line of the first "serial-<n>" option the argument contains, or -1.
int serialOption(const QString &arg)
{
    for (int n = 1; n <= 6; ++n) {
        if (arg.contains(QStringLiteral("serial-%1").arg(n)))
            return serialLineOfOption(n);
    }
    return -1;
}

}

int serialLineOfOption(int n)
{
    // The three own lines are ports 0 to 2; port 3 is the network, so the additional lines follow at 4.
    if (n >= 1 && n <= 3)
        return n - 1;
    if (n >= 4 && n <= 6)
        return n;
    return -1;
}

QString StartupArguments::usage()
{
    return QStringLiteral(
        "Usage: kve420 [options]   (options are matched by substring)\n"
        "  spec-net-interface <name>   talk over this network interface (for instance lo, eth0)\n"
        "  load-net-interface          take the interface from the file net_interface\n"
        "  save-net-interface          write the interface chosen in the selection window to net_interface\n"
        "  load-msg <text>             text shown while the unit loads\n"
        "  maximize-window             show the main screen maximised\n"
        "  frameless-window            show the main screen without a frame\n"
        "  serial-1 <device> .. serial-3 <device>   devices of the NMEA 0183 serial lines 1 to 3\n"
        "  serial-4 <device> .. serial-6 <device>   devices of the additional serial lines 1 to 3\n"
        "  kve-simulation-control      ask for the simulation control window\n"
        "A serial line without a device stays idle; a device that is missing or vanishes is retried.\n");
}

StartupArguments StartupArguments::scan(const QStringList &args,
                                        const std::function<void(const QString &)> &unrecognised)
{
    StartupArguments result;
    for (int i = 1; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        qDebug().noquote() << QStringLiteral("ARG: ") + QString::number(i) + QLatin1Char(' ') + arg;
        const bool hasValue = i + 1 < args.size();
        if (arg.contains(QLatin1String("spec-net-interface"))) {
            if (hasValue)
                result.interfaceName = args.at(i + 1);
        } else if (arg.contains(QLatin1String("load-msg"))) {
            if (hasValue)
                result.loadMessage = args.at(i + 1);
        } else if (arg.contains(QLatin1String("save-net-interface"))) {
            result.saveNetInterface = true;
        } else if (arg.contains(QLatin1String("load-net-interface"))) {
            result.loadNetInterface = true;
        } else if (arg.contains(QLatin1String("maximize-window"))) {
            result.maximizeWindow = true;
        } else if (arg.contains(QLatin1String("frameless-window"))) {
            result.framelessWindow = true;
        } else if (const int line = serialOption(arg); line >= 0) {
            if (hasValue)
                result.serialDevices.insert(line, args.at(i + 1));
        } else if (unrecognised) {
            unrecognised(arg);
        }
    }
    return result;
}

namespace NetInterfaceFile {

QString fileName()
{
    return QStringLiteral("net_interface");
}

QString load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    QTextStream in(&file);
    return in.readLine().trimmed();
}

bool save(const QString &name, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(name.toUtf8());
    return file.commit();
}

}
