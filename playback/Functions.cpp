// The player control's widgets; every action goes straight to the player engine.
#include "Functions.h"

#include "Messages.h"
#include "PlayerSymbols.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProxyStyle>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace {

// A click in the groove puts the handle there (and a drag can go on from it), as media players do;
// the platform's style would only step a page towards the click.
class ClickToPositionStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override {
        if (hint == SH_Slider_AbsoluteSetButtons)
            return Qt::LeftButton;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// One for every position slider, alive for the whole run: a widget must not outlive its style, and a
// child of the slider would go before the slider has let go of it.
QStyle *PositionSliderStyle() {
    static auto *style = new ClickToPositionStyle;
    return style;
}

// The position moves every second, the handle only every few: a repaint is due only when it moved a pixel.
class CPositionSlider : public QSlider {
public:
    using QSlider::QSlider;

protected:
    void sliderChange(SliderChange change) override {
        if (change == SliderValueChange && m_rcPainted == HandleRect())
            return;
        QSlider::sliderChange(change);
    }
    void paintEvent(QPaintEvent *event) override {
        QSlider::paintEvent(event);
        m_rcPainted = HandleRect();
    }
    void resizeEvent(QResizeEvent *event) override {
        m_rcPainted = QRect();
        QSlider::resizeEvent(event);
    }

private:
    QRect HandleRect() const {
        QStyleOptionSlider option;
        initStyleOption(&option);
        return style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    }

    QRect m_rcPainted; // where the handle was last drawn
};

} // namespace

CFunctions::CFunctions(PlayerList *list, PlayerView *display, QWidget *parent)
    : QWidget(parent), m_pDisplay(display), m_pPlayer(std::make_unique<Player>(list, this)) {
    auto *layout = new QVBoxLayout(this);
    // The panel gives the control 82 pixels: the default margins would squeeze the buttons to a sliver.
    const QMargins margins = layout->contentsMargins();
    layout->setContentsMargins(margins.left(), 0, margins.right(), 0);
    layout->setSpacing(2);
    auto *toolbar = new QToolBar(this);
    toolbar->setIconSize(QSize(30, 20));
    const struct {
        int id;
        ButtonSymbol symbol;
    } buttons[] = {{1001, ButtonSymbol::Play},
                   {1002, ButtonSymbol::Stop},
                   {1005, ButtonSymbol::Pause},
                   {32808, ButtonSymbol::Previous},
                   {32834, ButtonSymbol::Next}};
    for (const auto &b : buttons) {
        // String table texts: the status line before "\n", the tooltip after it.
        const QStringList parts = LoadStringRes(unsigned(b.id)).split(QLatin1Char('\n'));
        QAction *action = toolbar->addAction(PlayerButtonIcon(b.symbol), parts.value(1));
        action->setStatusTip(parts.value(0));
        action->setToolTip(parts.value(1));
        connect(action, &QAction::triggered, this, [this, id = b.id] { OnCommand(id); });
        m_actions.emplace_back(b.id, action);
    }
    layout->addWidget(toolbar);

    m_pSlider = new CPositionSlider(Qt::Horizontal, this);
    m_pSlider->setObjectName(QStringLiteral("1058"));
    m_pSlider->setRange(0, 0);
    m_pSlider->setStyle(PositionSliderStyle());
    connect(m_pSlider, &QSlider::sliderMoved, this, [this](int pos) { m_pPlayer->SliderMoving(FromSlider(pos)); });
    connect(m_pSlider, &QSlider::sliderReleased, this,
            [this] { m_pPlayer->SliderReleased(FromSlider(m_pSlider->sliderPosition())); });
    // A key (arrows, pages, Home, End) moves the handle in one step: that is a whole scroll action with
    // its end at once. The slider announces the action with the handle already moved but before taking
    // the new value; read later, the value may have been put back by a tick in between.
    connect(m_pSlider, &QSlider::actionTriggered, this, [this](int action) {
        if (action == QAbstractSlider::SliderMove)
            return;
        const uint32_t position = FromSlider(m_pSlider->sliderPosition());
        m_pPlayer->SliderMoving(position);
        m_pPlayer->SliderReleased(position);
    });
    layout->addWidget(m_pSlider);

    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QCoreApplication::translate("CFunctions", "Mode"), this));
    m_pMode = new QComboBox(this);
    m_pMode->setObjectName(QStringLiteral("1180"));
    m_pMode->addItems(
        {QCoreApplication::translate("CFunctions", "Standard"), QCoreApplication::translate("CFunctions", "Random"),
         QCoreApplication::translate("CFunctions", "Repeat Title"),
         QCoreApplication::translate("CFunctions", "Repeat All"), QCoreApplication::translate("CFunctions", "Intro")});
    m_pMode->setCurrentIndex(m_pPlayer->GetPlayMode());
    connect(m_pMode, &QComboBox::currentIndexChanged, this, [this](int index) { m_pPlayer->SetPlayMode(index); });
    row->addWidget(m_pMode, 1);
    auto *properties = new QPushButton(QCoreApplication::translate("CFunctions", "Properties..."), this);
    connect(properties, &QPushButton::clicked, this, [this] {
        if (onProperties)
            onProperties();
    });
    row->addWidget(properties);
    layout->addLayout(row);

    m_pTimer = new QTimer(this);
    m_pTimer->setInterval(100);
    connect(m_pTimer, &QTimer::timeout, this, [this] { m_pPlayer->Tick(); });
}

