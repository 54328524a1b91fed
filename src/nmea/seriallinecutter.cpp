#include "seriallinecutter.h"

namespace {
const char kGga[] = "GGA,";
}

bool SerialLineCutter::ggaOnItsWay(const QByteArray &waiting) const
{
    // The name may be split between the part kept from before and what waits now.
    constexpr int nameLength = sizeof(kGga) - 1;
    return m_buffer.contains(QLatin1String(kGga)) || waiting.contains(kGga)
           || (m_buffer.right(nameLength - 1).toLatin1() + waiting.left(nameLength - 1)).contains(kGga);
}

QStringList SerialLineCutter::cut(QByteArray &waiting)
{
    QStringList lines;
    if (!waiting.contains('\n')) {
        if (waiting.size() >= (ggaOnItsWay(waiting) ? MaxGgaLineLength : MaxLineLength)) {
            // No sentence is that long: what waits and the start kept before it are broken.
            waiting.clear();
            m_buffer.clear();
        }
        return lines;
    }
    m_buffer += QString::fromLatin1(waiting);
    waiting.clear();

    const int dollar = m_buffer.indexOf(QLatin1Char('$'));
    const int bang = m_buffer.indexOf(QLatin1Char('!'));
    const int start = (dollar < 0) ? bang : (bang < 0 ? dollar : qMin(dollar, bang));
    if (start < 0)
        m_buffer.clear();
    else if (start > 0)
        m_buffer.remove(0, start);

    // Lines are taken by position and the buffer is shortened once, so a large chunk of waiting
    // bytes costs one pass.
    int from = 0;
    int end;
    while ((end = m_buffer.indexOf(QLatin1Char('\n'), from)) >= 0) {
        const QStringRef line = m_buffer.midRef(from, end + 1 - from);
        // A sentence broken off by a new one: the line belongs to the last "$".
        const int restart = line.lastIndexOf(QLatin1Char('$'));
        lines.append((restart > 0 ? line.mid(restart) : line).toString());
        from = end + 1;
    }
    m_buffer.remove(0, from);

    if (m_buffer.size() > (m_buffer.contains(QLatin1String(kGga)) ? MaxGgaLineLength : MaxLineLength))
        m_buffer.clear();
    return lines;
}
