// The main window's placement as WINDOW-STATUS keeps it.
#pragma once

#include <QRect>

// Show states as the settings store them.
enum : int { SW_SHOWNORMAL = 1, SW_SHOWMINIMIZED = 2, SW_SHOWMAXIMIZED = 3, SW_SHOW = 5 };
enum : int { WPF_RESTORETOMAXIMIZED = 2 };

struct WindowPlacement {
    QRect rcNormal{QPoint(100, 100), QPoint(499, 399)}; // Left, Top, Right, Bottom = 100, 100, 500, 400
    int nFlags = 0;
    int nShow = SW_SHOW;

    static WindowPlacement Load();
    void Save() const;

    // The rectangle to show: at least the minimum frame size and at most the screen's, never with its top
    // above the screen, and on the screen.
    QRect RestoredRect(const QRect &screen) const;
    bool StartsMaximized() const { return nShow == SW_SHOWMAXIMIZED || (nFlags & WPF_RESTORETOMAXIMIZED); }
};
