#pragma once

#include "nmeabufferclass.h"

#include <QHash>
#include <QPair>
#include <QMetaType>
#include <QStringList>
#include <QVector>

// Sentences of one received group, joined from all its datagrams in g: order.
struct ReceivedSentenceGroup
{
    QStringList sentences;
    QString sourceSfi;
    bool internal = false;
    bool fromInternalInterface = false;
};
Q_DECLARE_METATYPE(ReceivedSentenceGroup)

// Collects the sentences of received groups per sender until the count announced in the g:
// field is reached. Groups whose remaining datagrams never arrive are dropped after a few ticks.
// What it holds is bounded whatever arrives: at most MaxPendingGroups groups and
// MaxPendingCharacters characters of sentences (twenty complete setups) wait at once; beyond that
// the oldest incomplete group is given up.
class NmeaInputBuffer : public NmeaBufferClass
{
    Q_OBJECT
public:
    static constexpr int MaxGroupSize = 999;
    static constexpr int TicksToKeepIncomplete = 3;
    static constexpr int MaxPendingGroups = 64;
    static constexpr int MaxPendingCharacters = 256 * 1024;

    explicit NmeaInputBuffer(int interval_ms = 1000, QObject *parent = nullptr);

    // One tagged sentence of a group: its 1-based index, the group size and group id from g:.
    // Returns true when this completed the group (then groupComplete has been emitted).
    bool addSentence(const QString &sourceSfi, int index, int count, int groupId, const QString &sentence,
                     bool internal, bool fromInternalInterface);
    int pendingGroups() const { return m_groups.size(); }
    int pendingCharacters() const { return m_characters; }
    bool hasGroup(const QString &sourceSfi, int groupId) const
    {
        return !m_groups.isEmpty() && m_groups.contains(qMakePair(sourceSfi, groupId));
    }

signals:
    void emitAckSignal(QString msg_tag, QString s_sfi);
    void groupComplete(ReceivedSentenceGroup group);

private slots:
    void groupTimedOut();

private:
    struct Entry
    {
        QVector<QString> sentences;
        int received = 0;
        int characters = 0;
        int age = 0;
        quint64 serial = 0;
        bool internal = false;
        bool fromInternalInterface = false;
    };
    using Key = QPair<QString, int>;   // source SFI and group id

    void dropOldestExcept(const Key &kept);
    void dropped(const Key &key);

    QHash<Key, Entry> m_groups;
    int m_characters = 0;
    quint64 m_nextSerial = 0;
};
