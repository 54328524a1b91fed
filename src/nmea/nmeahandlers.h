#pragma once

#include "nmeahandler.h"

#include <QDateTime>
#include <functional>

// The receive handlers of every sentence type. Most copy fields into a data holder by the copy
// rule; the others act on the sentence, or hand it to the layers above through signals (this layer
// knows nothing of settings).

// Copy-rule handler into the navigation data, optionally reporting each receipt to one of the
// NmeaData signals.
class NmeaCopyHandler : public NmeaHandler
{
    Q_OBJECT
public:
    using ReceiptSignal = void (*)(bool valid);
    NmeaCopyHandler(QObject *holder, const QString &formatter, int flags, QObject *parent,
                    ReceiptSignal receipt = nullptr);
    bool handleMessage(NmeaMessage *message) override;

private:
    ReceiptSignal m_receipt;
};

// Handler that only passes the received fields on to the layers above (sentenceReceived).
class NmeaHookHandler : public NmeaHandler
{
    Q_OBJECT
public:
    NmeaHookHandler(const QString &formatter, int flags, QObject *parent);
    bool handleMessage(NmeaMessage *message) override;
};



namespace NmeaReceipts {
void gga(bool valid);
void vtg(bool valid);
void rot(bool valid);
void ths(bool valid);
void vbw(bool valid);
void vbwf(bool valid);
void mtwf(bool valid);
}

// ---- navigation and sensor data ----
class HandlerGga : public NmeaCopyHandler { Q_OBJECT public: explicit HandlerGga(QObject *parent = nullptr); };
class HandlerGll : public NmeaCopyHandler { Q_OBJECT public: explicit HandlerGll(QObject *parent = nullptr); };
class HandlerRmc : public NmeaCopyHandler { Q_OBJECT public: explicit HandlerRmc(QObject *parent = nullptr); };
class HandlerVtg : public NmeaCopyHandler { Q_OBJECT public: explicit HandlerVtg(QObject *parent = nullptr); };
class HandlerHdt : public NmeaCopyHandler { Q_OBJECT public: explicit HandlerHdt(QObject *parent = nullptr); };
class HandlerThs : public NmeaCopyHandler { Q_OBJECT public: explicit HandlerThs(QObject *parent = nullptr); };
class HandlerRot : public NmeaCopyHandler { Q_OBJECT public: explicit HandlerRot(QObject *parent = nullptr); };
class HandlerVbw : public NmeaCopyHandler { Q_OBJECT public: explicit HandlerVbw(QObject *parent = nullptr); };
class HandlerIivbw : public NmeaCopyHandler { Q_OBJECT public: explicit HandlerIivbw(QObject *parent = nullptr); };
class HandlerVhw : public NmeaCopyHandler { Q_OBJECT public: explicit HandlerVhw(QObject *parent = nullptr); };
class HandlerVlw : public NmeaCopyHandler { Q_OBJECT public: explicit HandlerVlw(QObject *parent = nullptr); };
class HandlerMtw : public NmeaCopyHandler { Q_OBJECT public: explicit HandlerMtw(QObject *parent = nullptr); };
class HandlerDtm : public NmeaCopyHandler { Q_OBJECT public: explicit HandlerDtm(QObject *parent = nullptr); };
class HandlerDbt : public NmeaCopyHandler { Q_OBJECT public: explicit HandlerDbt(QObject *parent = nullptr); };
class HandlerDbk : public NmeaCopyHandler { Q_OBJECT public: explicit HandlerDbk(QObject *parent = nullptr); };
class HandlerDbs : public NmeaCopyHandler { Q_OBJECT public: explicit HandlerDbs(QObject *parent = nullptr); };
class HandlerCur : public NmeaCopyHandler { Q_OBJECT public: explicit HandlerCur(QObject *parent = nullptr); };
class HandlerXdr : public NmeaCopyHandler { Q_OBJECT public: explicit HandlerXdr(QObject *parent = nullptr); };
class HandlerDat : public NmeaCopyHandler { Q_OBJECT public: explicit HandlerDat(QObject *parent = nullptr); };
class HandlerSrp : public NmeaCopyHandler { Q_OBJECT public: explicit HandlerSrp(QObject *parent = nullptr); };
class HandlerPztqVbwf : public NmeaCopyHandler { Q_OBJECT public: explicit HandlerPztqVbwf(QObject *parent = nullptr); };
class HandlerPztqVbwx : public NmeaCopyHandler { Q_OBJECT public: explicit HandlerPztqVbwx(QObject *parent = nullptr); };
class HandlerPztqMtwf : public NmeaCopyHandler { Q_OBJECT public: explicit HandlerPztqMtwf(QObject *parent = nullptr); };
class HandlerPztqErrortable : public NmeaCopyHandler { Q_OBJECT public: explicit HandlerPztqErrortable(QObject *parent = nullptr); };
class HandlerPztqErrorcode : public NmeaCopyHandler { Q_OBJECT public: explicit HandlerPztqErrorcode(QObject *parent = nullptr); };

