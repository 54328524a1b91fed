#include "startuparguments.h"

#include <QDebug>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>

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
