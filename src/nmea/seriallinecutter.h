#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Cuts the byte stream of one serial line into sentence lines. The bytes waiting at the port are
// handed in as they are; the cutter takes them when they hold a line end, throws them away when
// 82 or more are waiting without one (no sentence is that long), and otherwise leaves them waiting.
// Position sentences (GGA) may be longer than 82 characters; while one is on its way the bound is
// MaxGgaLineLength instead.
// Each line starts at its sentence's "$" (or "!") and ends with its "\n".
class SerialLineCutter
{
public:
    static constexpr int MaxLineLength = 82;
    static constexpr int MaxGgaLineLength = 2 * MaxLineLength;

    // Consumes what it uses from waiting and returns the complete lines found.
    QStringList cut(QByteArray &waiting);

    // The partial line kept between calls.
    const QString &buffer() const { return m_buffer; }
    void clear() { m_buffer.clear(); }

private:
    bool ggaOnItsWay(const QByteArray &waiting) const;

    QString m_buffer;
};
