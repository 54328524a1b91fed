#include "validatedproperty.h"

#include <QCoreApplication>
#include <QDoubleValidator>
#include <QIntValidator>
#include <QMetaMethod>
#include <QRegularExpressionValidator>
#include <QThread>
#include <QTimer>

#include <cmath>
#include <limits>
#include <vector>

namespace {

// Every live field, so that the one validity tick can age them all. Fields are used from the
// main thread only; while a tick runs, removals leave a hole that is closed afterwards.
struct FieldRegistry
{
    std::vector<ValidatedProperty *> fields;
    bool ticking = false;
    bool holes = false;
    QTimer *timer = nullptr;
};

FieldRegistry &registry()
{
    static FieldRegistry r;
    return r;
}

QString padded(const QString &digits, uint width)
{
    if (uint(digits.size()) >= width)
        return digits;
    return QString(int(width) - digits.size(), QLatin1Char('0')) + digits;
}

} // namespace

ValidatedProperty::ValidatedProperty(Kind kind, QObject *parent, QValidator *validator,
                                     uint fixedLength, uint maxFieldLength, bool canBeNullField,
                                     int validityLimit)
    : QObject(parent)
    , m_validator(validator)
    , m_fixedLength(fixedLength)
    , m_maxFieldLength(maxFieldLength)
    , m_canBeNullField(canBeNullField)
    , m_validityLimit(validityLimit)
    , m_kind(kind)
{
    if (m_validator)
        m_validator->setParent(this);
    FieldRegistry &r = registry();
    m_registryIndex = int(r.fields.size());
    r.fields.push_back(this);
    ensureTimer();
}

ValidatedProperty::~ValidatedProperty()
{
    FieldRegistry &r = registry();
    if (m_registryIndex < 0 || m_registryIndex >= int(r.fields.size()))
        return;
    if (r.ticking) {
        r.fields[size_t(m_registryIndex)] = nullptr;
        r.holes = true;
        return;
    }
    ValidatedProperty *last = r.fields.back();
    r.fields[size_t(m_registryIndex)] = last;
    last->m_registryIndex = m_registryIndex;
    r.fields.pop_back();
}

void ValidatedProperty::ensureTimer()
{
    FieldRegistry &r = registry();
    if (r.timer)
        return;
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread())
        return;
    r.timer = new QTimer(app);
    r.timer->setInterval(1000);
    QObject::connect(r.timer, &QTimer::timeout, &ValidatedProperty::tickAll);
    r.timer->start();
}

QTimer *ValidatedProperty::validityTimer()
{
    return registry().timer;
}

int ValidatedProperty::liveCount()
{
    return int(registry().fields.size());
}

void ValidatedProperty::tickAll()
{
    FieldRegistry &r = registry();
    if (r.ticking)
        return;
    r.ticking = true;
    const size_t count = r.fields.size();
    for (size_t i = 0; i < count; ++i) {
        if (ValidatedProperty *field = r.fields[i])
            field->increaseValidityCounter();
    }
    r.ticking = false;
    if (r.holes) {
        size_t out = 0;
        for (size_t i = 0; i < r.fields.size(); ++i) {
            if (ValidatedProperty *field = r.fields[i]) {
                field->m_registryIndex = int(out);
                r.fields[out++] = field;
            }
        }
        r.fields.resize(out);
        r.holes = false;
    }
}

void ValidatedProperty::increaseValidityCounter()
{
    if (m_validityLimit < 0)
        return;
    ++m_validityCounter;
    if (m_validityCounter > m_validityLimit && m_valid) {
        m_valid = false;
        m_validityCounter = 0;
        announceChange();
    }
}

void ValidatedProperty::setValid(bool valid)
{
    m_valid = valid;
    m_validityCounter = 0;
    announceChange();
}

void ValidatedProperty::announceChange()
{
    if (m_listeners.loadRelaxed() > 0)
        emit valueChanged();
}

void ValidatedProperty::connectNotify(const QMetaMethod &signal)
{
    if (signal == QMetaMethod::fromSignal(&ValidatedProperty::valueChanged))
        m_listeners.ref();
}

void ValidatedProperty::disconnectNotify(const QMetaMethod &signal)
{
    // An invalid method stands for "every signal"; counting on is the safe side then.
    if (signal == QMetaMethod::fromSignal(&ValidatedProperty::valueChanged))
        m_listeners.deref();
}

