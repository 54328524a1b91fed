#pragma once

#include "nmeainputbuffer.h"
#include "nmeaoutputbuffer.h"
#include "udpdatagram.h"

#include <QByteArrayList>
#include <QMap>
#include <QObject>
#include <QStringList>

class ListOfSfisOnNetwork;

// Packs sentences into tagged datagrams with group and line numbering, and takes accepted
// datagrams apart again: acknowledgements, sentence groups and settings texts.
class NmeaOverUdpController : public QObject
{
    Q_OBJECT
public:
    static constexpr int NetworkAdministrationKey = 56;

    // administration_key for type 1, internal_key for type 2, ordinary_key for type 0.
    explicit NmeaOverUdpController(ListOfSfisOnNetwork *sfis = nullptr, int administration_key = 56,
                                   int internal_key = 5, int ordinary_key = 10, QObject *parent = nullptr);

    // Builds the datagrams of one call without sending them (packUdp sends).
    QByteArrayList buildDatagrams(const QStringList &messages, MessageType type, const QString &text_tag,
                                  const QStringList &dest_sfi, const QString &source_sfi,
                                  bool to_internal_interface = false);

    // After a change of transmission group both ordinary counters run under the group number.
    void setOrdinaryCounterKey(int key);
    int groupId() const { return m_groupId; }
    int lastLineNumber(int key) const { return m_lines.value(key, -1); }
    int counterKey(MessageType type) const;

    // Every received setup datagram is acknowledged at once; a test peer may stay silent instead.
    void setAcknowledgeSetupDatagrams(bool on) { m_acknowledgeSetup = on; }
    bool acknowledgesSetupDatagrams() const { return m_acknowledgeSetup; }

    NmeaOutputBuffer *outputBuffer() const { return m_output; }
    NmeaInputBuffer *inputBuffer() const { return m_input; }
    ListOfSfisOnNetwork *sfis() const { return m_sfis; }

public slots:
    void packUdp(QStringList messages, MessageType message_is_for_internal_communication, bool to_internal_interface,
                 QString text_tag, QStringList dest_sfi, QString source_sfi);
    void packUdp(QStringList messages, MessageType message_is_for_internal_communication, bool to_internal_interface,
                 QString text_tag, QStringList dest_sfi);
    void packUdp(QStringList messages, MessageType message_is_for_internal_communication, bool to_internal_interface,
                 QString text_tag);

    // A settings text (or any carrier group) for the other unit. Setup and mark texts go out with
    // the setup text tag and are resent until acknowledged; with to_connected_devices and no
    // destinations they go to the connected units, or to the paired unit while none is connected.
    // Settings traffic is never sent without a destination.
    void packSerializedString(QStringList sentences, MessageType kind, bool is_settings_traffic,
                              bool to_connected_devices, QStringList destination_sfis, QString source_sfi = QString());
    // Cuts a settings text into carrier sentences and sends it to the connected unit.
    void sendSettingsText(QString text, QStringList destination_sfis = QStringList());

    void processReceivedDatagram(QByteArray datagram, bool message_is_from_internal_communication,
                                 bool from_internal_interface);
    void acknowledgeAlreadySentDatagram(QString msg_tag, QString s_sfi);

signals:
    void sendDatagrams(QByteArrayList sending_packets, bool to_internal_interface);
    void sendNetworkAdministrationDatagrams(QByteArrayList sending_packets);
    // A complete group of ordinary sentences for the sentence receive path.
    void sentenceGroupReceived(ReceivedSentenceGroup group);
    // A complete settings text from the other unit, for the serialisation controller.
    void settingsTextReceived(QString text, QString source_sfi);
    void datagramAcknowledged(QString msg_tag, QString s_sfi);
    void lostCommunicationWithSfi(QString sfi);
    // A reception fault with its code (70 to 79) and the offending text.
    void udpErrorDetected(int code, QString text);

private slots:
    void sendAck(QString msg_tag, QString s_sfi);
    void deliverGroup(ReceivedSentenceGroup group);

private:
    int nextLine(int line) const { return line >= udpdatagram::MaxLineNumber ? 1 : line + 1; }

    ListOfSfisOnNetwork *m_sfis;
    NmeaOutputBuffer *m_output;
    NmeaInputBuffer *m_input;
    int m_groupId = 0;
    int m_administrationKey;
    int m_internalKey;
    int m_ordinaryKey;
    QMap<int, int> m_lines;
    QList<NmeaOutputBuffer::Record> m_lastRecords;
    bool m_acknowledgeSetup = true;
};
