#pragma once

#include "nmeagroupinfo.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVector>

class NmeaMessage;
class ValidatedProperty;
struct QMetaObject;

// Receives one sentence type: copies its fields into a data holder or acts on them, and builds the
// type's outgoing sentence from the send holder. One instance per sentence type, for the program's
// life; each holds one sentence object of its own for sending.
class NmeaHandler : public QObject
{
    Q_OBJECT
public:
    enum Flag { NoFlags = 0, Proprietary = 1, NoTalker = 2 };

    static constexpr int validityLimit = 10;

    NmeaHandler(QObject *holder, const QString &formatter, int flags = NoFlags,
                QObject *parent = nullptr);
    ~NmeaHandler() override;

    const QString &formatter() const { return m_formatter; }
    bool isProprietary() const { return m_flags & Proprietary; }
    const QString &talker() const { return m_talker; }
    NmeaMessage *ownMessage() const { return m_ownMessage; }

    QObject *receiveHolder() const { return m_receiveHolder; }
    QObject *sendHolder() const { return m_sendHolder; }
    void setReceiveHolder(QObject *holder);
    void setSendHolder(QObject *holder);

    bool passThrough() const { return m_passThrough; }
    void setPassThrough(bool on) { m_passThrough = on; }
    bool isAlertHandler() const { return m_alertHandler; }
    const QString &lastReceivedFieldText() const { return m_lastReceivedFieldText; }
    int validityCount() const { return m_validityCount; }

    // Send side: lines registered for onward and periodic sending (each at most once).
    const QList<int> &registeredLines() const { return m_registeredLines; }
    void registerLine(int line);
    void unregisterLine(int line);
    void clearRegisteredLines() { m_registeredLines.clear(); }
    bool isPeriodicEnabled() const { return m_periodicEnabled; }
    void setPeriodicEnabled(bool on) { m_periodicEnabled = on; }
    int periodDivisor() const { return m_periodDivisor; }
    void setPeriodDivisor(int divisor) { m_periodDivisor = qMax(1, divisor); }
    int cycleCounter() const { return m_cycleCounter; }
    bool isMultiSentence() const { return m_multiSentence; }
    // Counts one periodic cycle; true when the sentence is due on this one.
    bool advanceCycle();

    // Receive side: true when the handler took the data as valid.
    virtual bool handleMessage(NmeaMessage *message);
    // Copies the fields of a received sentence into the receive holder (copy rule).
    virtual bool copyToHolder(NmeaMessage *message);
    virtual QStringList handleMultiSentence(NmeaMessage *message);
    // The outgoing complete sentences of this type, from the send holder.
    virtual QStringList buildOutgoing();
    virtual QStringList buildMultiOutgoing() { return buildOutgoing(); }
    // A complete sentence of this type from the given field texts (for replies and commands).
    QString completeSentenceFromFields(const QStringList &field_texts) const;

signals:
    void forwardMessage(QString message, QString source);
    void validMessageReceived();
    // Field texts of a received sentence, for the layers above that act on it (pairing, setup
    // transfer, commands): they find the handler in the container and connect here.
    void sentenceReceived(QStringList field_texts, QString source_id, QString source_line);

public slots:
    void sendAlertMessageContents(QList<QString> messages_contents, QString alert_sfi);
    void validityTimerTimeout();

protected:
    void setAlertHandler(bool on) { m_alertHandler = on; }
    void setMultiSentence(bool on) { m_multiSentence = on; }
    void noteReceived(NmeaMessage *message);
    void emitSentenceReceived(NmeaMessage *message);
    // Copies holder fields into the own sentence (send side of the copy rule).
    void copyFromSendHolder();

private:
    struct FieldLink
    {
        int messageField = -1;
        ValidatedProperty *target = nullptr;
        int plainProperty = -1;
    };
    // Links from the fields of one sentence class to the holder, found once per class.
    struct LinkTable
    {
        const QMetaObject *sentenceClass = nullptr;
        const QObject *holder = nullptr;
        QVector<FieldLink> links;
    };
    static void buildLinks(LinkTable &table, const NmeaMessage *message, const QObject *holder,
                           const QString &formatter);

    bool m_passThrough = false;
    QPointer<QObject> m_receiveHolder;
    QPointer<QObject> m_sendHolder;
    QString m_formatter;
    int m_flags = NoFlags;
    int m_intervalMs = 1000;
    bool m_alertHandler = false;
    int m_validityCount = 0;
    int m_validityLimit = validityLimit;
    QString m_talker;
    QString m_lastReceivedFieldText;
    NmeaMessage *m_ownMessage = nullptr;
    QList<int> m_registeredLines;
    bool m_periodicEnabled = false;
    bool m_multiSentence = false;
    int m_periodDivisor = 1;
    int m_cycleCounter = 0;
    LinkTable m_receiveLinks;
    LinkTable m_sendLinks;
};

// Types whose data come in groups of numbered sentences (GSA, GST, GSV): keeps the field texts of
// the last group so that it can be sent on whole.
class NmeaMultiSentenceHandler : public NmeaHandler
{
    Q_OBJECT
public:
    static constexpr int maxGroupSentences = 9;

    NmeaMultiSentenceHandler(QObject *holder, const QString &formatter, int flags = NoFlags,
                             QObject *parent = nullptr);
    bool handleMessage(NmeaMessage *message) override;
    QStringList handleMultiSentence(NmeaMessage *message) override;
    QStringList buildMultiOutgoing() override;
    const QStringList &lastGroup() const { return m_group; }

private:
    QStringList m_group;
};

// Types of which one group carries several objects (the proprietary depth of both channels):
// keeps the last object of each source line.
class NmeaMultiObjectHandler : public NmeaHandler
{
    Q_OBJECT
public:
    using NmeaHandler::NmeaHandler;
    bool handleMessage(NmeaMessage *message) override;
    int objectCount() const { return m_objects; }

private:
    int m_objects = 0;
};
