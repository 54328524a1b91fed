#pragma once

#include "serializableclass.h"

// Settings shared by the control unit and the junction box: kept in "JB_" files, sent to the peer
// on every change, and guarded by the timestamps of the peer's timestamped changes.
class SetupSerializableClass : public SerializableClass
{
    Q_OBJECT

public:
    SetupSerializableClass(const QString &name, QObject *parent = nullptr,
                           const QString &typeTag = QStringLiteral("Type_Setup"));

    // After a pairing every timestamp is forgotten (-1), so the next complete transfer is taken whole.
    void initReceivedTimestampHash();
    qint64 receivedTimestamp(const QString &name) const override;
    void setReceivedTimestamp(const QString &name, qint64 value) override;

    bool isForwarding() const { return m_forwarding; }
    void setForwarding(bool forwarding) { m_forwarding = forwarding; }

    void serializeForSending(const QStringList &destinationSfis = QStringList()) override;
    // The same single-property text marked as needing no acknowledgement from the peer.
    QString serializeSinglePropertyNoAck(SerializableClass *object, const QString &name, const QVariant &value);
    QString serializeSinglePropertyNoAck(const QString &name);

protected:
    void singlePropertyTextMade(SerializableClass *object, const QString &text) override;

private:
    QHash<QString, qint64> m_receivedTimestamps;
    bool m_forwarding = true;
    bool m_noAckPending = false;
};

// Settings of this unit only: kept in "CU_" files, never sent.
class LocalSerializableClass : public SerializableClass
{
    Q_OBJECT

public:
    LocalSerializableClass(const QString &name, QObject *parent = nullptr,
                           const QString &typeTag = QStringLiteral("Type_LocalSetup"));

protected:
    void singlePropertyTextMade(SerializableClass *object, const QString &text) override;
};

// Measured and computed values one unit publishes to the other: no file, written with validity
// (invalid values empty) and an integrity flag per value.
class RuntimeSerializableClass : public SerializableClass
{
    Q_OBJECT

public:
    RuntimeSerializableClass(const QString &name, QObject *parent = nullptr,
                             const QString &typeTag = QStringLiteral("Type_Runtime"));

    void serializeForSending(const QStringList &destinationSfis = QStringList()) override;
    // Link lost: every value invalid, numbers back to 0 and texts empty, over the whole tree.
    void resetValues();

protected:
    void singlePropertyTextMade(SerializableClass *object, const QString &text) override;
    bool writesRuntimeForm() const override { return true; }
};

// Depth history points: plain text form, no file, not sent by the settings path.
class HistorySerializableClass : public SerializableClass
{
    Q_OBJECT

public:
    HistorySerializableClass(const QString &name, QObject *parent = nullptr,
                             const QString &typeTag = QStringLiteral("Type_History"));
};
