#pragma once

#include "fieldschema.h"

#include <QObject>
#include <QString>
#include <QVector>

// Result codes of deserializeParamaters.
namespace ParseResult {
enum Code { Ok = 0, WrongFieldLength = 4, InvalidValue = 6 };
}

// Codes of the sentence check, in the order the check applies them.
namespace SentenceCheck {
enum Code { Ok = 0, BadChecksum = 1, BadFraming = 2, BadAddress = 3, TooLong = 7 };
}

// One sentence type. Its data fields are the Qt properties of the concrete class, each a validated
// field described by a class-info entry of the same name; this class owns the sentence text format.
class NmeaMessage : public QObject
{
    Q_OBJECT
public:
    static constexpr int maxSentenceLength = 82;

    NmeaMessage(const QString &talker, const QString &formatter, QObject *parent = nullptr);

    const QString &talker() const { return m_talker; }
    void setTalker(const QString &talker) { m_talker = talker; }
    const QString &formatter() const { return m_formatter; }
    QString addressField() const { return m_talker + m_formatter; }
    bool isProprietary() const { return m_talker == QLatin1String("PZTQ"); }

    bool flag() const { return m_flag; }
    void setFlag(bool flag) { m_flag = flag; }
    const QString &sourceLine() const { return m_sourceLine; }
    void setSourceLine(const QString &line) { m_sourceLine = line; }
    const QString &sourceIdentifier() const { return m_sourceIdentifier; }
    void setSourceIdentifier(const QString &identifier) { m_sourceIdentifier = identifier; }

    const QString &receivedFieldText() const { return m_receivedFieldText; }
    void setReceivedFieldText(const QString &text) { m_receivedFieldText = text; }
    void clearReceivedFieldText() { m_receivedFieldText.clear(); }

    int fieldCount() const { return m_fields.size(); }
    ValidatedProperty *field(int index) const { return m_fields.value(index); }
    ValidatedProperty *field(const QString &name) const;
    QString fieldName(int index) const;
    const QVector<ValidatedProperty *> &fields() const { return m_fields; }

    // The received field text when one is held, else the field values joined by ",".
    QString fieldText() const;
    // "$" + talker + formatter + "," + field text + "*" + checksum + "\r\n".
    QString completeSentence() const;

    // Returns every field to its state after construction and forgets the received text, so one
    // object can take sentence after sentence as a fresh one would.
    void resetFields();

    // deserializeParamaters on a view of the text, as the receive path hands it over.
    int parseFields(QStringView fieldText);

    void initializeProperties();
    static QValidator *createValidator(const QString &type, const QString &validatorText)
    {
        return FieldSchema::createValidator(type, validatorText);
    }

    // XOR of the Latin-1 bytes, two upper-case hexadecimal digits.
    static QString checksum(QStringView text);
    static uchar checksumValue(QStringView text);
    // Checks one received line. On success the line is left without start character and line
    // end, ending in "*" and the two checksum characters.
    static int checkSentence(QString &line);
    // The same check on a view, without copying: on success `bare` is the sentence without start
    // character and line end. Returns -1 for the rare line that holds a line end inside, which
    // only the copying check can take apart.
    static int checkSentenceView(QStringView line, QStringView &bare);

public slots:
    virtual int deserializeParamaters(const QString &fieldText);
    virtual QString serializeParameters() const;

private:
    QString m_receivedFieldText;
    QString m_talker;
    QString m_formatter;
    bool m_flag = false;
    QString m_sourceLine;
    QString m_sourceIdentifier;
    QVector<ValidatedProperty *> m_fields;
};

// Body of a concrete sentence class: its fields from a table and its constructors.
#define KVE_NMEA_SENTENCE_BODY(Cls, Fmt, DefaultTalker, FIELDS)                                     \
    FIELDS(KVE_NMEA_FIELD)                                                                         \
public:                                                                                            \
    static QString staticFormatter() { return QStringLiteral(Fmt); }                               \
    explicit Cls(const QString &talker = DefaultTalker, QObject *parent = nullptr)               \
        : NmeaMessage(talker, QStringLiteral(Fmt), parent)                                         \
    {                                                                                              \
        initializeProperties();                                                                    \
    }                                                                                              \
                                                                                                   \
protected:                                                                                         \
    Cls(const QString &talker, const QString &formatter, QObject *parent)                          \
        : NmeaMessage(talker, formatter, parent)                                                   \
    {                                                                                              \
        initializeProperties();                                                                    \
    }                                                                                              \
                                                                                                   \
private:
