#include "namedsetups.h"

#include "esdata.h"
#include "essetup.h"
#include "rootpath.h"
#include "settingsresets.h"

#include <QDebug>
#include <QDir>

namespace {

const QString idleName = QStringLiteral("_");
constexpr int maxNameLength = 64;

// A setup name is one folder directly below the saved setups: never a path, never "." or "..",
// and nothing a file system or a listing would trip over.
bool isConfinedName(const QString &name)
{
    if (name.isEmpty() || name.size() > maxNameLength || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char('?') || c.unicode() < 0x20
            || c.unicode() == 0x7f)
            return false;
    }
    return true;
}

} // namespace

NamedSetups::NamedSetups(ESData &data, const SettingsResets &resets, QObject *parent)
    : QObject(parent), m_data(data), m_resets(resets)
{
    ESOptionsSetup *options = data.setup()->SetupSetup()->OptionsSetup();
    connect(options, &ESOptionsSetup::SetupSaveChanged, this, &NamedSetups::saveRequested);
    connect(options, &ESOptionsSetup::SetupRestoreChanged, this, &NamedSetups::restoreRequested);
    connect(options, &ESOptionsSetup::RequestAvailableSetupsListChanged, this, &NamedSetups::listRequested);
}

void NamedSetups::setDevicePresent(enum_LogToDevice device, bool present)
{
    if (present == m_presentDevices.contains(device))
        return;
    if (present)
        m_presentDevices.insert(device);
    else
        m_presentDevices.remove(device);
    qDebug().noquote() << QStringLiteral("Named setups: device %1 %2").arg(device).arg(present ? "present" : "gone");
}

QString NamedSetups::savedSetupsDirectory() const
{
    const int chosen = m_data.setup()->HistorySetup()->LogToDevice();
    if (!m_presentDevices.contains(chosen))
        return QString();
    QString root;
    if (chosen == LogToUsb)
        root = QStringLiteral("/media/usb0");
    else if (chosen == LogToSd)
        root = QStringLiteral("/media/sd0");
    else
        return QString();
    return kve::rootPath(root) + QStringLiteral("/Saved_Setup_Files/");
}

QString NamedSetups::setupFolder(const QString &name) const
{
    const QString base = savedSetupsDirectory();
    if (base.isEmpty()) {
        qDebug().noquote() << "Named setup " + name + ": no storage device present";
        return QString();
    }
    if (!isConfinedName(name)) {
        qDebug().noquote() << "Setup name refused: " + name;
        return QString();
    }
    return base + name + QLatin1Char('/');
}

void NamedSetups::saveRequested(const QString &name)
{
    if (name == idleName)
        return;
    ESOptionsSetup *options = m_data.setup()->SetupSetup()->OptionsSetup();
    options->changeValue(QStringLiteral("SetupSave"), idleName);
    const QString folder = setupFolder(name);
    if (folder.isEmpty())
        return;
    if (!QDir().mkpath(folder)) {
        qDebug().noquote() << "Problem opening file for writing: " + folder;
        return;
    }
    m_data.setup()->writeAllChildrenToFiles(folder);
}

void NamedSetups::restoreRequested(const QString &name)
{
    if (name == idleName)
        return;
    ESOptionsSetup *options = m_data.setup()->SetupSetup()->OptionsSetup();
    options->changeValue(QStringLiteral("SetupRestore"), idleName);
    const QString folder = setupFolder(name);
    if (folder.isEmpty())
        return;
    if (!QDir(folder).exists()) {
        qDebug().noquote() << "No saved setup of that name: " + folder;
        return;
    }
    // The saved values replace the current ones whatever the timestamps of the peer's changes say;
    // this unit's identity and communication settings stay as they are.
    m_data.setup()->readAllChildrenFromFiles(folder, m_resets.sharedExclusions(true));
    m_data.setup()->writeAllChildrenToFiles();
    m_data.setup()->serializeForSending();
}

void NamedSetups::listRequested(int request)
{
    if (request != 1)
        return;
    qDebug() << "request received";
    ESOptionsSetup *options = m_data.setup()->SetupSetup()->OptionsSetup();
    options->changeValue(QStringLiteral("RequestAvailableSetupsList"), 0);
    QStringList names;
    const QString base = savedSetupsDirectory();
    if (!base.isEmpty())
        names = QDir(base).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    options->changeValue(QStringLiteral("AvailableSetupsList"),
                         names.isEmpty() ? QStringLiteral("?") : names.join(QLatin1Char('?')));
}
