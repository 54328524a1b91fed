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
    const Key key(sourceSfi, groupId);
    auto it = m_groups.find(key);
    if (it == m_groups.end()) {
        if (m_groups.size() >= MaxPendingGroups)
            dropOldestExcept(key);
        Entry entry;
        entry.serial = m_nextSerial++;
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
    entry.characters += sentence.size();
    m_characters += sentence.size();
    if (++entry.received < count) {
        while (m_characters > MaxPendingCharacters && m_groups.size() > 1)
            dropOldestExcept(key);
        if (m_characters > MaxPendingCharacters) {   // this group alone is too much
            m_characters -= m_groups.value(key).characters;
            m_groups.remove(key);
            dropped(key);
        }
        return false;
    }

    ReceivedSentenceGroup group;
    group.sentences = QStringList(entry.sentences.begin(), entry.sentences.end());
    group.sourceSfi = sourceSfi;
    group.internal = entry.internal;
    group.fromInternalInterface = entry.fromInternalInterface;
    m_characters -= entry.characters;
    m_groups.erase(it);
    emit groupComplete(group);
    return true;
}

void NmeaInputBuffer::groupTimedOut()
{
    for (auto it = m_groups.begin(); it != m_groups.end();) {
        if (++it.value().age > TicksToKeepIncomplete) {
            const Key key = it.key();
            m_characters -= it->characters;
            it = m_groups.erase(it);
            dropped(key);
        } else {
            ++it;
        }
    }
}

void NmeaInputBuffer::dropOldestExcept(const Key &kept)
{
    auto oldest = m_groups.end();
    for (auto it = m_groups.begin(); it != m_groups.end(); ++it) {
        if (it.key() != kept && (oldest == m_groups.end() || it->serial < oldest->serial))
            oldest = it;
    }
    if (oldest == m_groups.end())
        return;
    const Key key = oldest.key();
    m_characters -= oldest->characters;
    m_groups.erase(oldest);
    dropped(key);
}

void NmeaInputBuffer::dropped(const Key &key)
{
    qDebug().noquote() << "Incomplete sentence group dropped: " + key.first << key.second;
}
