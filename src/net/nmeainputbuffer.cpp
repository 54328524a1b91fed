#include "nmeainputbuffer.h"

#include <QDebug>

NmeaInputBuffer::NmeaInputBuffer(int interval_ms, QObject *parent)
    : NmeaBufferClass(interval_ms, parent)
{
    qRegisterMetaType<ReceivedSentenceGroup>();
    connect(&m_timer, &QTimer::timeout, this, &NmeaInputBuffer::groupTimedOut);
}

bool NmeaInputBuffer::addSentence(const QString &sourceSfi, int index, int count, int groupId,
                                  const QString &sentence, bool internal, bool fromInternalInterface)
{
    if (count < 1 || count > MaxGroupSize || index < 1 || index > count)
        return false;
    const QPair<QString, int> key(sourceSfi, groupId);
    auto it = m_groups.find(key);
    if (it == m_groups.end()) {
        Entry entry;
        entry.sentences.resize(count);
        // The first datagram decides how the group is treated.
        entry.internal = internal;
        entry.fromInternalInterface = fromInternalInterface;
        it = m_groups.insert(key, entry);
    }
    Entry &entry = it.value();
    if (entry.sentences.size() != count || !entry.sentences[index - 1].isNull())
        return false;   // repeated datagram, or a group id reused with another size
    entry.sentences[index - 1] = sentence;
    if (++entry.received < count)
        return false;

    ReceivedSentenceGroup group;
    group.sentences = QStringList(entry.sentences.begin(), entry.sentences.end());
    group.sourceSfi = sourceSfi;
    group.internal = entry.internal;
    group.fromInternalInterface = entry.fromInternalInterface;
    m_groups.erase(it);
    emit groupComplete(group);
    return true;
}

void NmeaInputBuffer::groupTimedOut()
{
    for (auto it = m_groups.begin(); it != m_groups.end();) {
        if (++it.value().age > TicksToKeepIncomplete) {
            qDebug().noquote() << "Incomplete sentence group dropped: " + it.key().first << it.key().second;
            it = m_groups.erase(it);
        } else {
            ++it;
        }
    }
}
