#include "serializationcontroller.h"

#include "esalerts.h"
#include "escommunicationinformation.h"
#include "esdata.h"
#include "eslocalsetup.h"
#include "esruntime.h"
#include "essetup.h"
#include "markclass.h"
#include "rootpath.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QMetaProperty>

namespace {

QStringList allProperties(const SerializableClass *object)
{
    QStringList names;
    const QMetaObject *mo = object->metaObject();
    for (int i = 1; i < mo->propertyCount(); ++i)
        names.append(QString::fromLatin1(mo->property(i).name()));
    return names;
}

const QString idleName = QStringLiteral("_");

} // namespace

SerializationController &SerializationController::instance()
{
    static SerializationController *controller = [] {
        auto *c = new SerializationController(ESData::instance());
        c->startSupervision();
        return c;
    }();
    return *controller;
}

SerializationController::SerializationController(ESData &data, QObject *parent) : QObject(parent), m_data(data)
{
    m_supervisionTimer.setInterval(supervisionIntervalMs);
    connect(&m_supervisionTimer, &QTimer::timeout, this, &SerializationController::timerTimeout);

    connect(data.setup(), &SerializableClass::singlePropertyTextReady, this, &SerializationController::setupChangeToSend);
    connect(data.setup(), &SerializableClass::completeTextReady, this, &SerializationController::completeSetupToSend);
    connect(data.communicationInformation(), &SerializableClass::singlePropertyTextReady, this,
            &SerializationController::setupChangeToSend);
    for (SerializableClass *runtime : {static_cast<SerializableClass *>(data.runtime()),
                                       static_cast<SerializableClass *>(data.bottomBars()),
                                       static_cast<SerializableClass *>(data.alerts())}) {
        connect(runtime, &SerializableClass::singlePropertyTextReady, this, &SerializationController::runtimeChangeToSend);
        connect(runtime, &SerializableClass::completeTextReady, this,
                [this](const QString &text, const QStringList &) { emit runtimeChangeToSend(text); });
    }
    connect(data.mark(), &SerializableClass::completeTextReady, this, &SerializationController::sendDataForMark);

    ESOptionsSetup *options = data.setup()->SetupSetup()->OptionsSetup();
    connect(options, &ESOptionsSetup::SetupSaveChanged, this, &SerializationController::setupSaveRequested);
    connect(options, &ESOptionsSetup::SetupRestoreChanged, this, &SerializationController::setupRestoreRequested);
    connect(options, &ESOptionsSetup::RequestAvailableSetupsListChanged, this, &SerializationController::setupListRequested);
}

// ---------------------------------------------------------------------------------------------
// Incoming texts

void SerializationController::deserializeData(const QString &data)
{
    if (m_setupAccepted)
        m_secondsWithoutData = 0;
    const int firstComma = data.indexOf(QLatin1Char(','));
    if (firstComma < 0)
        return;
    QString tag = data.left(firstComma);
    if (tag.endsWith(QLatin1String("NoAck")))
        tag.chop(5);
    const int secondComma = data.indexOf(QLatin1Char(','), firstComma + 1);
    const QString second = data.mid(firstComma + 1, secondComma < 0 ? -1 : secondComma - firstComma - 1);

    if (second == QLatin1String("SingleProperty")) {
        bool written = false;
        if (tag == QLatin1String("Type_Runtime")) {
            if (!m_data.runtime()->deserializeSingleProperty(data, &written))
                m_data.bottomBars()->deserializeSingleProperty(data, &written);
        } else if (tag == QLatin1String("Type_Setup")) {
            if (data.contains(QLatin1String("NewFileReady")))
                qDebug().noquote() << "NEW FILE READY: " + data;
            SerializableClass *owner = m_data.setup()->deserializeSingleProperty(data, &written);
            if (owner && written)
                owner->writeToFile();
        } else if (tag == QLatin1String("Type_Alert")) {
            m_data.alerts()->deserializeSingleProperty(data, &written);
        } else if (tag == QLatin1String("Type_SetupCommsInfo")) {
            m_data.communicationInformation()->deserializeSingleProperty(data, &written);
        }
        return;
    }

    if (tag == QLatin1String("Type_Runtime")) {
        m_data.runtime()->deserialize(data);
    } else if (tag == QLatin1String("Type_Setup")) {
        if (!data.contains(QLatin1String("Set_Mark")))
            deserializeCompleteSetup(data);
    } else if (tag == QLatin1String("Type_Alert")) {
        m_data.alerts()->deserialize(data);
    } else if (tag == QLatin1String("Type_Mark")) {
        m_data.mark()->deserialize(data);
    } else if (tag == QLatin1String("Type_SetupCommsInfo")) {
        m_data.communicationInformation()->deserialize(data);
    }
}

