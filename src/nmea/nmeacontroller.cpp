#include "nmeacontroller.h"

#include "errorlogger.h"
#include "nmeahandler.h"
#include "nmeahandlercontainer.h"
#include "nmeamessage.h"
#include "nmeamessageregistry.h"
#include "nmeaparserclass.h"

#include <QDebug>

namespace {

// Distinct address fields remembered for the fast lookup; beyond this, lookups go the long way
// so that a stream of invented talkers cannot grow the table.
constexpr int addressCacheLimit = 512;
// Kinds of unknown sentences counted by name; further ones are counted together.
constexpr int unknownKindLimit = 64;

int errorLoggerInput(Port port)
{
    return port >= Serial_1 && port <= UDP ? int(port) : -1;
}

} // namespace

NmeaController::NmeaController(QObject *parent)
    : QObject(parent)
{
    registerNmeaMetaTypes();
    NmeaHandlerContainer::instance();
}

NmeaController::~NmeaController()
{
    qDeleteAll(m_pools);
}

int NmeaController::pooledObjectCount() const
{
    int count = 0;
    for (const Pool *pool : m_pools)
        count += pool->objects.size();
    return count;
}

void NmeaController::clearStatistics()
{
    for (NmeaLineStatistics &stats : m_statistics)
        stats = NmeaLineStatistics();
    for (Pool *pool : qAsConst(m_pools)) {
        for (NmeaSentenceCounts &counts : pool->counts)
            counts = NmeaSentenceCounts();
    }
}

int NmeaController::statisticsSlot(Port port)
{
    return port >= Serial_1 && port <= Add_Serial_3 ? int(port) : lineCount;
}

NmeaController::Pool *NmeaController::poolFor(const SentenceLine &line)
{
    // The lookup key borrows the line's characters; only a new address is copied.
    const QStringView address = line.address();
    if (Pool *cached = m_addressCache.value(QString::fromRawData(address.data(), address.size())))
        return cached;
    const QString talker = line.talker().toString();
    const QString formatter = line.formatter().toString();
    const bool proprietary = talker == QLatin1String("PZTQ");
    const QString registered =
        formatter.isEmpty() ? QString() : NmeaMessageRegistry::instance().registeredFormatter(talker, formatter);
    QString name = (proprietary ? talker : QString()) + (registered.isEmpty() ? formatter : registered);
    // Addresses that are not split (and proprietary ones of other makers) are named whole.
    if (formatter.isEmpty() || (!proprietary && address.startsWith(QLatin1Char('P'))))
        name = address.toString();
    QString key = (registered.isEmpty() ? QStringLiteral("U:") : proprietary ? QStringLiteral("P:") : QStringLiteral("S:"))
                  + name;
    if (registered.isEmpty() && !m_pools.contains(key) && m_unknownKinds >= unknownKindLimit) {
        key = QStringLiteral("U:");
        name = QStringLiteral("other");
    }
    Pool *&pool = m_pools[key];
    if (!pool) {
        pool = new Pool;
        pool->name = name;
        pool->known = !registered.isEmpty();
        if (!pool->known)
            ++m_unknownKinds;
    }
    if (m_addressCache.size() < addressCacheLimit)
        m_addressCache.insert(address.toString(), pool);
    return pool;
}

QList<QPair<QString, NmeaSentenceCounts>> NmeaController::formatterStatistics(Port port) const
{
    const int slot = statisticsSlot(port);
    QMap<QString, NmeaSentenceCounts> byName;
    for (const Pool *pool : m_pools) {
        if (pool->counts[slot].total() > 0)
            byName.insert(pool->name, pool->counts[slot]);
    }
    QList<QPair<QString, NmeaSentenceCounts>> list;
    for (auto it = byName.constBegin(); it != byName.constEnd(); ++it)
        list.append(qMakePair(it.key(), it.value()));
    return list;
}

void NmeaController::relay(const QString &line, Port port, int status)
{
    if (m_relaying)
        emit lineRelayed(line, port, status);
}

void NmeaController::countInputError(int code, Port port, const QString &line)
{
    ErrorLogger::instance().countNmeaError(code, errorLoggerInput(port));
    emit inputErrorLogged(code, port, line);
}

bool NmeaController::isReceivedAllowedInStandby(QStringView talker, QStringView formatter)
{
    return talker == QLatin1String("PZTQ")
           && (formatter == QLatin1String("SLP") || formatter == QLatin1String("ICM")
               || formatter == QLatin1String("PAIR") || formatter == QLatin1String("SFIACK"));
}

