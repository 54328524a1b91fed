#include "nmeahandlers.h"

#include "errorlogger.h"
#include "nmeacatalogue.h"
#include "nmeadataholders.h"
#include "signalemitter.h"

#include <QDate>
#include <QMetaMethod>
#include <QTime>

namespace NmeaReceipts {
void gga(bool valid) { emit NmeaData::instance().ggaReceived(valid); }
void vtg(bool valid) { emit NmeaData::instance().vtgReceived(valid); }
void rot(bool valid) { emit NmeaData::instance().rotReceived(valid); }
void ths(bool valid) { emit NmeaData::instance().thsReceived(valid); }
void vbw(bool valid) { emit NmeaData::instance().vbwReceived(valid); }
void vbwf(bool valid) { emit NmeaData::instance().vbwfReceived(valid); }
void mtwf(bool valid) { emit NmeaData::instance().mtwfReceived(valid); }
}

namespace {

template <class T>
T *typed(NmeaMessage *message, int index)
{
    return qobject_cast<T *>(message->field(index));
}

bool validInt(NmeaMessage *message, int index, int &value)
{
    auto *field = typed<ValidatedIntProperty>(message, index);
    if (!field || !field->isValid())
        return false;
    value = field->value();
    return true;
}

QString validText(NmeaMessage *message, int index)
{
    ValidatedProperty *field = message->field(index);
    return field && field->isValid() ? field->variantValue().toString() : QString();
}

} // namespace

NmeaCopyHandler::NmeaCopyHandler(QObject *holder, const QString &formatter, int flags,
                                 QObject *parent, ReceiptSignal receipt)
    : NmeaHandler(holder, formatter, flags, parent)
    , m_receipt(receipt)
{
    // Received values go to the shared navigation data; what the unit sends comes from the
    // output data.
    if (!(flags & Proprietary))
        setSendHolder(&NmeaOutputData::instance());
}

bool NmeaCopyHandler::handleMessage(NmeaMessage *message)
{
    const bool valid = NmeaHandler::handleMessage(message);
    if (m_receipt)
        m_receipt(valid);
    return valid;
}

NmeaHookHandler::NmeaHookHandler(const QString &formatter, int flags, QObject *parent)
    : NmeaHandler(nullptr, formatter, flags, parent)
{
}

bool NmeaHookHandler::handleMessage(NmeaMessage *message)
{
    noteReceived(message);
    emitSentenceReceived(message);
    emit validMessageReceived();
    return true;
}

#define KVE_COPY_CTOR(Cls, Fmt, Holder, Flags, Receipt)                                            \
    Cls::Cls(QObject *parent)                                                                      \
        : NmeaCopyHandler(&Holder::instance(), QStringLiteral(Fmt), Flags, parent, Receipt)       \
    {                                                                                              \
    }
#define KVE_HOOK_CTOR(Cls, Fmt)                                                                    \
    Cls::Cls(QObject *parent) : NmeaHookHandler(QStringLiteral(Fmt), Proprietary, parent) {}

KVE_COPY_CTOR(HandlerGga, "GGA", NmeaData, NoFlags, &NmeaReceipts::gga)
KVE_COPY_CTOR(HandlerGll, "GLL", NmeaData, NoFlags, nullptr)
KVE_COPY_CTOR(HandlerRmc, "RMC", NmeaData, NoFlags, nullptr)
KVE_COPY_CTOR(HandlerVtg, "VTG", NmeaData, NoFlags, &NmeaReceipts::vtg)
KVE_COPY_CTOR(HandlerHdt, "HDT", NmeaData, NoFlags, nullptr)
KVE_COPY_CTOR(HandlerThs, "THS", NmeaData, NoFlags, &NmeaReceipts::ths)
KVE_COPY_CTOR(HandlerRot, "ROT", NmeaData, NoFlags, &NmeaReceipts::rot)
KVE_COPY_CTOR(HandlerVbw, "VBW", NmeaData, NoFlags, &NmeaReceipts::vbw)
KVE_COPY_CTOR(HandlerIivbw, "IIVBW", NmeaData, NoTalker, &NmeaReceipts::vbw)
KVE_COPY_CTOR(HandlerVhw, "VHW", NmeaData, NoFlags, nullptr)
KVE_COPY_CTOR(HandlerVlw, "VLW", NmeaData, NoFlags, nullptr)
KVE_COPY_CTOR(HandlerMtw, "MTW", NmeaData, NoFlags, nullptr)
KVE_COPY_CTOR(HandlerDtm, "DTM", NmeaData, NoFlags, nullptr)
KVE_COPY_CTOR(HandlerDbt, "DBT", NmeaData, NoFlags, nullptr)
KVE_COPY_CTOR(HandlerDbk, "DBK", NmeaData, NoFlags, nullptr)
KVE_COPY_CTOR(HandlerDbs, "DBS", NmeaData, NoFlags, nullptr)
KVE_COPY_CTOR(HandlerCur, "CUR", NmeaData, NoFlags, nullptr)
KVE_COPY_CTOR(HandlerXdr, "XDR", NmeaData, NoFlags, nullptr)
KVE_COPY_CTOR(HandlerDat, "DAT", NmeaData, NoFlags, nullptr)
KVE_COPY_CTOR(HandlerSrp, "SRP", NmeaData, NoFlags, nullptr)
KVE_COPY_CTOR(HandlerPztqVbwf, "VBWF", NmeaData, Proprietary, &NmeaReceipts::vbwf)
KVE_COPY_CTOR(HandlerPztqVbwx, "VBWX", NmeaData, Proprietary, nullptr)
KVE_COPY_CTOR(HandlerPztqMtwf, "MTWF", NmeaData, Proprietary, &NmeaReceipts::mtwf)
KVE_COPY_CTOR(HandlerPztqErrortable, "ERRORTABLE", NmeaData, Proprietary, nullptr)
KVE_COPY_CTOR(HandlerPztqErrorcode, "ERRORCODE", NmeaData, Proprietary, nullptr)

