// Disc presence bookkeeping for the tree's 500 ms watch.
#include "DiscWatch.h"

#include "cdda/CDDA.h"

DiscWatch::DiscWatch(Probe probe) : m_probe(std::move(probe)) {
    if (!m_probe)
        m_probe = [](uint8_t drive) { return IsDiscPresent(drive) != 0; };
}

void DiscWatch::Track(uint8_t drive) {
    if (m_discState.size() <= drive)
        m_discState.resize(drive + 1u, kUntracked);
    m_discState[drive] = m_probe(drive) ? 0 : 1;
}

bool DiscWatch::Changed(uint8_t drive, bool *present) {
    if (!IsTracked(drive))
        return false;
    const bool now = m_probe(drive);
    if (present)
        *present = now;
    const uint8_t state = now ? 0 : 1;
    if (state == m_discState[drive])
        return false;
    m_discState[drive] = state;
    return true;
}
