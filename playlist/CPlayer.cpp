// The player panel: makes its children in order and lays them out on every resize.
#include "CPlayer.h"

#include "CPLFunctions.h"
#include "CTitleList.h"
#include "Messages.h"

CPlayer::CPlayer(Factories factories, QWidget *parent) : QWidget(parent), m_factories(std::move(factories)) {}

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
    const auto make = [this](const ChildFactory &factory) -> QWidget * {
        return factory ? factory(this) : new QWidget(this);
    };
    const struct {
        Child child;
        const char *name;
        std::function<QWidget *()> create;
    } order[] = {
        {ChildDisplay, "CDisplay", [&] { return make(m_factories.display); }},
        {ChildPlaylist, "CPlaylist", [this] { return new CTitleList(true, this); }},
        {ChildPLFunctions, "CPLFunctions", [this] { return new CPLFunctions(Playlist()->List(), this); }},
        {ChildFunctions, "CFunctions", [&] { return make(m_factories.functions); }},
        {ChildPitch, "CPitch", [&] { return make(m_factories.pitch); }},
        {ChildVolume, "CVolume", [&] { return make(m_factories.volume); }},
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
