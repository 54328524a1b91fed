#pragma once

#include <QList>
#include <QObject>
#include <QString>

class ESSetup;
class ESLocalSetup;
class ESRuntime;
class ESBottomBars;
class ES_Alerts;
class ESCommunicationInformation;
class MarkClass;
class SerializableClass;

// The echo-sounder data object: creates and owns every settings tree and the alert mirror, and
// hands them out. Building it applies the defaults and then reads the settings files.
class ESData : public QObject
{
    Q_OBJECT

public:
    // The process-wide object, built on first use in the working directory's settings folder.
    static ESData &instance();

    // An empty directory means the usual "Setup_Files/<product>/" below the working directory.
    explicit ESData(const QString &setupDirectory = QString(), QObject *parent = nullptr);
    ~ESData() override;

    ESSetup *setup() const { return m_setup; }
    ESLocalSetup *localSetup() const { return m_localSetup; }
    ESRuntime *runtime() const { return m_runtime; }
    ESBottomBars *bottomBars() const { return m_bottomBars; }
    ES_Alerts *alerts() const { return m_alerts; }
    ESCommunicationInformation *communicationInformation() const { return m_communicationInformation; }
    MarkClass *mark() const { return m_mark; }
    QString setupDirectory() const { return m_setupDirectory; }
    // Every top object: setup, local setup, runtime, bottom bars, alerts, communication info, mark.
    QList<SerializableClass *> trees() const;

    // Defaults, then files, for both persistent trees.
    void loadFromFiles();

signals:
    // A combined-gain change to be marked on the echogram (text as sent, "_auto" when automatic).
    void gainMarkReady(const QString &markText);

private:
    QString m_setupDirectory;
    ESSetup *m_setup;
    ESLocalSetup *m_localSetup;
    ESRuntime *m_runtime;
    ESBottomBars *m_bottomBars;
    ES_Alerts *m_alerts;
    ESCommunicationInformation *m_communicationInformation;
    MarkClass *m_mark;
};