void SerializationController::deserializeCompleteSetup(const QString &data)
{
    emit aboutToDeserializeCompleteSetup();
    m_setupAccepted = m_data.setup()->deserialize(data);
    if (!m_setupAccepted) {
        qDebug() << "Deserialization of setups failed, sending new PAIR message...";
        m_secondsWithoutData = linkTimeoutSeconds;
        timerTimeout();
        return;
    }
    m_secondsWithoutData = 0;
    m_data.setup()->writeAllChildrenToFiles();
    if (!m_linkUp) {
        m_linkUp = true;
        emit commsToKX12StateChanged(true);
    }
    emit finishedDeserializingCompleteSetup(m_newConnection);
    m_newConnection = false;
    emit refreasAll(QDateTime::currentMSecsSinceEpoch());
}

// ---------------------------------------------------------------------------------------------
// Link supervision

void SerializationController::timerTimeout()
{
    ++m_secondsWithoutData;
    if (m_secondsWithoutData <= linkTimeoutSeconds)
        return;
    if (m_linkUp) {
        emit commsToKX12StateChanged(false);
        m_data.runtime()->resetValues();
    }
    m_linkUp = false;
    m_setupAccepted = false;
    emit pairingRequested();
    m_secondsWithoutData = 0;
}

void SerializationController::setConnectingToJb()
{
    m_newConnection = true;
}

void SerializationController::utcAndLocaDatelTimeUpdated()
{
    updateRuntimeInfoTime();
}

void SerializationController::utcTimeUpdated()
{
    updateRuntimeInfoTime();
}

void SerializationController::updateRuntimeInfoTime()
{
    ESRuntime *runtime = m_data.runtime();
    runtime->setValid(QStringLiteral("UtcDateTime"), true);
    runtime->setUtcDateTime(QDateTime::currentDateTimeUtc().toString(Qt::ISODate));
}

// ---------------------------------------------------------------------------------------------
// Factory resets

ExclusionMap SerializationController::sharedExclusions(bool keepCommunications) const
{
    ESSetup *setup = m_data.setup();
    ExclusionMap map;
    for (int channel = 0; channel < 2; ++channel)
        map.insert(setup->transducer(channel), {QStringLiteral("ApprovedPrimary")});
    map.insert(setup->SnrCalibSetup(), {QStringLiteral("Ch1LowSavedRes"), QStringLiteral("Ch1HighSavedRes"),
                                        QStringLiteral("Ch2LowSavedRes"), QStringLiteral("Ch2HighSavedRes")});
    QStringList jb = {QStringLiteral("SoftwareVersion"), QStringLiteral("KX12SerialNumber"), QStringLiteral("IP"),
                      QStringLiteral("MacAddress")};
    if (keepCommunications)
        jb << QStringLiteral("Group") << QStringLiteral("SystemName") << QStringLiteral("LocalSFI");
    map.insert(setup->KX12Setup(), jb);
    map.insert(setup->SetupSetup()->OptionsSetup(),
               {QStringLiteral("TransceiverSerialNumber"), QStringLiteral("TranscieverHardwareVersion"),
                QStringLiteral("TranscieverFirmwareVersion"), QStringLiteral("TranscieverCommunicationProtocolVersion")});
    if (keepCommunications) {
        // The input/output setup stays as it is, port by port.
        for (SerializableClass *port : setup->CommunicationsSetup()->serializableChildren())
            map.insert(port, allProperties(port));
    }
    return map;
}

