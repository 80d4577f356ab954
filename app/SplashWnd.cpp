// Paints the splash picture with the version and takes it away after its time.
#include "SplashWnd.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPointer>
#include <QScreen>

CSplashWnd *CSplashWnd::ShowSplash(const QPixmap &picture, const QString &version, QWidget *over) {
    if (picture.isNull())
        return nullptr;
    auto *splash = new CSplashWnd(picture, version, over);
    splash->show();
    splash->repaint();
    return splash;
}

CSplashWnd::CSplashWnd(const QPixmap &picture, const QString &version, QWidget *over)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_picture(picture),
      m_version(version), m_over(over) {
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(kWidth, kHeight);
    QRect area = over ? over->frameGeometry() : QRect();
    if (!area.isValid() || area.isEmpty())
        area = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry() : QRect();
    move(area.center() - QPoint(kWidth / 2, kHeight / 2));
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &CSplashWnd::HideSplash);
    m_timer.start(kShowMs);
}

void CSplashWnd::HideSplash() {
    m_timer.stop();
    QPointer<QWidget> over = m_over;
    close();
    if (over)
        over->repaint();
}

void CSplashWnd::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.drawPixmap(rect(), m_picture);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(16);
    painter.setFont(font);
    painter.setPen(QColor(0x1b, 0x2a, 0x4a));
    painter.drawText(rect().adjusted(0, 0, -14, -10), Qt::AlignRight | Qt::AlignBottom, m_version);
    painter.setPen(Qt::gray);
    painter.drawRect(rect().adjusted(0, 0, -1, -1)); // the thin border
}
