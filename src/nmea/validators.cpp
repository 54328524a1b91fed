#include "validators.h"

#include <QtMath>

#include <cmath>

namespace {

// Integer texts are plain base-10 numbers: an optional sign and digits, nothing around them.
bool isPlainInteger(const QString &text, bool allowMinus)
{
    if (text.isEmpty())
        return false;
    int start = 0;
    if (text.at(0) == QLatin1Char('-') || text.at(0) == QLatin1Char('+')) {
        if (text.at(0) == QLatin1Char('-') && !allowMinus)
            return false;
        start = 1;
    }
    if (start >= text.size())
        return false;
    for (int i = start; i < text.size(); ++i) {
        if (!text.at(i).isDigit() || text.at(i).unicode() > '9')
            return false;
    }
    return true;
}

QString fillRange(const QString &message, const QString &bottom, const QString &top)
{
    QString result = message;
    result.replace(QLatin1String("%1"), bottom);
    result.replace(QLatin1String("%2"), top);
    return result;
}

const QString defaultIntMessage = QStringLiteral("value must be a whole number between %1 and %2!");

} // namespace

Validator::Validator(const QString &message) : m_message(message) {}

Validator::~Validator() = default;

QString Validator::message() const
{
    return m_message;
}

RegexValidator::RegexValidator(const QString &pattern, const QString &message)
    : Validator(message),
      m_pattern(pattern),
      m_expression(QRegularExpression::anchoredPattern(pattern))
{
}

bool RegexValidator::validate(const QString &text)
{
    return m_expression.isValid() && m_expression.match(text).hasMatch();
}

IntValidator::IntValidator(int bottom, int top, const QString &message)
    : Validator(message.isEmpty() ? defaultIntMessage : message), m_bottom(bottom), m_top(top)
{
}

bool IntValidator::validate(const QString &text)
{
    if (!isPlainInteger(text, true))
        return false;
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok, 10);
    return ok && value >= m_bottom && value <= m_top;
}

QString IntValidator::message() const
{
    return fillRange(m_message, QString::number(m_bottom), QString::number(m_top));
}

UintValidator::UintValidator(uint bottom, uint top, const QString &message)
    : Validator(message.isEmpty() ? defaultIntMessage : message), m_bottom(bottom), m_top(top)
{
}

bool UintValidator::validate(const QString &text)
{
    if (!isPlainInteger(text, false))
        return false;
    bool ok = false;
    const qulonglong value = text.toULongLong(&ok, 10);
    return ok && value >= m_bottom && value <= m_top;
}

QString UintValidator::message() const
{
    return fillRange(m_message, QString::number(m_bottom), QString::number(m_top));
}

FloatValidator::FloatValidator(double bottom, double top, const QString &message,
                               double exceptionValue)
    : Validator(message.isEmpty() ? QStringLiteral("value must be a real number between %1 and %2!")
                                  : message),
      m_bottom(bottom),
      m_top(top),
      m_exception(exceptionValue)
{
}

bool FloatValidator::validate(const QString &text)
{
    if (text.isEmpty() || text.trimmed() != text)
        return false;
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return false;
    if (m_exception != noException && value == m_exception)
        return true;
    return value >= m_bottom && value <= m_top;
}

QString FloatValidator::message() const
{
    return fillRange(m_message, QString::number(qRound64(m_bottom)), QString::number(qRound64(m_top)));
}

SfiValidator::SfiValidator(const QStringList &forbidden, const QString &pattern,
                           const QString &listedMessage, const QString &message)
    : Validator(message),
      m_forbidden(forbidden),
      m_expression(QRegularExpression::anchoredPattern(pattern)),
      m_listedMessage(listedMessage)
{
}

bool SfiValidator::validate(const QString &text)
{
    m_lastWasListed = false;
    if (!m_expression.isValid() || !m_expression.match(text).hasMatch())
        return false;
    if (m_forbidden.contains(text)) {
        m_lastWasListed = true;
        return false;
    }
    return true;
}

QString SfiValidator::message() const
{
    return m_lastWasListed ? m_listedMessage : m_message;
}

IpValidator::IpValidator(const QString &message) : Validator(message)
{
    m_secondText = unapprovedText();
}

QString IpValidator::unapprovedText()
{
    return QStringLiteral("Unapproved IP address, approved ranges are:\n(10.0.0.0 - 10.255.255.255),\n"
                          "(172.16.0.0 - 172.31.255.255),\n(192.168.0.0 - 192.168.255.255)");
}

bool IpValidator::validate(const QString &text)
{
    m_approved = false;
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    int octets[4];
    for (int i = 0; i < 4; ++i) {
        if (!isPlainInteger(parts.at(i), true))
            return false;
        bool ok = false;
        octets[i] = parts.at(i).toInt(&ok, 10);
        if (!ok)
            return false;
        const int low = (i == 3) ? 1 : 0;
        const int high = (i == 3) ? 254 : 255;
        if (octets[i] < low || octets[i] > high)
            return false;
    }
    // The system's own multicast groups can never be a unit address.
    if (octets[0] == 239 && octets[1] == 192 && octets[2] == 0 && octets[3] <= 64)
        return false;
    m_approved = octets[0] == 10 || (octets[0] == 172 && octets[1] >= 16 && octets[1] <= 31)
                 || (octets[0] == 192 && octets[1] == 168);
    return true;
}

std::unique_ptr<Validator> createValidator(const QString &description)
{
    const QStringList parts = description.split(QLatin1Char(';'));
    const QString kind = parts.value(0).toLower();
    const QString argument = parts.value(1);
    if (kind == QLatin1String("regex"))
        return std::make_unique<RegexValidator>(argument, parts.value(2));
    if (kind == QLatin1String("ip"))
        return std::make_unique<IpValidator>(QString(argument).replace(QLatin1Char('_'), QLatin1Char(' ')));
    if (kind == QLatin1String("sfi"))
        return std::make_unique<SfiValidator>(QStringList(), argument,
                                              QStringLiteral("identifier already in use"),
                                              QStringLiteral("identifier must be two letters and four digits"));
    if (parts.size() < 3)
        return nullptr;
    bool okBottom = false;
    bool okTop = false;
    if (kind == QLatin1String("int")) {
        const int bottom = parts.at(1).toInt(&okBottom);
        const int top = parts.at(2).toInt(&okTop);
        if (!okBottom || !okTop)
            return nullptr;
        return std::make_unique<IntValidator>(bottom, top, parts.value(3));
    }
    if (kind == QLatin1String("uint")) {
        const uint bottom = parts.at(1).toUInt(&okBottom);
        const uint top = parts.at(2).toUInt(&okTop);
        if (!okBottom || !okTop)
            return nullptr;
        return std::make_unique<UintValidator>(bottom, top, parts.value(3));
    }
    if (kind == QLatin1String("float")) {
        const double bottom = parts.at(1).toDouble(&okBottom);
        const double top = parts.at(2).toDouble(&okTop);
        if (!okBottom || !okTop)
            return nullptr;
        double exception = FloatValidator::noException;
        if (!parts.value(4).isEmpty()) {
            bool okException = false;
            exception = parts.at(4).toDouble(&okException);
            if (!okException)
                return nullptr;
        }
        return std::make_unique<FloatValidator>(bottom, top, parts.value(3), exception);
    }
    return nullptr;
}
