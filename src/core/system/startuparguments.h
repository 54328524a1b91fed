#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>

// What the command line asks of start-up: the network interface, the loading message and the
// window and file options. Arguments are matched by substring, in a fixed order of options.
struct StartupArguments
{
    QString interfaceName;
    QString loadMessage;
    bool saveNetInterface = false;
    bool loadNetInterface = false;
    bool maximizeWindow = false;
    bool framelessWindow = false;
    // Device of a serial line ("serial-1 <device>" .. "serial-6 <device>"), by line: 0 to 2 for
    // the unit's own lines, 4 to 6 for the additional ones. A line without a device stays idle.
    QMap<int, QString> serialDevices;

    // The options, one per line, as a user reads them before the unit starts.
    static QString usage();

    // Scans args from the second entry on (the first is the program path). Each argument is logged
    // as "ARG: <index> <text>". An option's value is the next argument, when one follows, and that
    // argument is scanned again in its own right. Arguments no option claims go to unrecognised.
    static StartupArguments scan(const QStringList &args,
                                 const std::function<void(const QString &)> &unrecognised = {});
};

// The serial line that "serial-<n>" names (1 to 3 the unit's own lines, 4 to 6 the additional
// ones), or -1.
int serialLineOfOption(int n);

// The "net_interface" file of the working directory: the interface the operator chose last.
namespace NetInterfaceFile {
QString fileName();
// First line of the file, or an empty text when it cannot be opened.
QString load(const QString &path = fileName());
// Writes the name without a line end; false when the file cannot be written.
bool save(const QString &name, const QString &path = fileName());
}
