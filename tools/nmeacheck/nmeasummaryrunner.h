#pragma once

#include "nmeacontroller.h"

#include <QByteArray>
#include <QString>

// Runs every line through the unit's complete receive path (check, sentence object, field
// parsing, handler into the data holders), as lines of one serial line, and reports only the
// counts at the end: per formatter, per result and per error code.
class NmeaSummaryRunner
{
public:
    explicit NmeaSummaryRunner(bool acceptLineFeed);

    // Feeds a whole input; lines end after each "\n" (a last line without one is taken too).
    void feed(const QByteArray &input);
    QString summary() const;

private:
    NmeaController m_controller;
    bool m_acceptLineFeed;
};