void ValidatedProperty::setDefaultValue(const QString &text, bool hasInitialValue)
{
    m_defaultValue = text;
    m_hasInitialValue = hasInitialValue;
}

void ValidatedProperty::markAssigned()
{
    setValid(true);
}

int ValidatedProperty::checkEmpty(QStringView text) const
{
    if (!text.isEmpty())
        return -1;
    return m_canBeNullField ? FieldResult::EmptyNull : FieldResult::Invalid;
}

namespace {

// Sign, then digits with at most one point (none for integers); at least one digit.
bool plainNumber(QStringView text, bool allowPoint, bool &negative)
{
    int i = 0;
    const int n = text.size();
    negative = false;
    if (i < n && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    bool digit = false;
    bool point = false;
    for (; i < n; ++i) {
        const ushort c = text.at(i).unicode();
        if (c >= '0' && c <= '9')
            digit = true;
        else if (c == '.' && allowPoint && !point)
            point = true;
        else
            return false;
    }
    return digit;
}

// Sign and up to 18 digits, nothing else.
bool plainIntegerValue(QStringView text, qlonglong &value)
{
    int i = 0;
    const int n = text.size();
    const bool negative = n > 0 && text.at(0) == QLatin1Char('-');
    if (n > 0 && (negative || text.at(0) == QLatin1Char('+')))
        ++i;
    if (i == n || n - i > 18)
        return false;
    qlonglong result = 0;
    for (; i < n; ++i) {
        const ushort c = text.at(i).unicode();
        if (c < '0' || c > '9')
            return false;
        result = result * 10 + (c - '0');
    }
    value = negative ? -result : result;
    return true;
}

} // namespace

bool ValidatedProperty::plainDecimalValue(QStringView text, double &value)
{
    // Digits and the place of the point give an integer mantissa and a power of ten. While both
    // are exact doubles (mantissa below 2^53, power at most 22) the one division is correctly
    // rounded, which is what the full conversion delivers too.
    static const double powers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                    1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                    1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    constexpr quint64 exactLimit = quint64(1) << 53;
    int i = 0;
    const int n = text.size();
    const bool negative = n > 0 && text.at(0) == QLatin1Char('-');
    if (n > 0 && (negative || text.at(0) == QLatin1Char('+')))
        ++i;
    quint64 mantissa = 0;
    int decimals = 0;
    bool digit = false;
    bool point = false;
    for (; i < n; ++i) {
        const ushort c = text.at(i).unicode();
        if (c >= '0' && c <= '9') {
            mantissa = mantissa * 10 + (c - '0');
            if (mantissa >= exactLimit)
                return false;
            digit = true;
            decimals += point ? 1 : 0;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    if (!digit || decimals > 22)
        return false;
    const double magnitude = double(mantissa) / powers[decimals];
    value = negative ? -magnitude : magnitude;
    return true;
}

void ValidatedProperty::buildRule() const
{
    m_rule = Rule();
    if (auto *ints = qobject_cast<QIntValidator *>(m_validator)) {
        m_rule.type = Rule::IntRange;
        m_rule.bottom = ints->bottom();
        m_rule.top = ints->top();
    } else if (auto *reals = qobject_cast<QDoubleValidator *>(m_validator)) {
        m_rule.type = Rule::RealRange;
        m_rule.bottom = reals->bottom();
        m_rule.top = reals->top();
        if (reals->notation() != QDoubleValidator::StandardNotation)
            m_rule.type = Rule::Unknown;
    } else if (auto *regex = qobject_cast<QRegularExpressionValidator *>(m_validator)) {
        static const QRegularExpression oneOfSet(QStringLiteral("^\\[([A-Za-z0-9]+)\\]\\{1,1\\}$"));
        static const QRegularExpression oneChar(QStringLiteral("^([A-Za-z0-9])\\{1,1\\}$"));
        const QString pattern = regex->regularExpression().pattern();
        QRegularExpressionMatch match = oneOfSet.match(pattern);
        if (!match.hasMatch())
            match = oneChar.match(pattern);
        if (match.hasMatch() && regex->regularExpression().patternOptions() == QRegularExpression::NoPatternOption) {
            m_rule.type = Rule::CharSet;
            m_rule.chars = match.captured(1);
        } else {
            m_rule.type = Rule::Expression;
            m_rule.expression = QRegularExpression(QRegularExpression::anchoredPattern(pattern),
                                                   regex->regularExpression().patternOptions());
        }
    }
}

bool ValidatedProperty::validatorAccepts(QStringView text) const
{
    if (!m_validator)
        return true;
    if (m_rule.type == Rule::Unknown)
        buildRule();
    bool negative = false;
    switch (m_rule.type) {
    case Rule::IntRange: {
        if (!plainNumber(text, false, negative) || (negative && m_rule.bottom >= 0))
            return false;
        qlonglong value = 0;
        bool ok = plainIntegerValue(text, value);
        if (!ok)
            value = text.toString().toLongLong(&ok);
        return ok && value >= m_rule.bottom && value <= m_rule.top;
    }
    case Rule::RealRange: {
        if (!plainNumber(text, true, negative) || (negative && m_rule.bottom >= 0))
            return false;
        double value = 0.0;
        bool ok = plainDecimalValue(text, value);
        if (!ok)
            value = text.toString().toDouble(&ok);
        return ok && value >= m_rule.bottom && value <= m_rule.top;
    }
    case Rule::CharSet:
        return text.size() == 1 && m_rule.chars.contains(text.at(0));
    case Rule::Expression:
        return m_rule.expression.match(text.toString()).hasMatch();
    case Rule::Unknown:
        break;
    }
    QString copy = text.toString();
    int pos = 0;
    return m_validator->validate(copy, pos) == QValidator::Acceptable;
}

void ValidatedProperty::copyBaseConfiguration(const ValidatedProperty &other)
{
    m_rule = Rule();
    if (other.m_validator) {
        if (auto *source = qobject_cast<QIntValidator *>(other.m_validator)) {
            auto *own = qobject_cast<QIntValidator *>(m_validator);
            if (!own) {
                delete m_validator;
                m_validator = own = new QIntValidator(this);
            }
            own->setRange(source->bottom(), source->top());
        } else if (auto *source = qobject_cast<QDoubleValidator *>(other.m_validator)) {
            auto *own = qobject_cast<QDoubleValidator *>(m_validator);
            if (!own) {
                delete m_validator;
                m_validator = own = new QDoubleValidator(this);
            }
            own->setRange(source->bottom(), source->top(), source->decimals());
            own->setNotation(source->notation());
        } else if (auto *source = qobject_cast<QRegularExpressionValidator *>(other.m_validator)) {
            auto *own = qobject_cast<QRegularExpressionValidator *>(m_validator);
            if (!own) {
                delete m_validator;
                m_validator = own = new QRegularExpressionValidator(this);
            }
            own->setRegularExpression(source->regularExpression());
        }
    } else if (m_validator) {
        delete m_validator;
        m_validator = nullptr;
    }
    m_fixedLength = other.m_fixedLength;
    m_maxFieldLength = other.m_maxFieldLength;
    m_canBeNullField = other.m_canBeNullField;
    setDefaultValue(other.m_defaultValue, other.m_hasInitialValue);
    m_validityLimit = other.m_validityLimit;
    m_validityCounter = 0;
}

// ---- integer ----

ValidatedIntProperty::ValidatedIntProperty(QObject *parent, QValidator *validator, uint fixedLength,
                                           uint maxFieldLength, bool canBeNullField,
                                           int validityLimit)
    : ValidatedProperty(IntField, parent, validator, fixedLength, maxFieldLength, canBeNullField,
                        validityLimit)
{
}

void ValidatedIntProperty::copyConfiguration(const ValidatedProperty &other)
{
    copyBaseConfiguration(other);
    announceChange();
}

void ValidatedIntProperty::copyValueAndValidity(const ValidatedProperty &other)
{
    if (other.isValid()) {
        if (auto *source = (other.kind() == IntField ? static_cast<const ValidatedIntProperty *>(&other) : nullptr))
            m_value = source->m_value;
        else
            m_value = other.variantValue().toInt();
    }
    m_secondFlag = other.secondFlag();
    setValid(other.isValid());
}

QString ValidatedIntProperty::fieldText() const
{
    if (!m_valid)
        return m_canBeNullField ? QString() : m_defaultValue;
    if (m_fixedLength == 0)
        return QString::number(m_value);
    const QString digits = padded(QString::number(qAbs(qint64(m_value))), m_fixedLength);
    return m_value < 0 ? QLatin1Char('-') + digits : digits;
}

int ValidatedIntProperty::setFieldText(QStringView text)
{
    const int empty = checkEmpty(text);
    if (empty >= 0)
        return empty;
    const uint length = uint(text.startsWith(QLatin1Char('-')) ? text.size() - 1 : text.size());
    if (m_fixedLength != 0 && length != m_fixedLength)
        return FieldResult::WrongLength;
    if (m_maxFieldLength != 0 && length > m_maxFieldLength)
        return FieldResult::WrongLength;
    if (!validatorAccepts(text))
        return FieldResult::Invalid;
    qlonglong value = 0;
    if (plainIntegerValue(text, value)) {
        if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
            return FieldResult::Invalid;
    } else {
        bool ok = false;
        value = text.toString().toInt(&ok);
        if (!ok)
            return FieldResult::Invalid;
    }
    m_value = qint32(value);
    markAssigned();
    return FieldResult::Accepted;
}

void ValidatedIntProperty::setValue(qint32 value)
{
    m_value = value;
    markAssigned();
}

void ValidatedIntProperty::setDefaultValue(const QString &text, bool hasInitialValue)
{
    ValidatedProperty::setDefaultValue(text, hasInitialValue);
    m_initial = text.toInt();
}

void ValidatedIntProperty::resetToInitial()
{
    m_value = m_hasInitialValue ? m_initial : 0;
    setValidQuiet(m_hasInitialValue);
}

// ---- real ----

ValidatedFloatProperty::ValidatedFloatProperty(QObject *parent, QValidator *validator,
                                               uint fixedLength, uint maxFieldLength,
                                               bool canBeNullField, int validityLimit,
                                               uint fixedDigitsBeforePoint,
                                               uint leastDecimalsReceived, uint sendDecimals)
    : ValidatedProperty(FloatField, parent, validator, fixedLength, maxFieldLength, canBeNullField,
                        validityLimit)
    , m_fixedDigitsBeforePoint(fixedDigitsBeforePoint)
    , m_leastDecimalsReceived(leastDecimalsReceived)
    , m_sendDecimals(sendDecimals)
{
}

void ValidatedFloatProperty::setDecimals(uint fixedDigitsBeforePoint, uint leastDecimalsReceived,
                                         uint sendDecimals)
{
    m_fixedDigitsBeforePoint = fixedDigitsBeforePoint;
    m_leastDecimalsReceived = leastDecimalsReceived;
    m_sendDecimals = sendDecimals;
}

void ValidatedFloatProperty::copyConfiguration(const ValidatedProperty &other)
{
    copyBaseConfiguration(other);
    if (auto *source = (other.kind() == FloatField ? static_cast<const ValidatedFloatProperty *>(&other) : nullptr))
        setDecimals(source->m_fixedDigitsBeforePoint, source->m_leastDecimalsReceived,
                    source->m_sendDecimals);
    announceChange();
}

void ValidatedFloatProperty::copyValueAndValidity(const ValidatedProperty &other)
{
    if (other.isValid()) {
        if (auto *source = (other.kind() == FloatField ? static_cast<const ValidatedFloatProperty *>(&other) : nullptr))
            m_value = source->m_value;
        else
            m_value = other.variantValue().toDouble();
    }
    m_secondFlag = other.secondFlag();
    setValid(other.isValid());
}

QString ValidatedFloatProperty::fieldText() const
{
    if (!m_valid)
        return m_canBeNullField ? QString() : m_defaultValue;
    const int decimals = int(m_sendDecimals);
    if (m_fixedLength != 0) {
        const QString digits =
            padded(QString::number(std::fabs(m_value), 'f', decimals), m_fixedLength)
                .left(int(m_fixedLength));
        return m_value < 0 ? QLatin1Char('-') + digits : digits;
    }
    if (m_fixedDigitsBeforePoint == 0)
        return QString::number(m_value, 'f', decimals);
    const QString digits = padded(QString::number(std::fabs(m_value), 'f', decimals),
                                  m_sendDecimals + m_fixedDigitsBeforePoint + 1);
    return m_value < 0 ? QLatin1Char('-') + digits : digits;
}

int ValidatedFloatProperty::setFieldText(QStringView text)
{
    const int empty = checkEmpty(text);
    if (empty >= 0)
        return empty;
    if (m_fixedDigitsBeforePoint != 0 || m_leastDecimalsReceived != 0) {
        const int point = text.indexOf(QLatin1Char('.'));
        const int before = point < 0 ? text.size() : point;
        if (m_fixedDigitsBeforePoint != 0) {
            const uint wanted = m_fixedDigitsBeforePoint
                                + (text.startsWith(QLatin1Char('-')) ? 1 : 0);
            if (uint(before) != wanted)
                return FieldResult::WrongLength;
        }
        if (m_leastDecimalsReceived != 0) {
            if (point < 0)
                return FieldResult::WrongLength;
            const int next = text.indexOf(QLatin1Char('.'), point + 1);
            const int after = (next < 0 ? text.size() : next) - point - 1;
            if (uint(after) < m_leastDecimalsReceived)
                return FieldResult::WrongLength;
        }
    }
    if (!validatorAccepts(text))
        return FieldResult::Invalid;
    double value = 0.0;
    if (!plainDecimalValue(text, value)) {
        bool ok = false;
        value = text.toString().toDouble(&ok);
        if (!ok || !std::isfinite(value))
            return FieldResult::Invalid;
    }
    m_value = value;
    markAssigned();
    return FieldResult::Accepted;
}

void ValidatedFloatProperty::setValue(double value)
{
    m_value = value;
    markAssigned();
}

void ValidatedFloatProperty::setDefaultValue(const QString &text, bool hasInitialValue)
{
    ValidatedProperty::setDefaultValue(text, hasInitialValue);
    m_initial = text.toDouble();
}

void ValidatedFloatProperty::resetToInitial()
{
    m_value = m_hasInitialValue ? m_initial : 0.0;
    setValidQuiet(m_hasInitialValue);
}

// ---- text ----

ValidatedStringProperty::ValidatedStringProperty(QObject *parent, QValidator *validator,
                                                 uint fixedLength, uint maxFieldLength,
                                                 bool canBeNullField, int validityLimit)
    : ValidatedProperty(StringField, parent, validator, fixedLength, maxFieldLength, canBeNullField,
                        validityLimit)
{
}

void ValidatedStringProperty::copyConfiguration(const ValidatedProperty &other)
{
    copyBaseConfiguration(other);
    announceChange();
}

void ValidatedStringProperty::copyValueAndValidity(const ValidatedProperty &other)
{
    if (other.isValid()) {
        // Copied into the field's own text: sharing it would make the sender's next value a
        // fresh allocation.
        if (auto *source = (other.kind() == StringField ? static_cast<const ValidatedStringProperty *>(&other) : nullptr))
            m_value.setUnicode(source->m_value.constData(), source->m_value.size());
        else
            m_value = other.variantValue().toString();
    }
    m_secondFlag = other.secondFlag();
    setValid(other.isValid());
}

QString ValidatedStringProperty::fieldText() const
{
    if (!m_valid)
        return m_canBeNullField ? QString() : m_defaultValue;
    return m_value;
}

int ValidatedStringProperty::setFieldText(QStringView text)
{
    const int empty = checkEmpty(text);
    if (empty >= 0)
        return empty;
    if (!validatorAccepts(text))
        return FieldResult::Invalid;
    // Into the field's own text, in place when nobody shares it.
    m_value.setUnicode(text.data(), text.size());
    markAssigned();
    return FieldResult::Accepted;
}

void ValidatedStringProperty::setValue(const QString &value)
{
    m_value = value;
    markAssigned();
}

void ValidatedStringProperty::resetToInitial()
{
    // Called for every field of a reused sentence: the text keeps its storage for the next value.
    if (m_hasInitialValue) {
        if (m_value != m_defaultValue)
            m_value.setUnicode(m_defaultValue.constData(), m_defaultValue.size());
    } else if (!m_value.isEmpty()) {
        m_value.resize(0);
    }
    setValidQuiet(m_hasInitialValue);
}