CFunctions::~CFunctions() {
    // The player stops before the widgets it reports to go away.
    m_pPlayer.reset();
}

bool CFunctions::OnCommand(int id) {
    switch (id) {
    case 1001:
        m_pPlayer->Play();
        return true;
    case 1002:
        m_pPlayer->Stop();
        return true;
    case 1005:
        m_pPlayer->Pause();
        return true;
    case 32808:
        m_pPlayer->Previous();
        return true;
    case 32834:
        m_pPlayer->Next();
        return true;
    default:
        return false;
    }
}

QAction *CFunctions::Action(int id) const {
    for (const auto &[actionId, action] : m_actions)
        if (actionId == id)
            return action;
    return nullptr;
}

void CFunctions::ShowTitle(const QString &title) {
    if (m_pDisplay)
        m_pDisplay->ShowTitle(title);
}

void CFunctions::ShowFormat(const char *tag, int channels, int samplesPerSec, uint32_t avgBytesPerSec) {
    if (m_pDisplay)
        m_pDisplay->ShowFormat(tag, channels, samplesPerSec, avgBytesPerSec);
}

void CFunctions::ShowSymbol(PlaySymbol symbol) {
    if (m_pDisplay)
        m_pDisplay->ShowSymbol(symbol);
}

void CFunctions::ShowTime(int elapsed, int remaining) {
    if (m_pDisplay)
        m_pDisplay->ShowTime(elapsed, remaining);
}

QString CFunctions::ApplicationTitle() const {
    return LoadStringRes(57344);
}

QString CFunctions::Caption() const {
    return window()->windowTitle();
}

void CFunctions::SetCaption(const QString &caption) {
    // Only a control that sits in the main window owns its caption.
    if (window() != this)
        window()->setWindowTitle(caption);
}

bool CFunctions::IsMainWindowActive() const {
    return QApplication::activeWindow() == window();
}

uint32_t CFunctions::FromSlider(int value) const {
    const uint64_t position = uint64_t(std::max(value, 0)) << m_nSliderShift;
    // The last step up reaches the very end, not the end less what the halving dropped.
    return value >= m_pSlider->maximum() ? m_dwSliderMax : uint32_t(std::min<uint64_t>(position, m_dwSliderMax));
}

void CFunctions::SetSliderRange(uint32_t min, uint32_t max) {
    m_nSliderShift = 0;
    while ((max >> m_nSliderShift) > uint32_t(INT_MAX))
        ++m_nSliderShift;
    m_dwSliderMax = max;
    m_pSlider->setRange(ToSlider(min), ToSlider(max));
}

void CFunctions::SetSliderSteps(uint32_t singleStep, uint32_t pageStep) {
    m_pSlider->setSingleStep(std::max(ToSlider(singleStep), 1));
    m_pSlider->setPageStep(std::max(ToSlider(pageStep), 1));
}

void CFunctions::SetSliderPos(uint32_t pos) {
    if (!m_pSlider->isSliderDown())
        m_pSlider->setValue(ToSlider(pos));
}

void CFunctions::StartTimer() {
    m_pTimer->start();
}

void CFunctions::KillTimer() {
    m_pTimer->stop();
}
