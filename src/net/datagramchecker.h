#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QVarLengthArray>

// One reception fault of a datagram: its code and the offending text for the error log.
struct DatagramFault
{
    int code = 0;
    QByteArray text;
};

struct DatagramVerdict
{
    bool accepted = false;
    // The datagram carries traffic between the two units ("t:pztq").
    bool internal = false;
    // Passed the checks but is not meant for this unit (addressed elsewhere, own, or of a kind
    // this unit does not take from unknown sources).
    bool ignored = false;
    QVarLengthArray<DatagramFault, 2> faults;
};

// Decides for one received sentence datagram whether it is well formed and meant for this unit.
// Pure: knows only the unit's own SFI and the SFIs connected to it.
class DatagramChecker
{
public:
    DatagramChecker() = default;
    DatagramChecker(const QByteArray &localSfi, const QByteArrayList &connectedSfis);

    void setLocalSfi(const QByteArray &sfi) { m_localSfi = sfi; }
    void setConnectedSfis(const QByteArrayList &sfis) { m_connected = sfis; }
    QByteArray localSfi() const { return m_localSfi; }

    DatagramVerdict examine(const QByteArray &datagram) const;

    // Check of one piece of a datagram (a tagged sentence without its CR LF): 0 or 71, 72, 73.
    static int checkTaggedPiece(const char *begin, const char *end);
    // Whether a sentence kind may come in from a source that is not connected to this unit.
    static bool isAcceptedFromAnySource(const char *formatter, int length);

private:
    bool acceptByRule(const QByteArray &datagram, DatagramVerdict &verdict) const;

    QByteArray m_localSfi;
    QByteArrayList m_connected;
};
