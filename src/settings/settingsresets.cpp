#include "settingsresets.h"

#include "esdata.h"
#include "eslocalsetup.h"
#include "essetup.h"

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

} // namespace

ExclusionMap SettingsResets::sharedExclusions(bool keepCommunications) const
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

ExclusionMap SettingsResets::localExclusions(bool keepCommunications) const
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

void SettingsResets::restoreAllSetups()
{
    restore(false);
}

void SettingsResets::restoreAllSetupsExceptIO()
{
    restore(true);
}

void SettingsResets::restore(bool keepCommunications)
{
    m_data.localSetup()->setDefaultValuesFromClassInfo_RecursivelyForAllChildren(localExclusions(keepCommunications));
    m_data.localSetup()->writeAllChildrenToFiles();
    m_data.setup()->setDefaultValuesFromClassInfo_RecursivelyForAllChildren(sharedExclusions(keepCommunications));
    m_data.setup()->serializeForSending();
    m_data.setup()->writeAllChildrenToFiles();
}
