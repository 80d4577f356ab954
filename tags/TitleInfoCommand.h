// The title information commands of the two lists (32801 for the playlist, 32849 for the file list).
#pragma once

#include "TagContext.h"

class Player;
class QWidget;
class TitleList;

// The player of the playlist as the tag pages and renaming see it.
class PlayerPlayback : public TitlePlayback {
public:
    PlayerPlayback(Player *player, TitleList *playlist) : m_pPlayer(player), m_pPlaylist(playlist) {}
    QString CurrentPath() const override;
    bool IsPlaying() const override;
    void StopPlayback() override;
    // Selects the row of the title that was stopped (when it is still there) and plays.
    void RestartPlayback() override;

private:
    Player *m_pPlayer;
    TitleList *m_pPlaylist;
    const void *m_pStopped = nullptr; // compared by address only
};

struct TitleInfoTarget {
    TitleList *pSource;       // the list whose first selected title is shown
    TitleList *pLists[2];     // the lists that follow a renamed file (null ones are left out)
    TitlePlayback *pPlayback; // may be null
    QWidget *pParent;
};

// Shows the dialog for the first selected title of the source list; without a selection message 41
// (playlist) or 46 (file list). False when nothing was shown.
bool ShowTitleInfo(const TitleInfoTarget &target);