KVE_HOOK_CTOR(HandlerPztqPair, "PAIR")
KVE_HOOK_CTOR(HandlerPztqSfiChk, "SFICHK")
KVE_HOOK_CTOR(HandlerPztqSfiTkn, "SFITKN")
KVE_HOOK_CTOR(HandlerPztqSfiAck, "SFIACK")
KVE_HOOK_CTOR(HandlerPztqSfiChange, "SFICHANGE")
KVE_HOOK_CTOR(HandlerPztqCfg, "CFG")
KVE_HOOK_CTOR(HandlerPztqCfgr, "CFGR")
KVE_HOOK_CTOR(HandlerPztqScf, "SCF")
KVE_HOOK_CTOR(HandlerPztqGcf, "GCF")
KVE_HOOK_CTOR(HandlerPztqPara, "PARA")
KVE_HOOK_CTOR(HandlerPztqRstt, "RSTT")
KVE_HOOK_CTOR(HandlerPztqRsto, "RSTO")
KVE_HOOK_CTOR(HandlerPztqSyc, "SYC")
KVE_HOOK_CTOR(HandlerPztqDevStart, "DEVSTART")

#define KVE_ALERT_CTOR(Cls, Fmt)                                                                   \
    Cls::Cls(QObject *parent) : NmeaHandler(nullptr, QStringLiteral(Fmt), NoFlags, parent)         \
    {                                                                                              \
        setAlertHandler(true);                                                                     \
    }
KVE_ALERT_CTOR(HandlerAlf, "ALF")
KVE_ALERT_CTOR(HandlerAlr, "ALR")
KVE_ALERT_CTOR(HandlerAcn, "ACN")
KVE_ALERT_CTOR(HandlerArc, "ARC")
KVE_ALERT_CTOR(HandlerAlc, "ALC")
KVE_ALERT_CTOR(HandlerAck, "ACK")
KVE_ALERT_CTOR(HandlerHbt, "HBT")

// ---- depth from a speed log ----

HandlerDpt::HandlerDpt(QObject *parent)
    : NmeaHandler(&NmeaData::instance(), QStringLiteral("DPT"), NoFlags, parent)
{
    setSendHolder(&NmeaOutputData::instance());
}

bool HandlerDpt::handleMessage(NmeaMessage *message)
{
    if (message->talker() != QLatin1String("II"))
        return false;
    noteReceived(message);
    ValidatedProperty *depth = message->field(0);
    if (!depth || !depth->isValid())
        return false;
    NmeaData::instance().DepthBlwTransducerMetersFromLOG()->copyValueAndValidity(*depth);
    emit validMessageReceived();
    return true;
}

// ---- date and time ----

HandlerZda::HandlerZda(QObject *parent)
    : NmeaHandler(&ZdaData::instance(), QStringLiteral("ZDA"), NoFlags, parent)
{
}

