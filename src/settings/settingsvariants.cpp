#include "settingsvariants.h"

#include <QMetaProperty>

SetupSerializableClass::SetupSerializableClass(const QString &name, QObject *parent, const QString &typeTag)
    : SerializableClass(name, parent, typeTag, QStringLiteral("JB_") + name + QStringLiteral(".txt"))
{
    // The table starts empty, which answers -1 for every property just as a filled one would; the
    // derived class's properties do not exist yet while this constructor runs.
}

void SetupSerializableClass::initReceivedTimestampHash()
{
    bool hasSetupChildren = false;
    for (SerializableClass *c : serializableChildren()) {
        if (auto *setup = qobject_cast<SetupSerializableClass *>(c)) {
            hasSetupChildren = true;
            setup->initReceivedTimestampHash();
        }
    }
    if (hasSetupChildren)
        return;
    const QMetaObject *mo = metaObject();
    for (int i = 1; i < mo->propertyCount(); ++i)
        m_receivedTimestamps.insert(QString::fromLatin1(mo->property(i).name()), -1);
}

qint64 SetupSerializableClass::receivedTimestamp(const QString &name) const
{
    return m_receivedTimestamps.value(name, -1);
}

void SetupSerializableClass::setReceivedTimestamp(const QString &name, qint64 value)
{
    m_receivedTimestamps.insert(name, value);
}

void SetupSerializableClass::serializeForSending(const QStringList &destinationSfis)
{
    sendComplete(serialize(), destinationSfis);
}

QString SetupSerializableClass::serializeSinglePropertyNoAck(SerializableClass *object, const QString &name,
                                                             const QVariant &value)
{
    m_noAckPending = true;
    QString text;
    try {
        text = serializeSingleProperty(object, name, value);
    } catch (...) {
        m_noAckPending = false;
        throw;
    }
    m_noAckPending = false;
    return text.insert(text.indexOf(QLatin1Char(',')), QStringLiteral("NoAck"));
}

QString SetupSerializableClass::serializeSinglePropertyNoAck(const QString &name)
{
    return serializeSinglePropertyNoAck(this, name, property(name.toLatin1().constData()));
}

void SetupSerializableClass::singlePropertyTextMade(SerializableClass *object, const QString &text)
{
    if (m_noAckPending) {
        QString marked = text;
        sendSingleProperty(marked.insert(marked.indexOf(QLatin1Char(',')), QStringLiteral("NoAck")));
    } else {
        sendSingleProperty(text);
    }
    // The changed leaf keeps its file current.
    if (object && !object->isContainer())
        object->writeToFile();
}

LocalSerializableClass::LocalSerializableClass(const QString &name, QObject *parent, const QString &typeTag)
    : SerializableClass(name, parent, typeTag, QStringLiteral("CU_") + name + QStringLiteral(".txt"))
{
}

void LocalSerializableClass::singlePropertyTextMade(SerializableClass *object, const QString &)
{
    if (object && !object->isContainer())
        object->writeToFile();
}

RuntimeSerializableClass::RuntimeSerializableClass(const QString &name, QObject *parent, const QString &typeTag)
    : SerializableClass(name, parent, typeTag)
{
}

void RuntimeSerializableClass::serializeForSending(const QStringList &destinationSfis)
{
    sendComplete(serialize(), destinationSfis);
}

void RuntimeSerializableClass::singlePropertyTextMade(SerializableClass *, const QString &text)
{
    sendSingleProperty(text);
}

void RuntimeSerializableClass::resetValues()
{
    const QMetaObject *mo = metaObject();
    for (int i = 1; i < mo->propertyCount(); ++i) {
        const QMetaProperty p = mo->property(i);
        const QString name = QString::fromLatin1(p.name());
        switch (p.userType()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Double:
        case QMetaType::Float:
            p.write(this, 0);
            break;
        case QMetaType::QString:
            p.write(this, QString());
            break;
        default:
            continue;
        }
        setValid(name, false);
    }
    for (SerializableClass *c : serializableChildren()) {
        if (auto *runtime = qobject_cast<RuntimeSerializableClass *>(c))
            runtime->resetValues();
    }
}

HistorySerializableClass::HistorySerializableClass(const QString &name, QObject *parent, const QString &typeTag)
    : SerializableClass(name, parent, typeTag)
{
}
