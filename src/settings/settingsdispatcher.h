#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class ESData;

// Routes settings texts between the settings trees and the network side: every text from the other
// unit goes to the tree its type tag names, and every text a tree produces for the other unit
// leaves through one of the outgoing signals.
class SettingsDispatcher : public QObject
{
    Q_OBJECT

public:
    explicit SettingsDispatcher(ESData &data, QObject *parent = nullptr);

public slots:
    void deserializeData(const QString &data);

signals:
    // Any settings text arrived from the other unit (before it is applied).
    void textReceived();
    void aboutToDeserializeCompleteSetup();
    // A complete shared-settings text was read; accepted is false when it was malformed.
    void completeSetupRead(bool accepted);
    // Outgoing texts for the network side: single-property setup changes (tag "Type_Setup...",
    // acknowledged unless marked "NoAck"), runtime and alert texts, complete setups and marks.
    void setupChangeToSend(const QString &text);
    void runtimeChangeToSend(const QString &text);
    void completeSetupToSend(const QString &text, const QStringList &destinationSfis);
    void sendDataForMark(const QString &data, const QStringList &destiantion_sfis);

private:
    void deserializeSingleProperty(const QString &tag, const QString &data);
    void deserializeCompleteSetup(const QString &data);

    ESData &m_data;
};
