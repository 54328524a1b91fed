#include "settingsdispatcher.h"

#include "esalerts.h"
#include "escommunicationinformation.h"
#include "esdata.h"
#include "esruntime.h"
#include "essetup.h"
#include "markclass.h"

#include <QDebug>

SettingsDispatcher::SettingsDispatcher(ESData &data, QObject *parent) : QObject(parent), m_data(data)
{
    connect(data.setup(), &SerializableClass::singlePropertyTextReady, this, &SettingsDispatcher::setupChangeToSend);
    connect(data.setup(), &SerializableClass::completeTextReady, this, &SettingsDispatcher::completeSetupToSend);
    connect(data.communicationInformation(), &SerializableClass::singlePropertyTextReady, this,
            &SettingsDispatcher::setupChangeToSend);
    for (SerializableClass *runtime : {static_cast<SerializableClass *>(data.runtime()),
                                       static_cast<SerializableClass *>(data.bottomBars()),
                                       static_cast<SerializableClass *>(data.alerts())}) {
        connect(runtime, &SerializableClass::singlePropertyTextReady, this, &SettingsDispatcher::runtimeChangeToSend);
        connect(runtime, &SerializableClass::completeTextReady, this,
                [this](const QString &text, const QStringList &) { emit runtimeChangeToSend(text); });
    }
    connect(data.mark(), &SerializableClass::completeTextReady, this, &SettingsDispatcher::sendDataForMark);
}

void SettingsDispatcher::deserializeData(const QString &data)
{
    emit textReceived();
    const int firstComma = data.indexOf(QLatin1Char(','));
    if (firstComma < 0)
        return;
    QString tag = data.left(firstComma);
    if (tag.endsWith(QLatin1String("NoAck")))
        tag.chop(5);
    const int secondComma = data.indexOf(QLatin1Char(','), firstComma + 1);
    const QString second = data.mid(firstComma + 1, secondComma < 0 ? -1 : secondComma - firstComma - 1);
    if (second == QLatin1String("SingleProperty")) {
        deserializeSingleProperty(tag, data);
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

void SettingsDispatcher::deserializeSingleProperty(const QString &tag, const QString &data)
{
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
}

void SettingsDispatcher::deserializeCompleteSetup(const QString &data)
{
    emit aboutToDeserializeCompleteSetup();
    const bool accepted = m_data.setup()->deserialize(data);
    if (accepted)
        m_data.setup()->writeAllChildrenToFiles();
    emit completeSetupRead(accepted);
}