void NmeaController::handleReceivedNmeaList(NmeaGroupInfo group_info)
{
    receive(group_info, false);
}

void NmeaController::handleReceivedNmeaListInStandby(NmeaGroupInfo nmea_group_info)
{
    receive(nmea_group_info, true);
}

void NmeaController::receive(const NmeaGroupInfo &group, bool standby)
{
    const Port port = group.port;
    const QString lineName = portName(port);
    const int slot = statisticsSlot(port);
    NmeaLineStatistics &stats = m_statistics[slot];

    const auto forward = m_forwarding.constFind(int(port));
    if (forward != m_forwarding.constEnd() && !standby) {
        NmeaGroupInfo onward(group.messages, forward.value(), group.senderId);
        sendGroup(onward, false);
    }

    m_kept.clear();
    bool failed = false;
    for (int index = 0; index < group.messages.size(); ++index) {
        const QString &raw = group.messages.at(index);
        ++stats.lines;
        const int check = m_line.take(raw);
        if (check != SentenceCheck::Ok) {
            ++stats.rejected;
            countInputError(check, port, raw);
            relay(raw, port, 2);
            failed = true;
            continue;
        }
        const QStringView talker = m_line.talker();
        const QStringView formatter = m_line.formatter();
        if (standby && !isReceivedAllowedInStandby(talker, formatter))
            continue;
        Pool *pool = poolFor(m_line);
        NmeaSentenceCounts &counts = pool->counts[slot];
        if (!pool->known) {
            // Sentences of other equipment that the unit does not know are no fault.
            ++stats.notHandled;
            ++counts.notHandled;
            relay(raw, port, 1);
            emit inputMessageLogged(port, raw);
            continue;
        }
        if (pool->used == pool->objects.size()) {
            NmeaMessage *created = NmeaMessageRegistry::instance().create(
                talker.toString(), formatter.toString(), this);
            if (!created)
                continue;
            pool->objects.append(created);
        }
        NmeaMessage *message = pool->objects.at(pool->used);
        message->resetFields();
        if (message->formatter() == formatter && message->talker() != talker)
            message->setTalker(talker.toString());
        const int result = message->parseFields(m_line.fieldText());
        message->setSourceLine(lineName);
        message->setSourceIdentifier(group.senderId);
        if (result != ParseResult::Ok) {
            ++stats.rejected;
            ++counts.fieldErrors;
            countInputError(result == ParseResult::WrongFieldLength ? NmeaFieldLengthError
                                                                    : NmeaInvalidFieldValue,
                            port, raw);
            relay(raw, port, 3);
            continue;
        }
        ++pool->used;
        ++stats.accepted;
        m_kept.push_back({message, pool, index});
        if (formatter == QLatin1String("HBT"))
            emit heartbeatReceived(talker.toString(), group.senderId);
    }

    bool inputValid = false;
    if (!failed) {
        const auto copy = m_serialCopy.constFind(int(port));
        const bool copying = port <= Serial_3 && copy != m_serialCopy.constEnd() && !copy->isEmpty();
        for (const Kept &kept : m_kept) {
            const QString &raw = group.messages.at(kept.line);
            Pool *pool = kept.pool;
            if (!pool->handlerResolved) {
                pool->handler = NmeaHandlerContainer::instance().handler(kept.message->talker(),
                                                                         kept.message->formatter());
                pool->handlerResolved = true;
            }
            NmeaSentenceCounts &counts = pool->counts[slot];
            int status = 1;
            if (pool->handler) {
                status = pool->handler->handleMessage(kept.message) ? 0 : 3;
                ++stats.handled;
                ++(status == 0 ? counts.valid : counts.dataInvalid);
                inputValid = inputValid || status == 0;
            } else {
                ++stats.notHandled;
                ++counts.notHandled;
            }
            relay(raw, port, status);
            if (copying && kept.message->formatter() != QLatin1String("DDC")) {
                for (Port target : *copy)
                    emit nmeaGroupReadyToBeSentOverSerialPort(NmeaGroupInfo({raw}, target));
            }
            emit inputMessageLogged(port, raw);
        }
    }
    emit communicationStatisticsUpdated(port, inputValid);
    for (const Kept &kept : m_kept)
        kept.pool->used = 0;
    m_kept.clear();
}

// ---- send side ----

