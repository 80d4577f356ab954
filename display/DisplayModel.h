// What the LCD display shows and where, apart from any painting: texts, grid and fonts.
#pragma once

#include <QRect>
#include <QString>

// The texts of the display and the rules that turn player values into them.
class DisplayTexts {
public:
    DisplayTexts();

    // "  %.2d:%.2d  " of whole minutes and seconds; an hour is 60 minutes, never "1:00:00".
    static QString FormatTime(int seconds);

    // False when nothing changed (same second, or elapsed < 0): the caller draws nothing new.
    bool SetTimes(int elapsed, int remaining);
    // Each returns false when nothing visible changed, so the caller need not repaint.
    // An empty text keeps the old title.
    bool SetTitle(const QString &title);
    // Without a format name the stored texts stay.
    bool SetFormat(const QString &formatName, int channels, unsigned samplesPerSec, unsigned avgBytesPerSec);
    // A negative index keeps the symbol.
    bool SetState(int state);

    QString strTitle, strElapsed, strRemaining;
    QString strRate, strChannels, strBitrate, strType;
    QString strRemainingLabel, strTypeLabel;
    int nState = 0; // 0 stopped, 1 paused, 2 playing
};

enum DisplayFont { FONT_SMALL, FONT_MEDIUM, FONT_LARGE, FONT_TITLE, FONT_COUNT };

// The 7 x 8 grid over the client area and the rectangles of each text.
struct DisplayLayout {
    explicit DisplayLayout(int clientWidth = 7, int clientHeight = 8);

    static double FontPoints(DisplayFont font, int cellHeight);
    QPoint StateIconPos() const;

    int nCellWidth = 1, nCellHeight = 1;
    QRect rcTitle, rcRate, rcChannels, rcBitrate, rcElapsed, rcRemainingLabel, rcRemaining, rcTypeLabel, rcType,
        rcState;
};

// The settings' colours are stored as 0x00BBGGRR.
struct DisplayColors {
    static unsigned ToStored(unsigned r, unsigned g, unsigned b) { return r | (g << 8) | (b << 16); }
    static unsigned Red(unsigned stored) { return stored & 0xFF; }
    static unsigned Green(unsigned stored) { return (stored >> 8) & 0xFF; }
    static unsigned Blue(unsigned stored) { return (stored >> 16) & 0xFF; }
};
