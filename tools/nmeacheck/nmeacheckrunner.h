#pragma once

#include "sentenceline.h"

#include <QByteArray>
#include <QHash>
#include <QMap>
#include <QString>

#include <cstdio>
#include <memory>

class NmeaMessage;

// Checks lines one by one and writes one JSON object per line. Sentence objects are made once
// per formatter and reused.
class NmeaCheckRunner
{
public:
    explicit NmeaCheckRunner(std::FILE *out, bool acceptLineFeed);
    ~NmeaCheckRunner();

    // Feeds a whole input; lines end after each "\n" (a last line without one is checked too).
    void feed(const QByteArray &input);
    void checkLine(QString line);
    void flush();

    qint64 lines() const { return m_lines; }
    qint64 accepted() const { return m_accepted; }
    qint64 rejected() const { return m_lines - m_accepted; }
    QString summary() const;

private:
    NmeaMessage *messageFor(const QString &talker, const QString &formatter);
    void appendJsonString(const QString &text);

    std::FILE *m_out;
    bool m_acceptLineFeed;
    QByteArray m_buffer;
    SentenceLine m_line;
    QHash<QString, NmeaMessage *> m_messages;
    qint64 m_lines = 0;
    qint64 m_accepted = 0;
    QMap<int, qint64> m_checkCodes;
    QMap<int, qint64> m_resultCodes;
    qint64 m_unknown = 0;
};
