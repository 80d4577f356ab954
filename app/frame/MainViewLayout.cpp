// The main view's layout formula.
#include "MainViewLayout.h"

MainViewLayout MainViewLayout::For(int W, int H) {
    const int w = (W - 8) / 3;
    const int h = (H - 8) / 3;
    MainViewLayout l;
    l.rcPlayer = QRect(4, 4, 3 * w, 2 * h);
    l.rcTree = QRect(4, 2 * h + 8, w - 2, h - 31);
    l.rcRefresh = QRect(4, 3 * h - 19, 76, 23);
    l.rcFreedb = QRect(w - 74, 3 * h - 19, 76, 23);
    l.rcFileList = QRect(w + 6, 2 * h + 8, 2 * w - 2, h - 4);
    return l;
}
