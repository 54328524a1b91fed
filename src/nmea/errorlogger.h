#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QVector>

// Communication error codes of every input, as the diagnostics screens and the error log show them.
enum NmeaErrorType : int {
    NmeaChecksumError = 1,
    NmeaFramingError = 2,
    NmeaAddressError = 3,
    NmeaFieldLengthError = 4,
    NmeaUnknownSentence = 5,
    NmeaInvalidFieldValue = 6,
    NmeaSentenceTooLong = 7,
    NmeaNoHandler = 8
};

enum NmeaOverUdpErrorType : int {
    UdpReservedError70 = 70,
    UdpTagChecksumError = 71,
    UdpTagFieldError = 72,
    UdpTagBlockError = 73,
    UdpNmeaTooLongError = 74,
    UdpDatagramTooLongError = 75,
    UdpNoSentenceError = 76,
    UdpReservedError77 = 77,
    UdpTotalErrors = 78,
    UdpHeaderError = 79
};

enum BinaryOverUdpErrorType : int {
    BinaryLengthMismatchError = 80,
    BinaryMissingDatagramError = 81,
    BinaryHeaderError = 82,
    BinaryDatagramTooLongError = 83,
    BinaryTotalErrors = 84
};

QString nmeaErrorText(int code);
QString udpErrorText(int code);

// Counters of the codes 1 to 8 of one NMEA input.
class NmeaErrorLogger : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    void count(int code);
    int counter(int code) const;
    void clear();

private:
    int m_counters[8] = {};
};

// IEC 61162-450 text traffic: codes 70 to 77 and 79 counted, 78 the total.
class NmeaOverUdpErrorLogger : public QObject
{
    Q_OBJECT
public:
    explicit NmeaOverUdpErrorLogger(QObject *parent = nullptr);
    void count(int code);
    int counter(int code) const;
    int lastCode() const { return m_lastCode; }
    const QList<int> &codes() const { return m_codes; }
    void clear();

private:
    int m_counters[10] = {};
    int m_lastCode = -1;
    QList<int> m_codes;
};

// Binary image traffic: codes 80 to 83 counted, 84 the total.
class BinaryOverUdpErrorLogger : public QObject
{
    Q_OBJECT
public:
    explicit BinaryOverUdpErrorLogger(QObject *parent = nullptr);
    void count(int code);
    int counter(int code) const;
    int lastCode() const { return m_lastCode; }
    const QList<int> &codes() const { return m_codes; }
    const QList<int> &recentEntries() const { return m_recent; }
    void clear();

private:
    int m_counters[4] = {};
    int m_lastCode = -1;
    QList<int> m_recent;
    QList<int> m_codes;
};

class UdpErrorLogger : public QObject
{
    Q_OBJECT
public:
    explicit UdpErrorLogger(QObject *parent = nullptr);
    NmeaOverUdpErrorLogger *text() const { return m_text; }
    BinaryOverUdpErrorLogger *binary() const { return m_binary; }

private:
    NmeaOverUdpErrorLogger *m_text;
    BinaryOverUdpErrorLogger *m_binary;
};

// The unit's communication error counters, from program start; created on first use.
class ErrorLogger : public QObject
{
    Q_OBJECT
public:
    static constexpr int nmeaInputCount = 4;
    static constexpr int udpInput = 3;

    static ErrorLogger &instance();

    // Counts an NMEA input error; on the UDP input (3) also 74 (for code 7) or 76 (other codes).
    void countNmeaError(int code, int input);
    int nmeaCounter(int code, int input) const;
    void countUdpError(int code);
    void countBinaryError(int code);
    int udpCounter(int code) const;
    int binaryCounter(int code) const;
    int lastUdpCode() const { return m_udp->text()->lastCode(); }

    // (code, count) of every UDP then binary code, in display order, totals included.
    QList<QPair<int, int>> networkCounters() const;
    void clearAll();

    NmeaErrorLogger *nmeaLogger(int input) const { return m_nmea.value(input); }
    UdpErrorLogger *udpLogger() const { return m_udp; }

private:
    ErrorLogger();
    QVector<NmeaErrorLogger *> m_nmea;
    UdpErrorLogger *m_udp;
};
