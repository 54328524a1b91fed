#include "portsetupadapter.h"

#include "essetup.h"
#include "nmeahandler.h"
#include "nmeahandlercontainer.h"
#include "nmeaports.h"
#include "settingsmetadata.h"

#include <QMetaMethod>
#include <QMetaProperty>

namespace {

// The sentences that a line's setup switches on and off, by the setting that switches them.
struct SentenceSwitch
{
    const char *setting;
    const char *formatter;
    bool proprietary;
};
constexpr SentenceSwitch kSentences[] = {
    {"DPT", "DPT", false}, {"DBT", "DBT", false}, {"DBS", "DBS", false},
    {"DBK", "DBK", false}, {"PZTQDPT", "DPT", true},
};

// Alert sentences that are relayed to the lines whose "Alarm" is on (ACN goes to the alert
// mirror instead).
constexpr const char *kAlertSentences[] = {"ALF", "ALR", "ARC", "ALC", "ACK"};

constexpr int kOn = 0;

NmeaHandler *handlerOf(const char *formatter, bool proprietary)
{
    const NmeaHandlerContainer &container = NmeaHandlerContainer::instance();
    const QString name = QString::fromLatin1(formatter);
    return proprietary ? container.proprietaryHandler(name) : container.standardHandler(name);
}

void registerIf(NmeaHandler *handler, Port line, bool on)
{
    if (on)
        handler->registerLine(line);
    else
        handler->unregisterLine(line);
}

} // namespace

PortSetupAdapter::PortSetupAdapter(ESCommunicationsSetup *setup, NmeaPorts *ports, QObject *parent)
    : QObject(parent)
    , m_setup(setup)
    , m_ports(ports)
{
    // Any change of any line's setup is applied (the whole setup is a few dozen values).
    const QMetaMethod apply = metaObject()->method(metaObject()->indexOfSlot("applyAll()"));
    for (int port = Serial_1; port <= Add_Serial_3; ++port) {
        ESPortSetup *lineSetup = setupOf(setup, Port(port));
        const QMetaObject *meta = lineSetup->metaObject();
        for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
            const QMetaProperty property = meta->property(i);
            if (property.hasNotifySignal())
                connect(lineSetup, property.notifySignal(), this, apply);
        }
    }
}

ESPortSetup *PortSetupAdapter::setupOf(ESCommunicationsSetup *setup, Port line)
{
    switch (line) {
    case Serial_1: return setup->NmeaPort1Setup();
    case Serial_2: return setup->NmeaPort2Setup();
    case Serial_3: return setup->NmeaPort3Setup();
    case UDP: return setup->UdpPortSetup();
    case Add_Serial_1: return setup->AdditionalNmeaPort1Setup();
    case Add_Serial_2: return setup->AdditionalNmeaPort2Setup();
    case Add_Serial_3: return setup->AdditionalNmeaPort3Setup();
    }
    return nullptr;
}

int PortSetupAdapter::baudRate(int choice)
{
    static const QStringList rates =
        ClassMetadata::of(&ESPortSetup::staticMetaObject).property(QStringLiteral("Baud"))->enumList();
    const int fallback = rates.value(0).toInt();
    return choice >= 0 && choice < rates.size() ? rates.at(choice).toInt() : fallback;
}

void PortSetupAdapter::applyAll()
{
    for (int port = Serial_1; port <= Add_Serial_3; ++port)
        apply(Port(port));
    // A sentence is produced periodically while at least one line takes it.
    for (const SentenceSwitch &sentence : kSentences) {
        NmeaHandler *handler = handlerOf(sentence.formatter, sentence.proprietary);
        handler->setPeriodicEnabled(!handler->registeredLines().isEmpty());
    }
}

void PortSetupAdapter::apply(Port line)
{
    const ESPortSetup *lineSetup = setupOf(m_setup, line);
    for (const SentenceSwitch &sentence : kSentences) {
        const int value = lineSetup->property(sentence.setting).toInt();
        registerIf(handlerOf(sentence.formatter, sentence.proprietary), line, value == kOn);
    }
    for (const char *formatter : kAlertSentences)
        registerIf(handlerOf(formatter, false), line, lineSetup->Alarm() == kOn);
    if (SerialReader *reader = NmeaPorts::isSerialLine(line) ? m_ports->port(line) : nullptr) {
        reader->setBaudRate(baudRate(lineSetup->Baud()));
        reader->setReadingEnabled(lineSetup->InputEnabled() == kOn);
    }
}
