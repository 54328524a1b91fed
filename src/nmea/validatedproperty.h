#pragma once

#include <QObject>
#include <QRegularExpression>
#include <QString>
#include <QVariant>

class QValidator;
class QTimer;

// One typed field of a sentence or data holder: value, validity that ages out, and the rules that
// turn the value into the text of a sentence field and back.
//
// Result codes of the text setter.
namespace FieldResult {
enum Code { Accepted = 0, EmptyNull = 1, Invalid = 2, WrongLength = 3 };
}

class ValidatedProperty : public QObject
{
    Q_OBJECT
public:
    static constexpr int defaultValidityLimit = 10;
    static constexpr int dateTimeValidityLimit = 60;

    enum Kind { IntField, FloatField, StringField };

    ValidatedProperty(Kind kind, QObject *parent, QValidator *validator, uint fixedLength,
                      uint maxFieldLength, bool canBeNullField, int validityLimit);
    ~ValidatedProperty() override;

    // Copies validator bounds or expression, lengths, flags and decimals from a field of the same
    // class; the validity count restarts.
    virtual void copyConfiguration(const ValidatedProperty &other) = 0;
    // Takes over value and validity; the value only when the other field is valid.
    virtual void copyValueAndValidity(const ValidatedProperty &other) = 0;
    virtual QVariant variantValue() const = 0;
    int setVariantValue(const QVariant &value) { return setFieldText(value.toString()); }
    virtual QString fieldText() const = 0;
    virtual int setFieldText(QStringView text) = 0;

    // Returns the field to the state it had right after construction from metadata: its default
    // value when one was given (then valid), otherwise zero and invalid. Emits nothing.
    virtual void resetToInitial() = 0;

    Kind kind() const { return m_kind; }
    bool isValid() const { return m_valid; }
    void setValid(bool valid);
    bool secondFlag() const { return m_secondFlag; }
    void setSecondFlag(bool flag) { m_secondFlag = flag; }

    // The validator is owned by the field; change it only through copyConfiguration.
    QValidator *validator() const { return m_validator; }
    uint fixedLength() const { return m_fixedLength; }
    void setFixedLength(uint length) { m_fixedLength = length; }
    uint maxFieldLength() const { return m_maxFieldLength; }
    void setMaxFieldLength(uint length) { m_maxFieldLength = length; }
    bool canBeNullField() const { return m_canBeNullField; }
    void setCanBeNullField(bool canBeNull) { m_canBeNullField = canBeNull; }
    QString defaultValue() const { return m_defaultValue; }
    // Stores the default text; with hasInitialValue the field starts from it after a reset.
    virtual void setDefaultValue(const QString &text, bool hasInitialValue = true);
    bool hasInitialValue() const { return m_hasInitialValue; }
    int validityCounter() const { return m_validityCounter; }
    int validityLimit() const { return m_validityLimit; }
    void setValidityLimit(int limit) { m_validityLimit = limit; }

    // The one process-wide validity tick (1000 ms), created with the first field once an
    // application object exists. Null before that.
    static QTimer *validityTimer();
    // Advances the validity count of every live field by one tick, as the timer does.
    static void tickAll();
    static int liveCount();

    // The value of a plain decimal number as fields carry it ("-12.50", "038", ".5"), exactly as
    // the full conversion gives it but without its cost; false for any other text (exponents,
    // blanks, more digits than a double holds exactly), which the full conversion then takes.
    static bool plainDecimalValue(QStringView text, double &value);

signals:
    void valueChanged();

public slots:
    void increaseValidityCounter();

protected:
    // Text checks shared by the concrete classes: empty text, then the validator.
    int checkEmpty(QStringView text) const;
    bool validatorAccepts(QStringView text) const;
    // Fields change with every received sentence; the change is announced only while someone
    // listens, which spares the sentence objects of the receive path the emission.
    void connectNotify(const QMetaMethod &signal) override;
    void disconnectNotify(const QMetaMethod &signal) override;
    void announceChange();
    void copyBaseConfiguration(const ValidatedProperty &other);
    void markAssigned();
    void setValidQuiet(bool valid) { m_valid = valid; m_validityCounter = 0; }

