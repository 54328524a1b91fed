#pragma once

#include "alertmirrorcontroller.h"
#include "esalerts.h"
#include "esdata.h"
#include "serializationcontroller.h"

#include <QStringList>
#include <QTemporaryDir>
#include <memory>

// One alert as the junction box would publish it.
struct JbAlert
{
    QString name;
    int state;
    int priority;
    QString text;
};

// Complete "Type_Alert" text in the runtime form the junction box publishes.
QString jbAlertText(const QList<JbAlert> &alerts, const QString &ack = QString());

// The control unit's side of the alerts, wired as at start-up: data object in a scratch settings
// folder, settings controller (supervision not running) and the alert mirror controller.
class AlertBench
{
public:
    AlertBench();

    ESData &data() { return *m_data; }
    ES_Alerts *mirror() { return m_data->alerts(); }
    SerializationController &settings() { return *m_settings; }
    AlertMirrorController &alerts() { return *m_alerts; }

    void receive(const QString &text) { m_settings->deserializeData(text); }
    // More than ten silent seconds of link supervision.
    void loseLink();
    // A complete setup from the junction box, which brings the link back.
    void restoreLink();
    int localState() { return mirror()->AlertDisplayError()->AlertState(); }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<ESData> m_data;
    std::unique_ptr<SerializationController> m_settings;
    std::unique_ptr<AlertMirrorController> m_alerts;
};
