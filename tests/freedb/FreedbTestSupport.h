// Finding the windows a test drives: top-level widgets by object name, and waiting until one shows.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>

template <class W> inline W *FindTopLevel(const char *name) {
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String(name) && w->isVisible())
            if (auto *cast = qobject_cast<W *>(w))
                return cast;
    return nullptr;
}

// Runs the action on the window once it shows (polled, so a slow machine only waits longer).
template <class W> inline void WhenShown(const char *name, std::function<void(W *)> action) {
    auto *timer = new QTimer;
    auto *clock = new QElapsedTimer;
    clock->start();
    QObject::connect(timer, &QTimer::timeout, [=] {
        W *window = FindTopLevel<W>(name);
        if (!window && clock->elapsed() < 10000)
            return;
        timer->stop();
        timer->deleteLater();
        delete clock;
        ASSERT_TRUE(window) << name;
        action(window);
    });
    timer->start(20);
}
