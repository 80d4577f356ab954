// The splash window shown while the main window is being built.
#pragma once

#include <QPixmap>
#include <QTimer>
#include <QWidget>

class CSplashWnd : public QWidget {
public:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 150;
    static constexpr int kShowMs = 1500;

    // Shows the picture and the version text centred over the window, or nothing without a picture.
    // The splash closes itself after kShowMs; it is deleted when closed.
    static CSplashWnd *ShowSplash(const QPixmap &picture, const QString &version, QWidget *over);

    // Ends the splash early (the end of start-up) or on its timer; repaints the window below at once.
    void HideSplash();

protected:
    void paintEvent(QPaintEvent *) override;

private:
    CSplashWnd(const QPixmap &picture, const QString &version, QWidget *over);

    QPixmap m_picture;
    QString m_version;
    QWidget *m_over;
    QTimer m_timer;
};
