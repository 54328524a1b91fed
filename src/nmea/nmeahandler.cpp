#include "nmeahandler.h"

#include "nmeamessage.h"
#include "nmeamessageregistry.h"
#include "signalemitter.h"
#include "systeminformation.h"

#include <QDebug>
#include <QMetaProperty>

NmeaHandler::NmeaHandler(QObject *holder, const QString &formatter, int flags, QObject *parent)
    : QObject(parent)
    , m_receiveHolder(holder)
    , m_sendHolder(holder)
    , m_formatter(formatter)
    , m_flags(flags)
{
    if (flags & Proprietary)
        m_talker = QStringLiteral("PZTQ");
    else if (!(flags & NoTalker))
        m_talker = SystemInformation::instance().talker();
    m_ownMessage = NmeaMessageRegistry::instance().create(m_talker, m_formatter, this);
    if (!m_ownMessage) {
        qDebug() << "NmeaHandler: no sentence class for " << m_talker << m_formatter;
        throw "NmeaHandler: no sentence class for the handler's formatter!";
    }
}

NmeaHandler::~NmeaHandler() = default;

void NmeaHandler::setReceiveHolder(QObject *holder)
{
    m_receiveHolder = holder;
    m_receiveLinks = LinkTable();
}

void NmeaHandler::setSendHolder(QObject *holder)
{
    m_sendHolder = holder;
    m_sendLinks = LinkTable();
}

void NmeaHandler::registerLine(int line)
{
    if (!m_registeredLines.contains(line))
        m_registeredLines.append(line);
}

void NmeaHandler::unregisterLine(int line)
{
    m_registeredLines.removeAll(line);
}

bool NmeaHandler::advanceCycle()
{
    if (++m_cycleCounter < m_periodDivisor)
        return false;
    m_cycleCounter = 0;
    return true;
}

void NmeaHandler::buildLinks(LinkTable &table, const NmeaMessage *message, const QObject *holder,
                             const QString &formatter)
{
    table.sentenceClass = message->metaObject();
    table.holder = holder;
    table.links.clear();
    const QMetaObject *meta = holder->metaObject();
    const int fieldType = qMetaTypeId<ValidatedProperty *>();
    for (int i = 0; i < message->fieldCount(); ++i) {
        const QString name = message->fieldName(i);
        int index = meta->indexOfProperty((formatter + QLatin1Char('_') + name).toLatin1().constData());
        if (index < 0)
            index = meta->indexOfProperty(name.toLatin1().constData());
        if (index < 1)
            continue;
        FieldLink link;
        link.messageField = i;
        const QMetaProperty property = meta->property(index);
        if (property.userType() == fieldType)
            link.target = property.read(holder).value<ValidatedProperty *>();
        else
            link.plainProperty = index;
        if (link.target || link.plainProperty >= 0)
            table.links.append(link);
    }
}

void NmeaHandler::noteReceived(NmeaMessage *message)
{
    // A copy of its own (in place when nobody shares it): the sentence object takes the next one.
    const QString &text = message->receivedFieldText();
    m_lastReceivedFieldText.setUnicode(text.constData(), text.size());
    m_validityCount = 0;
}

void NmeaHandler::emitSentenceReceived(NmeaMessage *message)
{
    if (!isSignalConnected(QMetaMethod::fromSignal(&NmeaHandler::sentenceReceived)))
        return;
    QStringList texts;
    for (int i = 0; i < message->fieldCount(); ++i)
        texts.append(message->field(i)->fieldText());
    emit sentenceReceived(texts, message->sourceIdentifier(), message->sourceLine());
}

bool NmeaHandler::copyToHolder(NmeaMessage *message)
{
    noteReceived(message);
    if (m_passThrough)
        return true;
    QObject *holder = m_receiveHolder.data();
    if (!holder)
        return false;
    if (m_receiveLinks.sentenceClass != message->metaObject() || m_receiveLinks.holder != holder)
        buildLinks(m_receiveLinks, message, holder, m_formatter);
    bool any = false;
    for (const FieldLink &link : qAsConst(m_receiveLinks.links)) {
        const ValidatedProperty *source = message->field(link.messageField);
        if (!source->isValid())
            continue;
        if (link.target)
            link.target->copyValueAndValidity(*source);
        else
            holder->metaObject()->property(link.plainProperty).write(holder, source->variantValue());
        any = true;
    }
    return any;
}

