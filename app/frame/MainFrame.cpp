// The main frame: command table, status bar, placement and the main view's layout.
#include "MainFrame.h"

#include "AboutDlg.h"
#include "DesktopTools.h"
#include "Helpers.h"
#include "Messages.h"
#include "OptionsSheet.h"
#include "Settings.h"
#include "WindowPlacement.h"

#include <QAction>
#include <QCloseEvent>
#include <QDialog>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {

// A command prompt holds the status text and, after a line feed, the tooltip.
QString PromptPart(unsigned id, int part) {
    return LoadStringRes(id).section(QLatin1Char('\n'), part, part);
}

const char *kCommandProperty = "melvoCommandId";

// The status bar's state, where the framework kept the state of its first control bar.
const QString kBarSection = QStringLiteral("Melvo-Bar0");

} // namespace

CMainView::CMainView(QWidget *parent) : QWidget(parent) {
    m_pRefresh = new QPushButton(tr("Refresh"), this);
    m_pFreedb = new QPushButton(tr("freedb"), this);
    m_pRefresh->setProperty(kCommandProperty, 1166);
    m_pFreedb->setProperty(kCommandProperty, 1050);
    m_pFreedb->setEnabled(false); // until a CD drive is selected in the tree
}

void CMainView::SetPanes(QWidget *player, QWidget *tree, QWidget *fileList) {
    m_pPlayer = player;
    m_pTree = tree;
    m_pFileList = fileList;
    for (QWidget *pane : {player, tree, fileList})
        if (pane)
            pane->setParent(this), pane->show();
    ApplyLayout();
}

void CMainView::resizeEvent(QResizeEvent *) {
    ApplyLayout();
}

void CMainView::ApplyLayout() {
    const MainViewLayout l = CurrentLayout();
    if (m_pPlayer)
        m_pPlayer->setGeometry(l.rcPlayer);
    if (m_pTree)
        m_pTree->setGeometry(l.rcTree);
    if (m_pFileList)
        m_pFileList->setGeometry(l.rcFileList);
    m_pRefresh->setGeometry(l.rcRefresh);
    m_pFreedb->setGeometry(l.rcFreedb);
}

CMainFrame::CMainFrame(QWidget *parent) : QMainWindow(parent) {
    // Other instances find the running one by this name.
    setObjectName(QStringLiteral("Melvo-Class"));
    setWindowTitle(LoadStringRes(57344));
    m_pView = new CMainView(this);
    setCentralWidget(m_pView);
    setMinimumSize(kMinFrameSize);
    m_strVolumeControl = FindVolumeControl();
    CreateMenus();
    CreateStatusBar();
    for (QPushButton *button : {m_pView->RefreshButton(), m_pView->FreedbButton()}) {
        button->installEventFilter(this);
        const int id = button->property(kCommandProperty).toInt();
        connect(button, &QPushButton::clicked, this, [this, id] { emit Command(id); });
    }
}

QAction *CMainFrame::AddCommand(QMenu *menu, int id, const QString &text, const QKeySequence &key) {
    auto *action = new QAction(text, this);
    action->setStatusTip(PromptPart(id, 0));
    action->setToolTip(PromptPart(id, 1));
    // Accelerators stay active whichever pane has the focus.
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    if (menu)
        menu->addAction(action);
    else
        addAction(action);
    m_actions.insert(id, action);
    return action;
}

void CMainFrame::CreateMenus() {
    QMenu *melvo = menuBar()->addMenu(tr("&Melvo"));
    AddCommand(melvo, 32786, tr("&Options..."), QKeySequence(Qt::CTRL | Qt::Key_O));
    AddCommand(melvo, 1060, tr("Volume Control..."), QKeySequence(Qt::CTRL | Qt::Key_V))
        ->setEnabled(!m_strVolumeControl.isEmpty());
    melvo->addSeparator();
    AddCommand(melvo, 57665, tr("&Quit"), QKeySequence(Qt::ALT | Qt::Key_F4));

    QMenu *functions = menuBar()->addMenu(tr("&Functions"));
    AddCommand(functions, 32790, tr("Grab CD..."), QKeySequence(Qt::CTRL | Qt::Key_G));
    AddCommand(functions, 1050, tr("&freedb Request"), QKeySequence(Qt::CTRL | Qt::Key_F))->setEnabled(false);

    QMenu *title = menuBar()->addMenu(tr("&Title"));
    AddCommand(title, 1001, tr("&Play"), QKeySequence(Qt::Key_Space));
    AddCommand(title, 1002, tr("&Stop"), QKeySequence(Qt::CTRL | Qt::Key_S));
    AddCommand(title, 1005, tr("P&ause"), QKeySequence(Qt::CTRL | Qt::Key_A));
    AddCommand(title, 32834, tr("Next Title"), QKeySequence(Qt::CTRL | Qt::Key_N));
    AddCommand(title, 32808, tr("Previous Title"), QKeySequence(Qt::CTRL | Qt::Key_L));
    title->addSeparator();
    AddCommand(title, 32801, tr("Properties..."), QKeySequence(Qt::CTRL | Qt::Key_P));

    QMenu *view = menuBar()->addMenu(tr("&View"));
    QAction *bar = AddCommand(view, 59393, tr("S&tatusbar"));
    bar->setCheckable(true);
    bar->setChecked(true);

    QMenu *help = menuBar()->addMenu(tr("&?"));
    AddCommand(help, 57670, tr("Help..."), QKeySequence(Qt::Key_F1));
    AddCommand(help, 32818, tr("About &Melvo..."));
    AddCommand(help, 1004, tr("Melvo Website"));
    AddCommand(nullptr, 57669, QString(), QKeySequence(Qt::SHIFT | Qt::Key_F1));
    AddCommand(nullptr, 1003, QString());
}