// Depth from a speed log: only talker "II" counts, and only its depth.
class HandlerDpt : public NmeaHandler
{
    Q_OBJECT
public:
    explicit HandlerDpt(QObject *parent = nullptr);
    bool handleMessage(NmeaMessage *message) override;
};

// Date and time, valid for 60 s; also reported as an ISO 8601 UTC text for the unit's clock.
class HandlerZda : public NmeaHandler
{
    Q_OBJECT
public:
    explicit HandlerZda(QObject *parent = nullptr);
    bool handleMessage(NmeaMessage *message) override;
signals:
    void utcDateTimeReceived(QString date_time);
};

class HandlerGsa : public NmeaMultiSentenceHandler { Q_OBJECT public: explicit HandlerGsa(QObject *parent = nullptr); };
class HandlerGst : public NmeaMultiSentenceHandler { Q_OBJECT public: explicit HandlerGst(QObject *parent = nullptr); };
class HandlerGsv : public NmeaMultiSentenceHandler { Q_OBJECT public: explicit HandlerGsv(QObject *parent = nullptr); };

// Display dimming control: reported for the hardware services; never copied to serial ports.
class HandlerDdc : public NmeaHandler
{
    Q_OBJECT
public:
    explicit HandlerDdc(QObject *parent = nullptr);
    bool handleMessage(NmeaMessage *message) override;
signals:
    void dimmingReceived(QString preset, int brightness_percentage, QString palette,
                         QString status);
};

// Alert sentences: ACN forwarded to the alert mirror, the others relayed to registered lines.
class HandlerAlf : public NmeaHandler { Q_OBJECT public: explicit HandlerAlf(QObject *parent = nullptr); };
class HandlerAlr : public NmeaHandler { Q_OBJECT public: explicit HandlerAlr(QObject *parent = nullptr); };
class HandlerAcn : public NmeaHandler { Q_OBJECT public: explicit HandlerAcn(QObject *parent = nullptr); };
class HandlerArc : public NmeaHandler { Q_OBJECT public: explicit HandlerArc(QObject *parent = nullptr); };
class HandlerAlc : public NmeaHandler { Q_OBJECT public: explicit HandlerAlc(QObject *parent = nullptr); };
class HandlerAck : public NmeaHandler { Q_OBJECT public: explicit HandlerAck(QObject *parent = nullptr); };
class HandlerHbt : public NmeaHandler { Q_OBJECT public: explicit HandlerHbt(QObject *parent = nullptr); };

// ---- proprietary measurement sentences ----
class HandlerPztqDpt : public NmeaMultiObjectHandler { Q_OBJECT public: explicit HandlerPztqDpt(QObject *parent = nullptr); };

class HandlerPztqDat : public NmeaHandler
{
    Q_OBJECT
public:
    explicit HandlerPztqDat(QObject *parent = nullptr);
    bool handleMessage(NmeaMessage *message) override;
};

