// The LCD-like display of the player panel: title, times, format and state on one-coloured ground.
#pragma once

#include "DisplayModel.h"

#include <QColor>
#include <QFont>
#include <QFrame>
#include <QIcon>
#include <QPixmap>

#include <array>

// A sunken edge frames the display; its grid and every position are those of the area inside the edge.
class CDisplay : public QFrame {
    Q_OBJECT
public:
    explicit CDisplay(QWidget *parent = nullptr);

    // The operations the player calls; each repaints only what it changed.
    void SetTimes(int elapsed, int remaining);
    void SetTitle(const QString &title);
    void SetFormat(const QString &formatName, int channels, unsigned samplesPerSec, unsigned avgBytesPerSec);
    void SetState(int state);

    // Reads the DISPLAY section and recreates the fonts (after the options were confirmed).
    void LoadSettings();
    void CreateFonts();

    // The preview of the view options sets these directly.
    void SetColors(const QColor &front, const QColor &back);
    void SetFontName(const QString &name);
    void SetTexts(const DisplayTexts &texts);
    // The state pictures for stopped, paused and playing (by default the registry component's).
    void SetStateIcons(const std::array<QIcon, 3> &icons);

    const DisplayTexts &Texts() const { return m_texts; }
    const DisplayLayout &Layout() const { return m_layout; }
    QColor FrontColor() const { return m_crFront; }
    QColor BackColor() const { return m_crBack; }
    QString FontName() const { return m_strFontName; }
    const QFont &Font(DisplayFont which) const { return m_fonts[which]; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Repaints one area, given in the coordinates inside the edge.
    void UpdateArea(const QRect &area);
    void DrawText(QPainter &painter, const QRect &area, const QString &text, DisplayFont font);
    void DrawState(QPainter &painter);

    DisplayTexts m_texts;
    DisplayLayout m_layout;
    QColor m_crBack, m_crFront;
    QString m_strFontName;
    std::array<QFont, FONT_COUNT> m_fonts;
    std::array<QIcon, 3> m_icons;
    QRect m_rcDirty;  // the part being repainted, inside the edge
    QPixmap m_tinted; // the last symbol drawn, in the text colour
    int m_nTintedState = -1;
    QColor m_crTinted;
};
