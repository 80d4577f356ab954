// Remembers each CD drive's disc state and tells which drives changed since the last look.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

class DiscWatch {
public:
    // How presence is asked; the cdda component by default, a script in tests.
    using Probe = std::function<bool(uint8_t drive)>;
    explicit DiscWatch(Probe probe = {});

    // Records the drive's state as it is now (a drive item was (re)inserted).
    void Track(uint8_t drive);
    void Clear() { m_discState.clear(); }
    // True once per change; the new state is recorded.
    bool Changed(uint8_t drive, bool *present = nullptr);
    bool IsTracked(uint8_t drive) const { return drive < m_discState.size() && m_discState[drive] != kUntracked; }

private:
    static constexpr uint8_t kUntracked = 0xFF;
    Probe m_probe;
    std::vector<uint8_t> m_discState; // 1 = no disc, 0 = disc, as last seen
};
