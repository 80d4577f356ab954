// The display as the player sees it: the player's view calls become the display's operations.
#pragma once

#include "Display.h"
#include "PlayerInterfaces.h"

class CPlayerDisplay : public CDisplay, public PlayerView {
public:
    using CDisplay::CDisplay;

    void ShowTitle(const QString &title) override { SetTitle(title); }
    void ShowFormat(const char *formatTag, int channels, int samplesPerSec, uint32_t avgBytesPerSec) override {
        SetFormat(QString::fromUtf8(formatTag ? formatTag : ""), channels, unsigned(samplesPerSec), avgBytesPerSec);
    }
    void ShowSymbol(PlaySymbol symbol) override {
        SetState(symbol == PlaySymbol::Play ? 2 : symbol == PlaySymbol::Pause ? 1 : 0);
    }
    void ShowTime(int elapsed, int remaining) override { SetTimes(elapsed, remaining); }
};
