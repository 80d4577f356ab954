// The layout of the volume and tempo panels, narrow columns beside the display.
#pragma once

#include <QVBoxLayout>
#include <QWidget>

// Small text and tight margins keep the captions whole in a column some 56 pixels wide.
inline QVBoxLayout *NarrowPanelLayout(QWidget *panel) {
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(1, 2, 1, 2);
    layout->setSpacing(2);
    QFont small = panel->font();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    panel->setFont(small);
    return layout;
}
