// Paints the display; all values come from DisplayTexts and DisplayLayout.
#include "Display.h"

#include "Messages.h"
#include "Settings.h"
#include "registry/Registry.h"

#include <QCoreApplication>
#include <QFontInfo>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QTimer>

#include <atomic>

namespace {

// Once per run, and after the paint or resize that met the failure: a box inside either would re-enter.
void ShowOnce(std::atomic<bool> &shown, const QString &text) {
    if (shown.exchange(true))
        return;
    QTimer::singleShot(0, QCoreApplication::instance(), [text] { ShowMessage(text); });
}

std::atomic<bool> g_fontErrorShown{false};
std::atomic<bool> g_stateErrorShown{false};

QColor FromStored(int stored) {
    const unsigned v = static_cast<unsigned>(stored);
    return QColor(DisplayColors::Red(v), DisplayColors::Green(v), DisplayColors::Blue(v));
}

} // namespace

CDisplay::CDisplay(QWidget *parent) : QFrame(parent) {
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    // Painting fills every pixel, so Qt need not erase first: no flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setEnabled(false); // takes no mouse input
    m_icons = {RegistryIcon(168), RegistryIcon(169), RegistryIcon(167)};
    LoadSettings();
}

void CDisplay::LoadSettings() {
    m_crBack = FromStored(GetSettingInt(QStringLiteral("DISPLAY"), QStringLiteral("Backcolor"), 0));
    m_crFront = FromStored(GetSettingInt(QStringLiteral("DISPLAY"), QStringLiteral("Frontcolor"), 0xFF00));
    m_strFontName = GetSettingString(QStringLiteral("DISPLAY"), QStringLiteral("Font"), QStringLiteral("Arial"));
    CreateFonts();
}

void CDisplay::CreateFonts() {
    for (int i = 0; i < FONT_COUNT; ++i) {
        QFont font(m_strFontName);
        const double points = DisplayLayout::FontPoints(static_cast<DisplayFont>(i), m_layout.nCellHeight);
        font.setPointSizeF(points > 0 ? points : 1.0);
        // A face that is not installed falls back to a similar one; only a system without any font fails.
        if (QFontInfo(font).family().isEmpty())
            ShowOnce(g_fontErrorShown, tr("Font Create Error"));
        m_fonts[i] = font;
    }
    update();
}

void CDisplay::SetColors(const QColor &front, const QColor &back) {
    m_crFront = front;
    m_crBack = back;
    update();
}

void CDisplay::SetTexts(const DisplayTexts &texts) {
    m_texts = texts;
    update();
}

void CDisplay::SetStateIcons(const std::array<QIcon, 3> &icons) {
    m_icons = icons;
    update(m_layout.rcState);
}

void CDisplay::SetFontName(const QString &name) {
    m_strFontName = name;
    CreateFonts();
}

void CDisplay::SetTimes(int elapsed, int remaining) {
    if (m_texts.SetTimes(elapsed, remaining))
        UpdateArea(m_layout.rcElapsed.united(m_layout.rcRemaining).united(m_layout.rcRemainingLabel));
}

void CDisplay::SetTitle(const QString &title) {
    if (m_texts.SetTitle(title))
        UpdateArea(m_layout.rcTitle);
}

void CDisplay::SetFormat(const QString &formatName, int channels, unsigned samplesPerSec, unsigned avgBytesPerSec) {
    if (m_texts.SetFormat(formatName, channels, samplesPerSec, avgBytesPerSec))
        UpdateArea(m_layout.rcRate.united(m_layout.rcChannels)
                       .united(m_layout.rcBitrate)
                       .united(m_layout.rcType)
                       .united(m_layout.rcTypeLabel));
}

void CDisplay::SetState(int state) {
    if (m_texts.SetState(state))
        UpdateArea(m_layout.rcState);
}

void CDisplay::resizeEvent(QResizeEvent *event) {
    QFrame::resizeEvent(event);
    m_layout = DisplayLayout(contentsRect().width(), contentsRect().height());
    CreateFonts();
}

void CDisplay::UpdateArea(const QRect &area) {
    update(area.translated(contentsRect().topLeft()));
}

void CDisplay::DrawText(QPainter &painter, const QRect &area, const QString &text, DisplayFont font) {
    // Laying out text is the costly part of a paint; an area outside the repainted part keeps its pixels.
    if (!m_rcDirty.intersects(area))
        return;
    painter.setFont(m_fonts[font]);
    painter.drawText(area, Qt::AlignCenter | Qt::TextSingleLine, text);
}

void CDisplay::DrawState(QPainter &painter) {
    if (!m_rcDirty.intersects(m_layout.rcState))
        return;
    painter.fillRect(m_layout.rcState, m_crBack);
    const int index = m_texts.nState;
    if (index < 0 || index >= int(m_icons.size()) || m_icons[index].isNull()) {
        ShowOnce(g_stateErrorShown, tr("drawState fails"));
        return; // the place stays empty
    }
    if (m_nTintedState != index || m_crTinted != m_crFront || m_tinted.isNull()) {
        // The symbol is a silhouette in the text colour: the icon only lends its shape.
        const QPixmap shape = m_icons[index].pixmap(32, 32);
        QPixmap tinted(shape.size());
        tinted.fill(Qt::transparent);
        QPainter tint(&tinted);
        tint.drawPixmap(0, 0, shape);
        tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tint.fillRect(tinted.rect(), m_crFront);
        tint.end();
        m_tinted = tinted;
        m_nTintedState = index;
        m_crTinted = m_crFront;
    }
    painter.drawPixmap(m_layout.StateIconPos(), m_tinted);
}

void CDisplay::paintEvent(QPaintEvent *event) {
    QPainter painter(this);
    drawFrame(&painter);
    painter.setClipRect(contentsRect());
    painter.translate(contentsRect().topLeft());
    m_rcDirty = event->rect().translated(-contentsRect().topLeft());
    painter.fillRect(QRect(QPoint(0, 0), contentsRect().size()).intersected(m_rcDirty), m_crBack);
    painter.setPen(m_crFront);
    painter.setBackground(m_crBack);
    painter.setBackgroundMode(Qt::OpaqueMode);
    DrawText(painter, m_layout.rcElapsed, m_texts.strElapsed, FONT_LARGE);
    DrawText(painter, m_layout.rcRemainingLabel, m_texts.strRemainingLabel, FONT_SMALL);
    DrawText(painter, m_layout.rcRemaining, m_texts.strRemaining, FONT_MEDIUM);
    DrawState(painter);
    DrawText(painter, m_layout.rcTitle, m_texts.strTitle, FONT_TITLE);
    DrawText(painter, m_layout.rcTypeLabel, m_texts.strTypeLabel, FONT_SMALL);
    DrawText(painter, m_layout.rcRate, m_texts.strRate, FONT_SMALL);
    DrawText(painter, m_layout.rcChannels, m_texts.strChannels, FONT_SMALL);
    DrawText(painter, m_layout.rcBitrate, m_texts.strBitrate, FONT_SMALL);
    DrawText(painter, m_layout.rcType, m_texts.strType, FONT_MEDIUM);
}
