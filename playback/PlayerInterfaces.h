// What the player needs from the playlist, the display and its own control: small interfaces the windows implement.
#pragma once

#include "MelvoPlugin.h"

#include <QString>

#include <cstdint>

// The playlist's title list as the player sees it.
class PlayerList {
public:
    virtual ~PlayerList() = default;
    virtual int GetRowCount() const = 0;
    virtual int GetFirstSelected() const = 0; // -1 when nothing is selected
    virtual TitleItem *GetItem(int row) const = 0;
    // Selects only this row and shows it; a negative row selects row 0, a row past the end fails.
    virtual bool SelectOnly(int row) = 0;
    // Shows the row's title as "> %s <" while it plays, plain again afterwards.
    virtual void MarkCurrent(int row, bool bOn) = 0;
    virtual int FindRow(const TitleItem *item) const = 0; // -1 when the record is not in the list
    virtual void UpdateTitleRow(TitleItem *item, int row, bool bMarked) = 0;
    // GetFormat through the record's plug-in (with a title lookup for CD tracks).
    virtual bool ReadTitleInfo(TitleItem *item, bool bShowErrors) = 0;
};

enum class PlaySymbol { Play, Pause, Stop };

// The display, the main window's caption, the position slider and the 100 ms timer.
class PlayerView {
public:
    virtual ~PlayerView() = default;
    virtual void ShowTitle(const QString &) {}
    virtual void ShowFormat(const char * /*formatTag*/, int /*channels*/, int /*samplesPerSec*/,
                            uint32_t /*avgBytesPerSec*/) {}
    virtual void ShowSymbol(PlaySymbol) {}
    virtual void ShowTime(int /*elapsed*/, int /*remaining*/) {}
    virtual QString ApplicationTitle() const { return QStringLiteral("Melvo"); }
    virtual QString Caption() const { return QString(); }
    virtual void SetCaption(const QString &) {}
    virtual bool IsMainWindowActive() const { return true; }
    virtual void SetSliderRange(uint32_t /*min*/, uint32_t /*max*/) {}
    // How far the slider's arrow keys and page keys move, in the title's position units.
    virtual void SetSliderSteps(uint32_t /*singleStep*/, uint32_t /*pageStep*/) {}
    virtual void SetSliderPos(uint32_t) {}
    virtual void StartTimer() {}
    virtual void KillTimer() {}
};