void NmeaHandler::copyFromSendHolder()
{
    QObject *holder = m_sendHolder.data();
    if (!holder)
        return;
    if (m_sendLinks.sentenceClass != m_ownMessage->metaObject() || m_sendLinks.holder != holder)
        buildLinks(m_sendLinks, m_ownMessage, holder, m_formatter);
    for (const FieldLink &link : qAsConst(m_sendLinks.links)) {
        ValidatedProperty *target = m_ownMessage->field(link.messageField);
        if (link.target)
            target->copyValueAndValidity(*link.target);
        else
            target->setVariantValue(holder->metaObject()->property(link.plainProperty).read(holder));
    }
}

bool NmeaHandler::handleMessage(NmeaMessage *message)
{
    if (!m_alertHandler) {
        const bool valid = copyToHolder(message);
        if (valid)
            emit validMessageReceived();
        return valid;
    }
    noteReceived(message);
    const QString complete = message->completeSentence();
    if (m_formatter == QLatin1String("ACN")) {
        emit forwardMessage(complete, message->sourceIdentifier());
    } else {
        for (int line : qAsConst(m_registeredLines))
            emit SignalEmitter::instance().signalTypeAndCompleteNmeaMessageAndPort(
                m_formatter, complete, Port(line), false);
    }
    emit validMessageReceived();
    return true;
}

QStringList NmeaHandler::handleMultiSentence(NmeaMessage *message)
{
    Q_UNUSED(message)
    qDebug() << "Should not be called on non multi-sentence handler!!!";
    return buildOutgoing();
}

QStringList NmeaHandler::buildOutgoing()
{
    m_ownMessage->clearReceivedFieldText();
    if (m_passThrough)
        m_ownMessage->setReceivedFieldText(m_lastReceivedFieldText);
    else
        copyFromSendHolder();
    return {m_ownMessage->completeSentence()};
}

QString NmeaHandler::completeSentenceFromFields(const QStringList &field_texts) const
{
    const QString body = m_ownMessage->addressField() + QLatin1Char(',')
                         + field_texts.join(QLatin1Char(','));
    return QLatin1Char('$') + body + QLatin1Char('*') + NmeaMessage::checksum(body)
           + QLatin1String("\r\n");
}

void NmeaHandler::sendAlertMessageContents(QList<QString> messages_contents, QString alert_sfi)
{
    QList<QString> sentences;
    for (const QString &content : qAsConst(messages_contents)) {
        const QString body = m_ownMessage->addressField() + QLatin1Char(',') + content;
        sentences.append(QLatin1Char('$') + body + QLatin1Char('*') + NmeaMessage::checksum(body)
                         + QLatin1String("\r\n"));
    }
    if (!sentences.isEmpty())
        emit SignalEmitter::instance().signalTypeAndCompleteNmeaMessageListWithCustomDestinationSFI(
            m_formatter, sentences, UDP, QString(), alert_sfi);
}

void NmeaHandler::validityTimerTimeout()
{
    if (++m_validityCount >= m_validityLimit) {
        m_validityCount = m_validityLimit;
        m_lastReceivedFieldText.clear();
    }
}

// ---- grouped sentences ----

NmeaMultiSentenceHandler::NmeaMultiSentenceHandler(QObject *holder, const QString &formatter,
                                                   int flags, QObject *parent)
    : NmeaHandler(holder, formatter, flags, parent)
{
    setMultiSentence(true);
}

bool NmeaMultiSentenceHandler::handleMessage(NmeaMessage *message)
{
    handleMultiSentence(message);
    const bool valid = copyToHolder(message);
    if (valid)
        emit validMessageReceived();
    return valid;
}

QStringList NmeaMultiSentenceHandler::handleMultiSentence(NmeaMessage *message)
{
    // A numbered group starts again with its first sentence; unnumbered types are one sentence.
    int number = -1;
    for (int i = 0; i < message->fieldCount(); ++i) {
        if (message->fieldName(i).endsWith(QLatin1String("MessageNumber"))) {
            ValidatedProperty *field = message->field(i);
            number = field->isValid() ? field->variantValue().toInt() : -1;
            break;
        }
    }
    // A group has at most nine sentences; a stream that never starts again must not grow it.
    if (number <= 1 || m_group.size() >= maxGroupSentences)
        m_group.clear();
    m_group.append(message->receivedFieldText());
    return m_group;
}

QStringList NmeaMultiSentenceHandler::buildMultiOutgoing()
{
    if (m_group.isEmpty() || lastReceivedFieldText().isEmpty())
        return buildOutgoing();
    QStringList sentences;
    for (const QString &fields : qAsConst(m_group))
        sentences.append(completeSentenceFromFields({fields}));
    return sentences;
}

bool NmeaMultiObjectHandler::handleMessage(NmeaMessage *message)
{
    ++m_objects;
    return NmeaHandler::handleMessage(message);
}
