// Where the main view's panes go for a client size, and how small the frame may get.
#pragma once

#include <QRect>
#include <QSize>

inline constexpr QSize kMinFrameSize{550, 500};

struct MainViewLayout {
    // w = (W - 8) / 3 and h = (H - 8) / 3, truncated towards zero.
    static MainViewLayout For(int clientWidth, int clientHeight);

    QRect rcPlayer, rcTree, rcRefresh, rcFreedb, rcFileList;
};
