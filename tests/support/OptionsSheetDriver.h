// Drives the options sheet the way a user does: opened from the main frame's menu, a page's tab clicked,
// and the dialogs a page opens answered while they are up.
#pragma once

#include "MainFrame.h"
#include "OptionPage.h"
#include "OptionsSheet.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

// Runs the action on the modal dialog of type T as soon as it is up (gives up after about 5 s).
template <typename T> void WhenOpen(std::function<void(T &)> action) {
    auto *timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, action, tries] {
        auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!dialog && ++*tries < 1000)
            return;
        timer->stop();
        timer->deleteLater();
        if (dialog)
            action(*dialog);
    });
    timer->start(5);
}

// Clicks a check box or radio button on its box: beside its text a wide one takes no click.
inline void ClickBox(QAbstractButton *button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

// Clicks the page's tab and returns the page.
template <typename Page> Page *ShowPage(COptionsSheet &sheet) {
    QTabWidget *tabs = sheet.Pages();
    for (int i = 0; i < tabs->count(); ++i)
        if (auto *page = qobject_cast<Page *>(tabs->widget(i))) {
            QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(i).center());
            return page;
        }
    return nullptr;
}

// "Options..." from the menu; the steps run while the sheet is open, then OK (or Cancel) closes it.
inline void WithOptionsSheet(CMainFrame &frame, std::function<void(COptionsSheet &)> steps, bool bOK = true) {
    WhenOpen<COptionsSheet>([steps = std::move(steps), bOK](COptionsSheet &sheet) {
        steps(sheet);
        if (auto *buttons = sheet.findChild<QDialogButtonBox *>(); buttons && sheet.isVisible())
            QTest::mouseClick(buttons->button(bOK ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel), Qt::LeftButton);
        if (sheet.isVisible())
            sheet.reject(); // a page refused OK: the test reports it, it must not hang
    });
    frame.Action(32786)->trigger();
}
