// The main view's panes and how they talk: tree to file list, file list to playlist, commands to the player.
#include "MainFrame.h"

#include "BrowseForFolder.h"
#include "CDAccess.h"
#include "CDCopy.h"
#include "CFreedbRequest.h"
#include "CPLFunctions.h"
#include "CPlayer.h"
#include "CTitleList.h"
#include "Connection.h"
#include "DirTree.h"
#include "FrameMpris.h"
#include "Functions.h"
#include "Messages.h"
#include "OptFreeDB.h"
#include "PlayerDisplay.h"
#include "PluginHost.h"
#include "SafeSave.h"
#include "ShellFolder.h"
#include "Sound.h"
#include "TitleFile.h"
#include "TitleInfoCommand.h"
#include "cdda/CDDA.h"

#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace {

// Title information of the first selected title of the playlist or of the file list.
void ShowTitleInfoOf(CPlayer *player, CTitleList *fileList, bool bPlaylist, QWidget *parent) {
    TitleList &playlist = player->Playlist()->List();
    CFunctions *functions = player->Functions();
    PlayerPlayback playback(functions ? &functions->GetPlayer() : nullptr, &playlist);
    ShowTitleInfo({bPlaylist ? &playlist : &fileList->List(), {&playlist, &fileList->List()}, &playback, parent});
}

} // namespace

bool CMainFrame::InitMainView() {
    if (!InitSound(this))
        return false;
    CleanUpInterruptedSaves(); // a tag save killed midway left its copy beside the file
    LoadPlugins();
    LoadConnectionLibraries();
    // freedb is built below the folder browser, so the frame hands it over.
    SetFreedbFolderChooser(
        [](QWidget *, const QString &title, const QString &current) { return BrowseForFolder(title, current); });
    // CD tracks take their titles from the drive's title file.
    SetCDTitleLookup([](uint8_t drive, uint8_t track, char *szTitle) {
        return LookUpCDTitle(drive, track, szTitle, TITLE_TEXT_SIZE);
    });
    CPlayer::Factories factories;
    factories.display = [](QWidget *parent) -> QWidget * { return new CPlayerDisplay(parent); };
    m_pPlayer = new CPlayer(factories, m_pView);
    if (!m_pPlayer->CreateChildren()) {
        ShowError(61291, 0, QStringLiteral("CPlayer"), ERR_STYLE_DETAIL);
        return false;
    }
    m_pTree = new CDirTree(m_pView);
    m_pFileList = new CTitleList(false, m_pView);
    m_pView->SetPanes(m_pPlayer, m_pTree, m_pFileList);
    m_bMainView = true;

    if (CPLFunctions *panel = m_pPlayer->PlaylistPanel())
        panel->SetFileList(&m_pFileList->List());
    connect(m_pTree, &CDirTree::FolderSelected, this, [this](const QString &folder) {
        m_pFileList->List().SetSortAscending(true);
        m_pFileList->List().ShowFolder(folder);
    });
    connect(m_pTree, &CDirTree::CdTracksSelected, this, [this](const QStringList &tracks) {
        m_pFileList->List().SetSortAscending(false); // track order
        m_pFileList->List().ShowFolderItems(tracks);
    });
    // The file list's reader shows how far it got in the status bar.
    connect(&m_pFileList->List(), &TitleList::ProgressStarted, this, [this](int nMaximum) {
        m_pProgress->setRange(0, nMaximum);
        m_pProgress->setValue(0);
        m_pProgress->show();
    });
    connect(&m_pFileList->List(), &TitleList::ProgressMoved, m_pProgress, &QProgressBar::setValue);
    connect(&m_pFileList->List(), &TitleList::ProgressHidden, m_pProgress, &QProgressBar::hide);
    // freedb asks about the disc in the selected CD drive: only there is it offered.
    auto offerFreedb = [this](bool bCdDrive) {
        m_pView->FreedbButton()->setEnabled(bCdDrive);
        Action(1050)->setEnabled(bCdDrive);
    };
    connect(m_pTree, &CDirTree::CdSelected, this, offerFreedb);
    offerFreedb(m_pTree->IsCDSelected());
    // New titles for a drive: its tree item is made anew, and the lists' CD tracks show them.
    auto refreshCdTitles = [this] {
        m_pPlayer->Playlist()->List().RefreshCDTitles();
        m_pFileList->List().RefreshCDTitles();
    };
    connect(m_pTree, &CDirTree::CdTitlesLoaded, this, refreshCdTitles);
    auto *freedbTarget = new CFreedbFrameTarget(this);
    connect(freedbTarget, &CFreedbFrameTarget::NewTitles, this, [this](const QString &drive) {
        if (m_pTree)
            m_pTree->RefreshDrive(drive);
    });
    // Left and Right in either list hand the focus to the other one.
    connect(m_pPlayer->Playlist(), &CTitleList::FocusOtherList, m_pFileList, [this] { m_pFileList->setFocus(); });
    connect(m_pFileList, &CTitleList::FocusOtherList, m_pPlayer->Playlist(),
            [this] { m_pPlayer->Playlist()->setFocus(); });
    // The file list's own commands act on the playlist.
    connect(m_pFileList, &CTitleList::Command, this, [this](int id) {
        TitleList &playlist = m_pPlayer->Playlist()->List();
        if (id == 1037)
            m_pFileList->List().AddSelectedTo(playlist);
        else if (id == 1034)
            m_pFileList->List().AddAllTo(playlist);
        else if (id == 32849)
            ShowTitleInfoOf(m_pPlayer, m_pFileList, false, this);
    });
    if (CPLFunctions *panel = m_pPlayer->PlaylistPanel())
        connect(panel, &CPLFunctions::TitleInfoRequested, this,
                [this](bool bPlaylist) { ShowTitleInfoOf(m_pPlayer, m_pFileList, bPlaylist, this); });
    if (CFunctions *functions = m_pPlayer->Functions())
        functions->onProperties = [this] { ShowTitleInfoOf(m_pPlayer, m_pFileList, true, this); };
    connect(this, &CMainFrame::Command, this, [this, freedbTarget](int id) {
        switch (id) {
        case 1001:
        case 1002:
        case 1005:
        case 32808:
        case 32834:
            if (CFunctions *functions = m_pPlayer->Functions())
                functions->OnCommand(id);
            break;
        case 1050: {
            if (!m_pTree->IsCDSelected())
                break;
            const uint8_t drive = CdDriveOfPath(m_pTree->SelectedDirectory());
            const uint32_t discId = drive != CDDA_NO_DRIVE && IsDiscPresent(drive) ? GetDiscID(drive) : 0;
            if (discId == 0)
                ShowError(61280);
            else
                StartFreedbRequest(FREEDB_QUERY, drive, discId, freedbTarget);
            break;
        }
        case 32801:
            ShowTitleInfoOf(m_pPlayer, m_pFileList, true, this);
            break;
        case 32790: {
            if (CFunctions *functions = m_pPlayer->Functions())
                functions->OnCommand(1002); // the drive is the grab's alone
            CCDCopy dialog(this);
            if (!dialog.OnInitDialog())
                break;
            // The tree's disc watch tells the dialog while it is open.
            connect(m_pTree, &CDirTree::MediaChanged, &dialog, [&dialog] { dialog.OnDriveChanged(); });
            dialog.exec();
            break;
        }
        case 1166:
            m_pTree->BuildTree();
            if (auto *display = dynamic_cast<CDisplay *>(m_pPlayer->ChildAt(CPlayer::ChildDisplay)))
                display->LoadSettings();
            break;
        default:
            break;
        }
    });
    RestorePlacement();
    // Media keys and desktop widgets; without a session bus this does nothing.
    new Mpris(new FrameMprisHost(this), this);
    return true;
}

