#include "esdata.h"

#include "esalerts.h"
#include "escommunicationinformation.h"
#include "eslocalsetup.h"
#include "esruntime.h"
#include "essetup.h"
#include "markclass.h"

#include <QDir>

ESData &ESData::instance()
{
    // Lives until the program ends, like every settings tree it holds.
    static ESData *data = new ESData();
    return *data;
}

ESData::ESData(const QString &setupDirectory, QObject *parent)
    : QObject(parent),
      m_setupDirectory(setupDirectory.isEmpty() ? SerializableClass::defaultSetupDirectory() : setupDirectory),
      m_setup(new ESSetup(QStringLiteral("ESSetup"), this)),
      m_localSetup(new ESLocalSetup(QStringLiteral("ESLocalSetup"), this)),
      m_runtime(new ESRuntime(QStringLiteral("ESRuntime"), this)),
      m_bottomBars(new ESBottomBars(QStringLiteral("ESBottomBars"), this)),
      m_alerts(new ES_Alerts(QStringLiteral("ESAlerts"), this)),
      m_communicationInformation(new ESCommunicationInformation(QStringLiteral("ComminicationInformation"), this)),
      m_mark(new MarkClass(QStringLiteral("Mark"), this))
{
    QDir().mkpath(m_setupDirectory);
    m_setup->setSetupDirectory(m_setupDirectory);
    m_localSetup->setSetupDirectory(m_setupDirectory);
    m_setup->initReceivedTimestampHash();
    m_runtime->setDefaultValuesFromClassInfo_RecursivelyForAllChildren();
    m_bottomBars->setDefaultValuesFromClassInfo_RecursivelyForAllChildren();
    m_alerts->setDefaultValuesFromClassInfo_RecursivelyForAllChildren();
    m_communicationInformation->setDefaultValuesFromClassInfo_RecursivelyForAllChildren();
    m_mark->setDefaultValuesFromClassInfo_RecursivelyForAllChildren();
    loadFromFiles();
    for (int channel = 0; channel < 2; ++channel) {
        EsTransducerSetup *transducer = m_setup->transducer(channel);
        connect(transducer, &EsTransducerSetup::gainMarkReady, this, &ESData::gainMarkReady);
        transducer->setGainMarksEnabled(true);
    }
}

ESData::~ESData() = default;

QList<SerializableClass *> ESData::trees() const
{
    return {m_setup, m_localSetup, m_runtime, m_bottomBars, m_alerts, m_communicationInformation, m_mark};
}

void ESData::loadFromFiles()
{
    m_setup->setDefaultValuesFromClassInfo_RecursivelyForAllChildren();
    m_setup->readAllChildrenFromFiles();
    m_localSetup->setDefaultValuesFromClassInfo_RecursivelyForAllChildren();
    m_localSetup->readAllChildrenFromFiles();
}
