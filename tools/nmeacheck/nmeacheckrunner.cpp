#include "nmeacheckrunner.h"

#include "nmeamessage.h"
#include "nmeamessageregistry.h"

NmeaCheckRunner::NmeaCheckRunner(std::FILE *out, bool acceptLineFeed)
    : m_out(out)
    , m_acceptLineFeed(acceptLineFeed)
{
    m_buffer.reserve(1 << 20);
}

NmeaCheckRunner::~NmeaCheckRunner()
{
    flush();
    qDeleteAll(m_messages);
}

void NmeaCheckRunner::flush()
{
    if (!m_buffer.isEmpty()) {
        std::fwrite(m_buffer.constData(), 1, size_t(m_buffer.size()), m_out);
        m_buffer.clear();
    }
    std::fflush(m_out);
}

void NmeaCheckRunner::feed(const QByteArray &input)
{
    int start = 0;
    while (start < input.size()) {
        int end = input.indexOf('\n', start);
        end = end < 0 ? input.size() : end + 1;
        checkLine(QString::fromLatin1(input.constData() + start, end - start));
        start = end;
    }
}

NmeaMessage *NmeaCheckRunner::messageFor(const QString &talker, const QString &formatter)
{
    const NmeaMessageRegistry &registry = NmeaMessageRegistry::instance();
    const QString registered = registry.registeredFormatter(talker, formatter);
    if (registered.isEmpty())
        return nullptr;
    const QString key = (talker == QLatin1String("PZTQ") ? QStringLiteral("P:") : QStringLiteral("S:"))
                        + registered;
    NmeaMessage *&message = m_messages[key];
    if (!message)
        message = registry.create(talker, formatter);
    return message;
}

void NmeaCheckRunner::appendJsonString(const QString &text)
{
    m_buffer.append('"');
    for (const QChar c : text) {
        const ushort u = c.unicode();
        switch (u) {
        case '"': m_buffer.append("\\\""); break;
        case '\\': m_buffer.append("\\\\"); break;
        case '\n': m_buffer.append("\\n"); break;
        case '\r': m_buffer.append("\\r"); break;
        case '\t': m_buffer.append("\\t"); break;
        default:
            if (u < 0x20 || u >= 0x7F) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
                m_buffer.append(escaped);
            } else {
                m_buffer.append(char(u));
            }
        }
    }
    m_buffer.append('"');
}

void NmeaCheckRunner::checkLine(QString line)
{
    ++m_lines;
    if (m_acceptLineFeed && line.endsWith(QLatin1Char('\n')) && !line.endsWith(QLatin1String("\r\n")))
        line.insert(line.size() - 1, QLatin1Char('\r'));

    // The same taking apart as the receive path: noise before "$" and bytes after the checksum go.
    const int check = m_line.take(line);
    ++m_checkCodes[check];
    const QString talker = m_line.talker().toString();
    const QString formatter = m_line.formatter().toString();
    NmeaMessage *message = nullptr;
    int result = -1;
    if (check == SentenceCheck::Ok) {
        message = formatter.isEmpty() ? nullptr : messageFor(talker, formatter);
        if (message) {
            message->resetFields();
            result = message->deserializeParamaters(m_line.fieldText().toString());
            ++m_resultCodes[result];
            if (result == 0)
                ++m_accepted;
        } else {
            ++m_unknown;
        }
    }

    m_buffer.append("{\"line\": ");
    m_buffer.append(QByteArray::number(m_lines));
    m_buffer.append(", \"check\": ");
    m_buffer.append(QByteArray::number(check));
    m_buffer.append(", \"talker\": ");
    appendJsonString(talker);
    m_buffer.append(", \"formatter\": ");
    appendJsonString(formatter);
    m_buffer.append(message ? ", \"known\": true" : ", \"known\": false");
    m_buffer.append(", \"result\": ");
    m_buffer.append(message ? QByteArray::number(result) : QByteArray("null"));
    m_buffer.append(", \"fields\": {");
    if (message) {
        for (int i = 0; i < message->fieldCount(); ++i) {
            if (i > 0)
                m_buffer.append(", ");
            appendJsonString(message->fieldName(i));
            m_buffer.append(": ");
            appendJsonString(message->field(i)->fieldText());
        }
    }
    m_buffer.append("}}\n");
    if (m_buffer.size() > (1 << 20) - 4096)
        flush();
}

QString NmeaCheckRunner::summary() const
{
    QString text = QStringLiteral("%1 lines, %2 accepted, %3 rejected\n")
                       .arg(m_lines).arg(m_accepted).arg(rejected());
    for (auto it = m_checkCodes.constBegin(); it != m_checkCodes.constEnd(); ++it)
        text += QStringLiteral("check %1: %2\n").arg(it.key()).arg(it.value());
    for (auto it = m_resultCodes.constBegin(); it != m_resultCodes.constEnd(); ++it)
        text += QStringLiteral("result %1: %2\n").arg(it.key()).arg(it.value());
    text += QStringLiteral("unknown formatter: %1\n").arg(m_unknown);
    return text;
}