ExclusionMap SerializationController::localExclusions(bool keepCommunications) const
{
    ESLocalSetup *local = m_data.localSetup();
    ExclusionMap map;
    QStringList display = {QStringLiteral("SoftwareVersion"), QStringLiteral("DisplaySerialNumber"), QStringLiteral("IP"),
                           QStringLiteral("MacAddress")};
    if (keepCommunications)
        display << QStringLiteral("LocalSFI") << QStringLiteral("PairedSFI") << QStringLiteral("SystemName")
                << QStringLiteral("Group");
    map.insert(local->DisplaySetup(), display);
    map.insert(local->OtherLocalSettings(), {QStringLiteral("NmeaPort1Status"), QStringLiteral("NmeaPort2Status"),
                                             QStringLiteral("NmeaPort3Status")});
    return map;
}

void SerializationController::restoreAllSetups()
{
    m_data.localSetup()->setDefaultValuesFromClassInfo_RecursivelyForAllChildren(localExclusions(false));
    m_data.localSetup()->writeAllChildrenToFiles();
    m_data.setup()->setDefaultValuesFromClassInfo_RecursivelyForAllChildren(sharedExclusions(false));
    m_data.setup()->serializeForSending();
    m_data.setup()->writeAllChildrenToFiles();
}

void SerializationController::restoreAllSetupsExceptIO()
{
    m_data.localSetup()->setDefaultValuesFromClassInfo_RecursivelyForAllChildren(localExclusions(true));
    m_data.localSetup()->writeAllChildrenToFiles();
    m_data.setup()->setDefaultValuesFromClassInfo_RecursivelyForAllChildren(sharedExclusions(true));
    m_data.setup()->serializeForSending();
    m_data.setup()->writeAllChildrenToFiles();
}

// ---------------------------------------------------------------------------------------------
// Named setups on the logging device

void SerializationController::esDevicePresenceChanged(int device, bool present)
{
    if (present)
        m_presentDevices.insert(device);
    else
        m_presentDevices.remove(device);
}

QString SerializationController::savedSetupsDirectory() const
{
    const int chosen = m_data.setup()->HistorySetup()->LogToDevice();
    if (!m_presentDevices.contains(chosen))
        return QString();
    QString root;
    if (chosen == 1)
        root = QStringLiteral("/media/usb0");
    else if (chosen == 2)
        root = QStringLiteral("/media/sd0");
    else
        return QString();
    return kve::rootPath(root) + QStringLiteral("/Saved_Setup_Files/");
}

void SerializationController::setupSaveRequested(const QString &name)
{
    if (name == idleName)
        return;
    ESOptionsSetup *options = m_data.setup()->SetupSetup()->OptionsSetup();
    options->changeValue(QStringLiteral("SetupSave"), idleName);
    const QString base = savedSetupsDirectory();
    if (base.isEmpty() || name.isEmpty())
        return;
    const QString folder = base + name + QLatin1Char('/');
    if (!QDir().mkpath(folder)) {
        qDebug().noquote() << "Problem opening file for writing: " + folder;
        return;
    }
    m_data.setup()->writeAllChildrenToFiles(folder);
}

void SerializationController::setupRestoreRequested(const QString &name)
{
    if (name == idleName)
        return;
    ESOptionsSetup *options = m_data.setup()->SetupSetup()->OptionsSetup();
    options->changeValue(QStringLiteral("SetupRestore"), idleName);
    const QString base = savedSetupsDirectory();
    if (base.isEmpty() || name.isEmpty() || !QDir(base + name).exists())
        return;
    m_data.setup()->readAllChildrenFromFiles(base + name + QLatin1Char('/'), sharedExclusions(true));
    m_data.setup()->serializeForSending();
    m_data.setup()->writeAllChildrenToFiles();
}

void SerializationController::setupListRequested(int request)
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
