#pragma once

#include "alertmirrorcontroller.h"
#include "esalerts.h"
#include "esdata.h"
#include "serializationcontroller.h"
#include "settingslinksupervisor.h"

#include <QTemporaryDir>

struct JbAlert
{
    QString name;
    int state;
    int priority;
    QString text;
};

// Complete "Type_Alert" text in the runtime form the junction box publishes.
QString jbAlertText(const QList<JbAlert> &alerts, const QString &ack = QString());

// The control unit's side of the alerts, wired as at start-up, with settings in a scratch folder
// and the link supervision stepped by hand.
struct AlertBench
{
    QTemporaryDir dir;
    ESData data{dir.path() + QStringLiteral("/setup/")};
    SerializationController settings{data};
    AlertMirrorController alerts{data.alerts()};

    AlertBench();
    ES_Alerts *mirror() { return data.alerts(); }
    int localState() { return mirror()->AlertDisplayError()->AlertState(); }
    void receive(const QString &text) { settings.deserializeData(text); }
    void loseLink();    // more than ten silent seconds
    void restoreLink(); // a complete setup from the junction box
};