void CMainFrame::CreateStatusBar() {
    m_pMessagePane = new QLabel(LoadStringRes(57345));
    m_pProgressPane = new QLabel;
    // The progress pane is as wide as the 44 blanks of its sizing text.
    m_pProgressPane->setMinimumWidth(m_pProgressPane->fontMetrics().horizontalAdvance(LoadStringRes(61323)));
    auto *layout = new QVBoxLayout(m_pProgressPane);
    layout->setContentsMargins(0, 0, 0, 0);
    m_pProgress = new QProgressBar(m_pProgressPane);
    m_pProgress->setTextVisible(false);
    m_pProgress->hide();
    layout->addWidget(m_pProgress);
    statusBar()->addWidget(m_pMessagePane, 1);
    statusBar()->addPermanentWidget(m_pProgressPane);
    // Menu prompts go to the message pane; the idle text comes back afterwards.
    connect(statusBar(), &QStatusBar::messageChanged, this,
            [this](const QString &text) { m_pMessagePane->setVisible(text.isEmpty()); });
}

void CMainFrame::SetStatusText(int pane, const QString &text) {
    if (pane == 0)
        m_pMessagePane->setText(text);
    else if (pane == 1)
        m_pProgressPane->setText(text);
}

bool CMainFrame::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::Enter) {
        const int id = watched->property(kCommandProperty).toInt();
        if (id)
            statusBar()->showMessage(PromptPart(id, 0));
    } else if (event->type() == QEvent::Leave && watched->property(kCommandProperty).isValid()) {
        statusBar()->clearMessage();
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::OnCommand(int id) {
    switch (id) {
    case 32786: {
        COptionsSheet sheet(this);
        if (sheet.exec() == QDialog::Accepted)
            emit Command(1166); // the tree refreshes, the display re-reads its settings
        break;
    }
    case 32818: {
        CAboutDlg about(this);
        about.exec();
        break;
    }
    case 1060:
        StartVolumeControl(m_strVolumeControl);
        break;
    case 57665:
        close();
        break;
    case 59393:
        statusBar()->setVisible(Action(59393)->isChecked());
        break;
    case 57670:
    case 57669:
        OpenHelp();
        break;
    case 1004:
        OpenWithShell(QString::fromLatin1(kHomepage));
        break;
    case 1003:
        OpenWithShell(QString::fromLatin1(kSupportMail));
        break;
    default:
        emit Command(id);
        break;
    }
}

void CMainFrame::RestorePlacement() {
    const WindowPlacement placement = WindowPlacement::Load();
    QRect screen(0, 0, 1 << 20, 1 << 20);
    if (QScreen *s = this->screen())
        screen = s->availableGeometry();
    setGeometry(placement.RestoredRect(screen));
    if (placement.StartsMaximized())
        setWindowState(windowState() | Qt::WindowMaximized);
    const bool bBar = GetSettingInt(kBarSection, QStringLiteral("Visible"), 1) != 0;
    statusBar()->setVisible(bBar);
    Action(59393)->setChecked(bBar);
}

void CMainFrame::SavePlacement() const {
    WindowPlacement placement;
    const bool bMinimized = isMinimized();
    const bool bMaximized = !bMinimized && isMaximized();
    const QRect normal = normalGeometry();
    placement.rcNormal = (bMinimized || bMaximized) && normal.isValid() ? normal : geometry();
    placement.nShow = bMaximized ? SW_SHOWMAXIMIZED : bMinimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL;
    placement.nFlags =
        bMinimized && (m_bRestoreMaximized || (windowState() & Qt::WindowMaximized)) ? WPF_RESTORETOMAXIMIZED : 0;
    placement.Save();
    WriteSettingInt(kBarSection, QStringLiteral("BarID"), 59393);
    WriteSettingInt(kBarSection, QStringLiteral("Visible"), statusBar()->isHidden() ? 0 : 1);
}

void CMainFrame::closeEvent(QCloseEvent *event) {
    emit Closing();
    SavePlacement();
    // Playback stops, the playlist saves itself, the sound device is released and the plug-ins unloaded.
    DestroyMainView();
    QMainWindow::closeEvent(event);
}

void CMainFrame::changeEvent(QEvent *event) {
    if (event->type() == QEvent::WindowStateChange) {
        const Qt::WindowStates old = static_cast<QWindowStateChangeEvent *>(event)->oldState();
        if (!(windowState() & Qt::WindowMinimized))
            m_bRestoreMaximized = false;
        else if (!(old & Qt::WindowMinimized))
            m_bRestoreMaximized = (old | windowState()) & Qt::WindowMaximized;
    }
    QMainWindow::changeEvent(event);
}

bool CMainFrame::event(QEvent *event) {
    // The minimum holds for the whole window, title bar and borders included; they are known once shown.
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize: {
        const QSize frame = frameGeometry().size() - geometry().size();
        const QSize minimum = (kMinFrameSize - frame).expandedTo(QSize(1, 1));
        if (minimum != minimumSize())
            setMinimumSize(minimum);
        break;
    }
    default:
        break;
    }
    return QMainWindow::event(event);
}