bool NmeaController::isSentAllowedInStandby(const QString &type)
{
    return type == QLatin1String("SLP") || type == QLatin1String("PAIR")
           || type == QLatin1String("SFIACK") || type == QLatin1String("PZTQSLP")
           || type == QLatin1String("PZTQPAIR") || type == QLatin1String("PZTQSFIACK");
}

bool NmeaController::isDataAllowedInStandby(const QString &data)
{
    return data.contains(QLatin1String("SystemInNormalOrStandbyMode"))
           || data.contains(QLatin1String("PollingTest"));
}

NmeaHandler *NmeaController::handlerForType(const QString &type) const
{
    const NmeaHandlerContainer &container = NmeaHandlerContainer::instance();
    if (type.startsWith(QLatin1String("PZTQ")))
        return container.proprietaryHandler(type.mid(4));
    if (NmeaHandler *standard = container.standardHandler(type))
        return standard;
    return container.proprietaryHandler(type);
}

void NmeaController::sendGroup(const NmeaGroupInfo &group, bool to_internal_interface)
{
    if (group.messages.isEmpty())
        return;
    if (group.port == UDP)
        emit nmeaGroupReadyToBeSentOverUdp(group, to_internal_interface, group.destinations);
    else
        emit nmeaGroupReadyToBeSentOverSerialPort(group);
    if (m_relaying) {
        for (const QString &sentence : group.messages)
            emit lineRelayed(sentence, group.port, 0);
    }
    emit outputMessageGroupLogged(group);
}

void NmeaController::sendStandardNmeaMessageOfTypeOverPort(QString type, Port port, QString id)
{
    NmeaHandler *handler = handlerForType(type);
    if (!handler) {
        qDebug() << "No handler for sentence type: " << type;
        return;
    }
    const QStringList sentences =
        handler->isMultiSentence() ? handler->buildMultiOutgoing() : handler->buildOutgoing();
    NmeaGroupInfo group(sentences, port);
    group.senderId = id;
    sendGroup(group, false);
}

void NmeaController::sendPreparedStandardNmeaMessageOverPort(QString type, QString complete_message,
                                                             Port port, bool to_connected_devices,
                                                             QString id)
{
    Q_UNUSED(type)
    NmeaGroupInfo group({complete_message}, port);
    group.senderId = id;
    sendGroup(group, to_connected_devices);
}

void NmeaController::sendPreparedStandardNmeaListWithCustomDestinationSFI(
    QString type, QList<QString> complete_messages, Port port, QString id, QString destination_sfi)
{
    Q_UNUSED(type)
    NmeaGroupInfo group(complete_messages, port);
    group.senderId = id;
    if (!destination_sfi.isEmpty())
        group.destinations.append(destination_sfi);
    sendGroup(group, false);
}

void NmeaController::sendProprietaryNmeaList(QString data, QString formatter,
                                             QStringList destination_sfis)
{
    NmeaGroupInfo group = NmeaParserClass::dataToNmeaList(
        data, formatter.isEmpty() ? NmeaParserClass::defaultFormatter() : formatter);
    group.destinations = destination_sfis;
    sendGroup(group, true);
}

void NmeaController::sendStandardNmeaMessageOfTypeOverPortInStandby(QString type, Port port,
                                                                    QString id)
{
    if (isSentAllowedInStandby(type))
        sendStandardNmeaMessageOfTypeOverPort(type, port, id);
}

void NmeaController::sendPreparedStandardNmeaMessageOverPortInStandby(QString type,
                                                                      QString complete_message,
                                                                      Port port,
                                                                      bool to_connected_devices,
                                                                      QString id)
{
    if (isSentAllowedInStandby(type))
        sendPreparedStandardNmeaMessageOverPort(type, complete_message, port, to_connected_devices,
                                                id);
}

void NmeaController::sendPreparedStandardNmeaListWithCustomDestinationSFIInStandby(
    QString type, QList<QString> complete_messages, Port port, QString id, QString destination_sfi)
{
    if (isSentAllowedInStandby(type))
        sendPreparedStandardNmeaListWithCustomDestinationSFI(type, complete_messages, port, id,
                                                             destination_sfi);
}

void NmeaController::sendProprietaryNmeaListInStandby(QString data, QString formatter,
                                                      QStringList destination_sfis)
{
    if (isDataAllowedInStandby(data))
        sendProprietaryNmeaList(data, formatter, destination_sfis);
}
