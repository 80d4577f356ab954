// Drives modal dialogs the way a user does: waits for the dialog, then types and clicks into it.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

// Runs action on the next modal dialog of type T as soon as it shows (gives up after 10 s).
template <typename T> void WhenShown(std::function<void(T *)> action) {
    auto *timer = new QTimer;
    auto started = std::make_shared<qint64>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, action, started] {
        *started += 10;
        auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!dialog && *started < 10000)
            return;
        timer->stop();
        timer->deleteLater();
        if (dialog)
            action(dialog);
    });
    timer->start(10);
}

inline void Click(QAbstractButton *button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

inline void ClickButton(QWidget *dialog, QDialogButtonBox::StandardButton which) {
    if (auto *box = dialog->findChild<QDialogButtonBox *>())
        Click(box->button(which));
}