    QValidator *m_validator = nullptr;
    bool m_valid = false;
    bool m_secondFlag = true;
    uint m_fixedLength = 0;
    uint m_maxFieldLength = 0;
    bool m_canBeNullField = true;
    QString m_defaultValue = QStringLiteral("0");
    int m_validityCounter = 0;
    int m_validityLimit = defaultValidityLimit;
    bool m_hasInitialValue = false;

private:
    // The validator's acceptance rule in a form that needs no allocation for the common cases
    // (integer and real ranges, one character of a set); other expressions are matched whole.
    struct Rule
    {
        enum Type { Unknown, IntRange, RealRange, CharSet, Expression };
        Type type = Unknown;
        double bottom = 0;
        double top = 0;
        QString chars;
        QRegularExpression expression;
    };
    void buildRule() const;

    static void ensureTimer();
    Kind m_kind;
    int m_registryIndex = -1;
    QAtomicInt m_listeners;
    mutable Rule m_rule;
};

class ValidatedIntProperty : public ValidatedProperty
{
    Q_OBJECT
public:
    ValidatedIntProperty(QObject *parent = nullptr, QValidator *validator = nullptr,
                         uint fixedLength = 0, uint maxFieldLength = 0, bool canBeNullField = true,
                         int validityLimit = defaultValidityLimit);

    void copyConfiguration(const ValidatedProperty &other) override;
    void copyValueAndValidity(const ValidatedProperty &other) override;
    QVariant variantValue() const override { return m_value; }
    QString fieldText() const override;
    int setFieldText(QStringView text) override;
    void resetToInitial() override;

    qint32 value() const { return m_value; }
    void setValue(qint32 value);
    void setDefaultValue(const QString &text, bool hasInitialValue = true) override;

private:
    qint32 m_value = 0;
    qint32 m_initial = 0;
};

class ValidatedFloatProperty : public ValidatedProperty
{
    Q_OBJECT
public:
    ValidatedFloatProperty(QObject *parent = nullptr, QValidator *validator = nullptr,
                           uint fixedLength = 0, uint maxFieldLength = 0, bool canBeNullField = true,
                           int validityLimit = defaultValidityLimit, uint fixedDigitsBeforePoint = 0,
                           uint leastDecimalsReceived = 0, uint sendDecimals = 1);

    void copyConfiguration(const ValidatedProperty &other) override;
    void copyValueAndValidity(const ValidatedProperty &other) override;
    QVariant variantValue() const override { return m_value; }
    QString fieldText() const override;
    int setFieldText(QStringView text) override;
    void resetToInitial() override;

    double value() const { return m_value; }
    void setValue(double value);
    void setDefaultValue(const QString &text, bool hasInitialValue = true) override;

    uint fixedDigitsBeforePoint() const { return m_fixedDigitsBeforePoint; }
    uint leastDecimalsReceived() const { return m_leastDecimalsReceived; }
    uint sendDecimals() const { return m_sendDecimals; }
    void setDecimals(uint fixedDigitsBeforePoint, uint leastDecimalsReceived, uint sendDecimals);

private:
    double m_value = 0.0;
    double m_initial = 0.0;
    uint m_fixedDigitsBeforePoint = 0;
    uint m_leastDecimalsReceived = 0;
    uint m_sendDecimals = 1;
};

class ValidatedStringProperty : public ValidatedProperty
{
    Q_OBJECT
public:
    ValidatedStringProperty(QObject *parent = nullptr, QValidator *validator = nullptr,
                            uint fixedLength = 0, uint maxFieldLength = 0,
                            bool canBeNullField = true, int validityLimit = defaultValidityLimit);

    void copyConfiguration(const ValidatedProperty &other) override;
    void copyValueAndValidity(const ValidatedProperty &other) override;
    QVariant variantValue() const override { return m_value; }
    QString fieldText() const override;
    int setFieldText(QStringView text) override;
    void resetToInitial() override;

    QString value() const { return m_value; }
    void setValue(const QString &value);

private:
    QString m_value;
};