bool CMainFrame::HandOverFile(const QString &path, bool bPlay) {
    if (!m_pPlayer || path.isEmpty())
        return false;
    if (IsDiscImagePath(path)) { // a disc image becomes a CD drive
        if (AddDiscImages({path}) > 0)
            m_pTree->BuildTree();
        return true;
    }
    TitleList &playlist = m_pPlayer->Playlist()->List();
    const int row = playlist.AddFile(path, -1, false);
    if (row < 0)
        return false; // no plug-in serves it
    if (TitleItem *item = playlist.ItemAt(row)) {
        playlist.ReadTitleInfo(item, false);
        playlist.UpdateTitleRow(item, row, false);
    }
    if (bPlay) {
        // Played from the event loop, not inside the handover: a message the player shows must not keep
        // the other instance waiting for its answer.
        TitleItem *item = playlist.ItemAt(row);
        QTimer::singleShot(0, this, [this, item] {
            if (!m_pPlayer)
                return;
            TitleList &list = m_pPlayer->Playlist()->List();
            const int current = list.FindRow(item);
            if (current < 0)
                return;
            list.SelectOnly(current);
            if (CFunctions *functions = m_pPlayer->Functions())
                functions->OnCommand(1001);
        });
    }
    return true;
}

void CMainFrame::DestroyMainView() {
    if (!m_bMainView)
        return;
    m_bMainView = false;
    delete findChild<Mpris *>(); // the bus has no player to drive from here on
    // A request still running ends first; then the line goes down if the settings say so.
    StopFreedbRequests(std::chrono::seconds(5));
    CloseFreedbRequestWindows();
    HangUpConnection(false);
    FreeConnectionLibraries();
    SetCDTitleLookup({});
    m_pView->SetPanes(nullptr, nullptr, nullptr);
    // The tree stores its selection, the player stops playback and the playlist saves itself.
    delete m_pTree;
    delete m_pFileList;
    delete m_pPlayer;
    m_pTree = nullptr;
    m_pFileList = nullptr;
    m_pPlayer = nullptr;
    ReleaseSound();
    UnloadPlugins();
}
