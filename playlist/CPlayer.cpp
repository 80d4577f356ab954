// The player panel: makes its children in order and lays them out on every resize.
#include "CPlayer.h"

#include "CPLFunctions.h"
#include "CTitleList.h"
#include "Functions.h"
#include "Messages.h"
#include "Pitch.h"
#include "Volume.h"

// What the playlist asks of the player, answered by the player control's engine.
class CPlayer::PlayerLink : public TitleListPlayer {
public:
    explicit PlayerLink(CFunctions &functions) : m_functions(functions) {}
    void StopPlayback() override { m_functions.GetPlayer().Stop(); }
    void PlaySelected() override { m_functions.GetPlayer().Play(); }
    void RefreshCurrentRow() override { m_functions.GetPlayer().RefreshCurrentRow(); }
    void ShowCurrentTitle(const QString &title) override { m_functions.ShowTitle(title); }

private:
    CFunctions &m_functions;
};

CPlayer::CPlayer(Factories factories, QWidget *parent) : QWidget(parent), m_factories(std::move(factories)) {}

CPlayer::~CPlayer() {
    // Playback stops before the playlist goes (it saves the automatic playlist as it closes), and the
    // playlist must not call a player that is gone.
    for (Child child : {ChildFunctions, ChildPitch, ChildVolume}) {
        delete m_children[child];
        m_children[child] = nullptr;
        if (child == ChildFunctions && Playlist())
            Playlist()->List().SetPlayer(nullptr);
    }
    for (Child child : {ChildPLFunctions, ChildPlaylist, ChildDisplay}) {
        delete m_children[child];
        m_children[child] = nullptr;
    }
}

CFunctions *CPlayer::Functions() const {
    return dynamic_cast<CFunctions *>(m_children[ChildFunctions]);
}

CTitleList *CPlayer::Playlist() const {
    return static_cast<CTitleList *>(m_children[ChildPlaylist]);
}

CPLFunctions *CPlayer::PlaylistPanel() const {
    return static_cast<CPLFunctions *>(m_children[ChildPLFunctions]);
}

bool CPlayer::CreateChildren() {
    if (m_bCreated)
        return m_children[ChildVolume] != nullptr;
    m_bCreated = true;
    const auto make = [this](const ChildFactory &factory, const std::function<QWidget *()> &standard) {
        return factory ? factory(this) : standard();
    };
    Player *player = nullptr;
    const struct {
        Child child;
        const char *name;
        std::function<QWidget *()> create;
    } order[] = {
        {ChildDisplay, "CDisplay", [&] { return make(m_factories.display, [this] { return new QWidget(this); }); }},
        {ChildPlaylist, "CPlaylist", [this] { return new CTitleList(true, this); }},
        {ChildPLFunctions, "CPLFunctions", [this] { return new CPLFunctions(Playlist()->List(), this); }},
        {ChildFunctions, "CFunctions",
         [&] {
             return make(m_factories.functions, [&]() -> QWidget * {
                 auto *functions =
                     new CFunctions(&Playlist()->List(), dynamic_cast<PlayerView *>(m_children[ChildDisplay]), this);
                 player = &functions->GetPlayer();
                 return functions;
             });
         }},
        {ChildPitch, "CPitch",
         [&] {
             return make(m_factories.pitch,
                         [&]() -> QWidget * { return player ? new CPitch(player, this) : new QWidget(this); });
         }},
        {ChildVolume, "CVolume",
         [&] {
             return make(m_factories.volume,
                         [&]() -> QWidget * { return player ? new CVolume(player, this) : new QWidget(this); });
         }},
    };
    for (const auto &step : order) {
        QWidget *child = step.create();
        if (!child) {
            ShowError(61291, 0, QString::fromLatin1(step.name), ERR_STYLE_DETAIL);
            LayOut();
            return false;
        }
        child->setObjectName(QString::fromLatin1(step.name));
        child->show();
        m_children[step.child] = child;
    }
    // The lists' keys and context menus speak the panel's commands.
    connect(Playlist(), &CTitleList::Command, PlaylistPanel(), &CPLFunctions::OnCommand);
    if (CFunctions *functions = Functions()) {
        m_pLink = std::make_unique<PlayerLink>(*functions);
        Playlist()->List().SetPlayer(m_pLink.get());
        connect(PlaylistPanel(), &CPLFunctions::PlayRequested, this, [functions] { functions->OnCommand(1001); });
        auto *pitch = dynamic_cast<CPitch *>(m_children[ChildPitch]);
        auto *volume = dynamic_cast<CVolume *>(m_children[ChildVolume]);
        if (pitch && volume)
            functions->GetPlayer().SetSoundControls(&volume->Control(), &pitch->Control());
    }
    LayOut();
    return true;
}

QRect CPlayer::ChildRect(Child child, QSize size) {
    const int cx = size.width(), cy = size.height();
    switch (child) {
    case ChildDisplay:
        return QRect(0, 0, cx - 120, 105);
    case ChildVolume:
        return QRect(cx - 116, 0, 56, 191);
    case ChildPitch:
        return QRect(cx - 56, 0, 56, 191);
    case ChildFunctions:
        return QRect(0, 109, cx - 120, 82);
    case ChildPlaylist:
        return QRect(0, 195, cx, cy - 222);
    case ChildPLFunctions:
        return QRect(0, cy - 23, cx, 23);
    default:
        return QRect();
    }
}

void CPlayer::LayOut() {
    for (int c = 0; c < ChildCount; ++c) {
        if (m_children[c])
            m_children[c]->setGeometry(ChildRect(Child(c), size()));
    }
}

void CPlayer::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    CreateChildren();
}

void CPlayer::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    LayOut();
}
