#include "errorlogger.h"

#include <QDebug>

QString nmeaErrorText(int code)
{
    switch (code) {
    case NmeaChecksumError: return QStringLiteral("Checksum missing or wrong");
    case NmeaFramingError: return QStringLiteral("Start character or line end missing");
    case NmeaAddressError: return QStringLiteral("Address field wrong");
    case NmeaFieldLengthError: return QStringLiteral("Field of wrong length");
    case NmeaUnknownSentence: return QStringLiteral("Unknown sentence");
    case NmeaInvalidFieldValue: return QStringLiteral("Field with invalid value");
    case NmeaSentenceTooLong: return QStringLiteral("Sentence too long");
    case NmeaNoHandler: return QStringLiteral("Sentence not handled");
    }
    return QString();
}

QString udpErrorText(int code)
{
    switch (code) {
    case UdpTagChecksumError: return QStringLiteral("tag-block checksum missing or wrong");
    case UdpTagFieldError: return QStringLiteral("source, line or destination field of a tag block wrong");
    case UdpTagBlockError: return QStringLiteral("tag block missing, not terminated or 81 characters or longer");
    case UdpNmeaTooLongError: return QStringLiteral("NMEA input error of code 7 on the UDP input");
    case UdpDatagramTooLongError: return QStringLiteral("datagram longer than 1460 bytes");
    case UdpNoSentenceError: return QStringLiteral("datagram without a sentence, or NMEA input error on the UDP input");
    case UdpTotalErrors: return QStringLiteral("total of all codes");
    case UdpHeaderError: return QStringLiteral("header token \"UdPbC\" or its NUL missing");
    case UdpReservedError70:
    case UdpReservedError77: return QStringLiteral("not counted by the transport");
    case BinaryLengthMismatchError: return QStringLiteral("reassembled image length differs from the descriptor's file length");
    case BinaryMissingDatagramError: return QStringLiteral("Missing datagram error!");
    case BinaryHeaderError: return QStringLiteral("binary header invalid");
    case BinaryDatagramTooLongError: return QStringLiteral("binary datagram longer than 1460 bytes");
    case BinaryTotalErrors: return QStringLiteral("total");
    }
    return QString();
}

// ---- one NMEA input ----

void NmeaErrorLogger::count(int code)
{
    if (code >= 1 && code <= 8)
        ++m_counters[code - 1];
}

int NmeaErrorLogger::counter(int code) const
{
    return code >= 1 && code <= 8 ? m_counters[code - 1] : -1;
}

void NmeaErrorLogger::clear()
{
    std::fill(std::begin(m_counters), std::end(m_counters), 0);
}

// ---- text traffic ----

NmeaOverUdpErrorLogger::NmeaOverUdpErrorLogger(QObject *parent)
    : QObject(parent)
    , m_codes({70, 71, 72, 73, 74, 75, 76, 77, 78, 79})
{
}

void NmeaOverUdpErrorLogger::count(int code)
{
    if (code < 70 || code > 79 || code == UdpTotalErrors)
        return;
    m_lastCode = code;
    ++m_counters[code - 70];
}

int NmeaOverUdpErrorLogger::counter(int code) const
{
    if (code == UdpTotalErrors) {
        int total = 0;
        for (int i = 0; i < 10; ++i)
            total += m_counters[i];
        return total;
    }
    return code >= 70 && code <= 79 ? m_counters[code - 70] : -1;
}

void NmeaOverUdpErrorLogger::clear()
{
    std::fill(std::begin(m_counters), std::end(m_counters), 0);
}

// ---- binary traffic ----

BinaryOverUdpErrorLogger::BinaryOverUdpErrorLogger(QObject *parent)
    : QObject(parent)
    , m_codes({80, 81, 82, 83, 84})
{
    for (int i = 0; i < 10; ++i)
        m_recent.append(-1);
}

void BinaryOverUdpErrorLogger::count(int code)
{
    if (code < 80 || code > 83)
        return;
    m_lastCode = code;
    qDebug() << "Binary over udp error type: " << code;
    ++m_counters[code - 80];
    m_recent.removeFirst();
    m_recent.append(code);
}

int BinaryOverUdpErrorLogger::counter(int code) const
{
    if (code == BinaryTotalErrors)
        return m_counters[0] + m_counters[1] + m_counters[2] + m_counters[3];
    return code >= 80 && code <= 83 ? m_counters[code - 80] : -1;
}

void BinaryOverUdpErrorLogger::clear()
{
    std::fill(std::begin(m_counters), std::end(m_counters), 0);
    for (int &entry : m_recent)
        entry = -1;
}

UdpErrorLogger::UdpErrorLogger(QObject *parent)
    : QObject(parent)
    , m_text(new NmeaOverUdpErrorLogger(this))
    , m_binary(new BinaryOverUdpErrorLogger(this))
{
}

// ---- all inputs ----

ErrorLogger &ErrorLogger::instance()
{
    static ErrorLogger *logger = new ErrorLogger;
    return *logger;
}

ErrorLogger::ErrorLogger()
    : m_udp(new UdpErrorLogger(this))
{
    for (int i = 0; i < nmeaInputCount; ++i)
        m_nmea.append(new NmeaErrorLogger(this));
}

void ErrorLogger::countNmeaError(int code, int input)
{
    NmeaErrorLogger *logger = m_nmea.value(input);
    if (!logger || code < 1 || code > 8)
        return;
    logger->count(code);
    if (input == udpInput)
        m_udp->text()->count(code == NmeaSentenceTooLong ? UdpNmeaTooLongError : UdpNoSentenceError);
}

int ErrorLogger::nmeaCounter(int code, int input) const
{
    const NmeaErrorLogger *logger = m_nmea.value(input);
    return logger ? logger->counter(code) : -1;
}

void ErrorLogger::countUdpError(int code)
{
    m_udp->text()->count(code);
}

void ErrorLogger::countBinaryError(int code)
{
    m_udp->binary()->count(code);
}

int ErrorLogger::udpCounter(int code) const
{
    return m_udp->text()->counter(code);
}

int ErrorLogger::binaryCounter(int code) const
{
    return m_udp->binary()->counter(code);
}

QList<QPair<int, int>> ErrorLogger::networkCounters() const
{
    QList<QPair<int, int>> list;
    for (int code : m_udp->text()->codes())
        list.append(qMakePair(code, udpCounter(code)));
    for (int code : m_udp->binary()->codes())
        list.append(qMakePair(code, binaryCounter(code)));
    return list;
}

void ErrorLogger::clearAll()
{
    for (NmeaErrorLogger *logger : qAsConst(m_nmea))
        logger->clear();
    m_udp->text()->clear();
    m_udp->binary()->clear();
}