// ---- pairing, identities, setup transfer: handed to the network layer ----
class HandlerPztqPair : public NmeaHookHandler { Q_OBJECT public: explicit HandlerPztqPair(QObject *parent = nullptr); };
class HandlerPztqSfiChk : public NmeaHookHandler { Q_OBJECT public: explicit HandlerPztqSfiChk(QObject *parent = nullptr); };
class HandlerPztqSfiTkn : public NmeaHookHandler { Q_OBJECT public: explicit HandlerPztqSfiTkn(QObject *parent = nullptr); };
class HandlerPztqSfiAck : public NmeaHookHandler { Q_OBJECT public: explicit HandlerPztqSfiAck(QObject *parent = nullptr); };
class HandlerPztqSfiChange : public NmeaHookHandler { Q_OBJECT public: explicit HandlerPztqSfiChange(QObject *parent = nullptr); };
class HandlerPztqCfg : public NmeaHookHandler { Q_OBJECT public: explicit HandlerPztqCfg(QObject *parent = nullptr); };
class HandlerPztqCfgr : public NmeaHookHandler { Q_OBJECT public: explicit HandlerPztqCfgr(QObject *parent = nullptr); };
class HandlerPztqScf : public NmeaHookHandler { Q_OBJECT public: explicit HandlerPztqScf(QObject *parent = nullptr); };
class HandlerPztqGcf : public NmeaHookHandler { Q_OBJECT public: explicit HandlerPztqGcf(QObject *parent = nullptr); };
class HandlerPztqPara : public NmeaHookHandler { Q_OBJECT public: explicit HandlerPztqPara(QObject *parent = nullptr); };
class HandlerPztqRstt : public NmeaHookHandler { Q_OBJECT public: explicit HandlerPztqRstt(QObject *parent = nullptr); };
class HandlerPztqRsto : public NmeaHookHandler { Q_OBJECT public: explicit HandlerPztqRsto(QObject *parent = nullptr); };
class HandlerPztqSyc : public NmeaHookHandler { Q_OBJECT public: explicit HandlerPztqSyc(QObject *parent = nullptr); };
class HandlerPztqDevStart : public NmeaHookHandler { Q_OBJECT public: explicit HandlerPztqDevStart(QObject *parent = nullptr); };

// Reboot request: counts validity ticks from the request; when the count passes its limit,
// restartApplication() tells the system object to run its restart command.
class HandlerPztqReboot : public NmeaHandler
{
    Q_OBJECT
public:
    static constexpr int restartTickLimit = 5;
    explicit HandlerPztqReboot(QObject *parent = nullptr);
    bool handleMessage(NmeaMessage *message) override;
    bool isCounting() const { return m_counting; }
    int tickCount() const { return m_ticks; }
signals:
    void rebootRequested(QString source_sfi, QString description);
    void restartApplication();
public slots:
    void tick();

private:
    bool m_counting = false;
    int m_ticks = 0;
};

// Sleep request: acts only when the target is this unit's peer identity as the provider gives it
// (the paired junction box's SFI on the control unit).
class HandlerPztqSlp : public NmeaHandler
{
    Q_OBJECT
public:
    explicit HandlerPztqSlp(QObject *parent = nullptr);
    void setTargetSfiProvider(std::function<QString()> provider) { m_targetSfi = std::move(provider); }
    bool handleMessage(NmeaMessage *message) override;
signals:
    // 1 = standby, 0 = normal; the receiver applies it only when it differs and then sends the
    // single-property text of the operating mode.
    void operatingModeRequested(int mode);

private:
    std::function<QString()> m_targetSfi;
};

// Command 98 of message version 0 returns the system to normal operation.
class HandlerPztqIcm : public NmeaHandler
{
    Q_OBJECT
public:
    explicit HandlerPztqIcm(QObject *parent = nullptr);
    bool handleMessage(NmeaMessage *message) override;
signals:
    void operatingModeRequested(int mode);
};

// Trip and total distance set by the speed log: reported through NmeaData.
class HandlerPztqStl : public NmeaHandler
{
    Q_OBJECT
public:
    explicit HandlerPztqStl(QObject *parent = nullptr);
    bool handleMessage(NmeaMessage *message) override;
};

class HandlerPztqMaca : public NmeaHandler
{
    Q_OBJECT
public:
    explicit HandlerPztqMaca(QObject *parent = nullptr);
    bool handleMessage(NmeaMessage *message) override;
signals:
    void macAddressReceived(QString mac_address);
};

// The peer asks for the communication error counters: 1 the table, 9 the table and then clearing
// every counter, anything else the last text-traffic error code.
class HandlerPztqVmpcgter : public NmeaHandler
{
    Q_OBJECT
public:
    explicit HandlerPztqVmpcgter(QObject *parent = nullptr);
    bool handleMessage(NmeaMessage *message) override;
    static QStringList errorTableSentences();
    static QString errorCodeSentence();
};

class HandlerPztqTst : public NmeaHandler
{
    Q_OBJECT
public:
    explicit HandlerPztqTst(QObject *parent = nullptr);
    bool copyToHolder(NmeaMessage *message) override;
};

class HandlerPztqSnf : public NmeaHandler
{
    Q_OBJECT
public:
    explicit HandlerPztqSnf(QObject *parent = nullptr);
    bool handleMessage(NmeaMessage *message) override;
};