bool HandlerZda::handleMessage(NmeaMessage *message)
{
    const bool valid = copyToHolder(message);
    if (!valid)
        return false;
    ZdaData &zda = ZdaData::instance();
    emit zda.signalDateTimeUpdated();
    emit validMessageReceived();
    // The clock takes the time as text; nobody listening, nothing to write.
    if (!isSignalConnected(QMetaMethod::fromSignal(&HandlerZda::utcDateTimeReceived)))
        return true;
    auto *utc = qobject_cast<ValidatedFloatProperty *>(zda.Utc());
    auto *day = qobject_cast<ValidatedIntProperty *>(zda.Day());
    auto *month = qobject_cast<ValidatedIntProperty *>(zda.Month());
    auto *year = qobject_cast<ValidatedIntProperty *>(zda.Year());
    if (utc->isValid() && day->isValid() && month->isValid() && year->isValid()) {
        const double secondsOfDay = utc->value();
        const int hhmmss = int(secondsOfDay);
        const int ms = int((secondsOfDay - hhmmss) * 1000.0 + 0.5);
        const QTime time(hhmmss / 10000, (hhmmss / 100) % 100, hhmmss % 100, qMin(ms, 999));
        const QDate date(year->value(), month->value(), day->value());
        if (time.isValid() && date.isValid())
            emit utcDateTimeReceived(QDateTime(date, time, Qt::UTC).toString(Qt::ISODateWithMs));
    }
    return true;
}

// ---- satellites ----

HandlerGsa::HandlerGsa(QObject *parent)
    : NmeaMultiSentenceHandler(&NmeaData::instance(), QStringLiteral("GSA"), NoFlags, parent)
{
}
HandlerGst::HandlerGst(QObject *parent)
    : NmeaMultiSentenceHandler(&NmeaData::instance(), QStringLiteral("GST"), NoFlags, parent)
{
}
HandlerGsv::HandlerGsv(QObject *parent)
    : NmeaMultiSentenceHandler(&NmeaData::instance(), QStringLiteral("GSV"), NoFlags, parent)
{
}

// ---- dimming ----

HandlerDdc::HandlerDdc(QObject *parent)
    : NmeaHandler(nullptr, QStringLiteral("DDC"), NoFlags, parent)
{
}

bool HandlerDdc::handleMessage(NmeaMessage *message)
{
    noteReceived(message);
    int brightness = -1;
    validInt(message, 1, brightness);
    emit dimmingReceived(validText(message, 0), brightness, validText(message, 2),
                         validText(message, 3));
    emitSentenceReceived(message);
    return true;
}

// ---- proprietary measurements ----

HandlerPztqDpt::HandlerPztqDpt(QObject *parent)
    : NmeaMultiObjectHandler(&PztqDptData::instance(), QStringLiteral("DPT"), Proprietary, parent)
{
    // The box's depth sentences are kept apart; the one the unit sends carries its own depth.
    setSendHolder(&NmeaOutputData::instance());
}

HandlerPztqDat::HandlerPztqDat(QObject *parent)
    : NmeaHandler(&PztqDatData::instance(), QStringLiteral("DAT"), Proprietary, parent)
{
}

bool HandlerPztqDat::handleMessage(NmeaMessage *message)
{
    const bool valid = NmeaHandler::handleMessage(message);
    if (valid)
        emit PztqDatData::instance().updateAvailable();
    return valid;
}

// ---- reboot ----

HandlerPztqReboot::HandlerPztqReboot(QObject *parent)
    : NmeaHandler(nullptr, QStringLiteral("REBOOT"), Proprietary, parent)
{
}

bool HandlerPztqReboot::handleMessage(NmeaMessage *message)
{
    noteReceived(message);
    m_counting = true;
    m_ticks = 0;
    emit rebootRequested(validText(message, 0), validText(message, 1));
    emitSentenceReceived(message);
    return true;
}

void HandlerPztqReboot::tick()
{
    if (!m_counting)
        return;
    ++m_ticks;
    if (m_ticks > restartTickLimit) {
        m_counting = false;
        m_ticks = 0;
        emit restartApplication();
    }
}

// ---- operating mode ----

HandlerPztqSlp::HandlerPztqSlp(QObject *parent)
    : NmeaHandler(nullptr, QStringLiteral("SLP"), Proprietary, parent)
{
}

bool HandlerPztqSlp::handleMessage(NmeaMessage *message)
{
    noteReceived(message);
    const QString target = validText(message, 0);
    int sleep = 0;
    if (!m_targetSfi || target.isEmpty() || target != m_targetSfi() || !validInt(message, 1, sleep))
        return false;
    emit operatingModeRequested(sleep != 0 ? 1 : 0);
    return true;
}

HandlerPztqIcm::HandlerPztqIcm(QObject *parent)
    : NmeaHandler(nullptr, QStringLiteral("ICM"), Proprietary, parent)
{
}

bool HandlerPztqIcm::handleMessage(NmeaMessage *message)
{
    noteReceived(message);
    int version = -1;
    int command = -1;
    if (!validInt(message, 0, version) || !validInt(message, 1, command) || version != 0
        || command != 98)
        return false;
    emit operatingModeRequested(0);
    return true;
}

// ---- trip and total ----

HandlerPztqStl::HandlerPztqStl(QObject *parent)
    : NmeaHandler(nullptr, QStringLiteral("STL"), Proprietary, parent)
{
}

bool HandlerPztqStl::handleMessage(NmeaMessage *message)
{
    noteReceived(message);
    auto *trip = typed<ValidatedFloatProperty>(message, 0);
    auto *total = typed<ValidatedFloatProperty>(message, 1);
    if (trip && trip->isValid())
        emit NmeaData::instance().tripSetSignal(float(trip->value()));
    if (total && total->isValid())
        emit NmeaData::instance().totalSetSignal(float(total->value()));
    return (trip && trip->isValid()) || (total && total->isValid());
}

// ---- MAC address ----

HandlerPztqMaca::HandlerPztqMaca(QObject *parent)
    : NmeaHandler(nullptr, QStringLiteral("MACA"), Proprietary, parent)
{
}

bool HandlerPztqMaca::handleMessage(NmeaMessage *message)
{
    noteReceived(message);
    const QString mac = validText(message, 0);
    if (mac.isEmpty())
        return false;
    emit macAddressReceived(mac);
    return true;
}

// ---- error counters for the peer ----

HandlerPztqVmpcgter::HandlerPztqVmpcgter(QObject *parent)
    : NmeaHandler(nullptr, QStringLiteral("VMPCGTER"), Proprietary, parent)
{
}

QStringList HandlerPztqVmpcgter::errorTableSentences()
{
    const QList<QPair<int, int>> counters = ErrorLogger::instance().networkCounters();
    QStringList sentences;
    for (int start = 0; start < counters.size(); start += 8) {
        QStringList codes;
        QStringList counts;
        for (int i = start; i < qMin(start + 8, counters.size()); ++i) {
            const int code = counters.at(i).first;
            const int count = counters.at(i).second;
            codes.append(code < 0 ? QString() : QString::number(code));
            counts.append(count < 0 ? QString() : QString::number(count));
        }
        const QString body = QStringLiteral("PZTQERRORTABLE,") + (codes + counts).join(QLatin1Char(','));
        sentences.append(QLatin1Char('$') + body + QLatin1Char('*') + NmeaMessage::checksum(body)
                         + QLatin1String("\r\n"));
    }
    return sentences;
}

QString HandlerPztqVmpcgter::errorCodeSentence()
{
    MsgPztqErrorcode sentence;
    const int code = ErrorLogger::instance().lastUdpCode();
    if (code >= 0) {
        qobject_cast<ValidatedIntProperty *>(sentence.ErrorId())->setValue(code);
        qobject_cast<ValidatedIntProperty *>(sentence.ErrorCount())
            ->setValue(ErrorLogger::instance().udpCounter(code));
    }
    return sentence.completeSentence();
}

bool HandlerPztqVmpcgter::handleMessage(NmeaMessage *message)
{
    noteReceived(message);
    int command = -1;
    validInt(message, 0, command);
    QStringList sentences;
    QString type;
    if (command == 1 || command == 9) {
        sentences = errorTableSentences();
        type = QStringLiteral("ERRORTABLE");
    } else {
        sentences = QStringList{errorCodeSentence()};
        type = QStringLiteral("ERRORCODE");
    }
    emit SignalEmitter::instance().signalTypeAndCompleteNmeaMessageListWithCustomDestinationSFI(
        type, sentences, UDP, QString(), message->sourceIdentifier());
    if (command == 9)
        ErrorLogger::instance().clearAll();
    return true;
}

// ---- sentences that change nothing here ----

HandlerPztqTst::HandlerPztqTst(QObject *parent)
    : NmeaHandler(nullptr, QStringLiteral("TST"), Proprietary, parent)
{
}

bool HandlerPztqTst::copyToHolder(NmeaMessage *message)
{
    noteReceived(message);
    return false;
}

HandlerPztqSnf::HandlerPztqSnf(QObject *parent)
    : NmeaHandler(nullptr, QStringLiteral("SNF"), Proprietary, parent)
{
}

bool HandlerPztqSnf::handleMessage(NmeaMessage *message)
{
    Q_UNUSED(message)
    return false;
}
