#pragma once

#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <memory>

// Plain value validators: they check a text typed in by the operator (or read from settings
// metadata) and give the message that tells the operator what is expected.
class Validator
{
public:
    explicit Validator(const QString &message);
    virtual ~Validator();

    virtual bool validate(const QString &text) = 0;
    virtual QString message() const;

    QString secondText() const { return m_secondText; }
    void setSecondText(const QString &text) { m_secondText = text; }

protected:
    QString m_message;
    QString m_secondText;
};

class RegexValidator : public Validator
{
public:
    RegexValidator(const QString &pattern, const QString &message);

    bool validate(const QString &text) override;
    QString pattern() const { return m_pattern; }

private:
    QString m_pattern;
    QRegularExpression m_expression;
};

class IntValidator : public Validator
{
public:
    IntValidator(int bottom, int top, const QString &message);

    bool validate(const QString &text) override;
    QString message() const override;
    int bottom() const { return m_bottom; }
    int top() const { return m_top; }

private:
    int m_bottom;
    int m_top;
};

class UintValidator : public Validator
{
public:
    UintValidator(uint bottom, uint top, const QString &message);

    bool validate(const QString &text) override;
    QString message() const override;
    uint bottom() const { return m_bottom; }
    uint top() const { return m_top; }

private:
    uint m_bottom;
    uint m_top;
};

class FloatValidator : public Validator
{
public:
    // The exception value is a single value accepted outside bottom..top (for instance 0 = "off");
    // noException means there is none.
    static constexpr double noException = -101.0;

    FloatValidator(double bottom, double top, const QString &message,
                   double exceptionValue = noException);

    bool validate(const QString &text) override;
    QString message() const override;
    double bottom() const { return m_bottom; }
    double top() const { return m_top; }
    double exceptionValue() const { return m_exception; }

private:
    double m_bottom;
    double m_top;
    double m_exception;
};

class SfiValidator : public Validator
{
public:
    SfiValidator(const QStringList &forbidden, const QString &pattern,
                 const QString &listedMessage, const QString &message);

    bool validate(const QString &text) override;
    // Tells why the last text was refused: the pattern message or the listed-identifier message.
    QString message() const override;

    void setForbidden(const QStringList &forbidden) { m_forbidden = forbidden; }
    QStringList forbidden() const { return m_forbidden; }

private:
    QStringList m_forbidden;
    QRegularExpression m_expression;
    QString m_listedMessage;
    bool m_lastWasListed = false;
};

class IpValidator : public Validator
{
public:
    explicit IpValidator(const QString &message);

    bool validate(const QString &text) override;
    // Whether the last accepted address lies in a private range the system approves of.
    bool isApproved() const { return m_approved; }
    static QString unapprovedText();

private:
    bool m_approved = false;
};

// Builds the validator described by a settings metadata value: kind and arguments separated by ";",
// e.g. "float;1.0;100.0;;0.0", "int;0;100", "uint;0;4294967295", "regex;[DKNO]", "ip;msg", "sfi;pattern".
// Returns null for an unknown kind or malformed arguments.
std::unique_ptr<Validator> createValidator(const QString &description);
