// From a list's selection to the title information dialog, and the player behind it.
#include "TitleInfoCommand.h"

#include "Messages.h"
#include "Player.h"
#include "PluginHost.h"
#include "TitleItemRecord.h"
#include "TitleList.h"
#include "TitleProperties.h"

QString PlayerPlayback::CurrentPath() const {
    const TitleItem *item = m_pPlayer ? m_pPlayer->CurrentItem() : nullptr;
    return item ? TitlePath(*item) : QString();
}

bool PlayerPlayback::IsPlaying() const {
    return m_pPlayer && m_pPlayer->GetPlayState() == PLAYSTATE_PLAYING;
}

void PlayerPlayback::StopPlayback() {
    if (!m_pPlayer)
        return;
    m_pStopped = m_pPlayer->CurrentItem();
    m_pPlayer->Stop();
}

void PlayerPlayback::RestartPlayback() {
    if (!m_pPlayer)
        return;
    if (m_pPlaylist) {
        const int row = m_pPlaylist->FindRow(static_cast<const TitleItem *>(m_pStopped));
        if (row >= 0)
            m_pPlaylist->SelectOnly(row);
    }
    m_pStopped = nullptr;
    m_pPlayer->Play();
}

bool ShowTitleInfo(const TitleInfoTarget &target) {
    TitleList &source = *target.pSource;
    const int row = source.GetFirstSelected();
    const TitleItem *item = row >= 0 ? source.ItemAt(row) : nullptr;
    if (!item) {
        ShowError(source.IsPlaylist() ? 41 : 46);
        return false;
    }
    // The reader may be filling this record; the dialog shows a copy taken while it rests.
    const bool bWasReading = source.IsReading();
    source.StopInfoReader();
    TitleItem *copy = CopyTitleItem(*item);
    if (bWasReading)
        source.StartInfoReader(0, source.RowCount());
    if (!copy) {
        ShowError(61288);
        return false;
    }
    // A title the reader has not come to yet is read now, so the dialog shows its format.
    if (LoadInfoState(*copy) == INFO_NOT_READ)
        source.ReadTitleInfo(copy, false);
    const PluginEntry *plugin = PluginAt(copy->nPlugin);
    const QString pluginName = plugin && plugin->pszFileName ? QString::fromUtf8(plugin->pszFileName) : QString();
    auto followRename = [&target](const QString &oldPath, const QString &newPath) {
        for (TitleList *list : target.pLists)
            if (list)
                list->RenameTitlePath(oldPath, newPath);
    };
    ShowTitleProperties(*copy, pluginName, target.pPlayback, followRename, target.pParent);
    FreeTitleItem(copy);
    return true;
}
