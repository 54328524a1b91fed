#pragma once

#include "serializableclass.h"

class ESData;

// The two factory resets of the settings and the properties each leaves alone: identity and
// hardware values always, the communication settings too in the reset that spares them.
class SettingsResets
{
public:
    explicit SettingsResets(ESData &data) : m_data(data) {}

    // Both trees back to their defaults and written; the shared settings also go to the peer.
    void restoreAllSetups();
    void restoreAllSetupsExceptIO();

    ExclusionMap sharedExclusions(bool keepCommunications) const;
    ExclusionMap localExclusions(bool keepCommunications) const;

private:
    void restore(bool keepCommunications);

    ESData &m_data;
};
