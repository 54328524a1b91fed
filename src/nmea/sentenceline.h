#pragma once

#include <QString>
#include <QStringView>

// One received line taken apart the way the receive path takes it: noise before a later "$" and
// bytes between the checksum and the line end are dropped, the sentence check runs, and the
// address field is split into talker and formatter ("PZTQ" and the rest for proprietary
// sentences, 2 and 3 characters for standard ones). The sentence checker tool uses the same
// class, so both accept and reject the same lines.
class SentenceLine
{
public:
    // Takes one raw line; returns the code of the sentence check (0 when the line passed).
    // The views below stay valid until the next call and as long as raw is unchanged.
    int take(const QString &raw);

    int check() const { return m_check; }
    QStringView address() const { return m_address; }
    // Empty when the address is neither "PZTQ..." nor five characters.
    QStringView talker() const { return m_talker; }
    QStringView formatter() const { return m_formatter; }
    // The text after the first ",", or an empty text when the sentence has no fields.
    QStringView fieldText() const { return m_fieldText; }
    bool hasFields() const { return m_hasFields; }

private:
    // Address, talker, formatter and field text of a sentence that passed the check.
    int split(QStringView bare);

    QString m_work;
    int m_check = -1;
    QStringView m_address;
    QStringView m_talker;
    QStringView m_formatter;
    QStringView m_fieldText;
    bool m_hasFields = false;
};
