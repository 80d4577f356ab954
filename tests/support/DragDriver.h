// A drag carried out as a window system does it, for the offscreen platform whose own drag ends at once.
#pragma once

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QEventLoop>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

// While a drag runs, the mouse events the test sends become drag enter, move and leave events for the
// widget under the pointer that takes drops, and the button's release becomes the drop there. The test
// scripts the moves that follow the start of the drag; they are played from inside the drag, as the
// drag blocks the move that started it.
class DragDriver : public QObject {
public:
    explicit DragDriver(std::function<void()> script) : m_script(std::move(script)) {}

    Qt::DropAction Run(QDrag &drag) {
        ++m_nStarted;
        m_pDrag = &drag;
        m_result = Qt::IgnoreAction;
        QEventLoop loop;
        m_pLoop = &loop;
        qApp->installEventFilter(this);
        QTimer::singleShot(0, &loop, [this] { m_script(); });
        QTimer::singleShot(10000, &loop, &QEventLoop::quit); // a script that never lets go
        loop.exec();
        qApp->removeEventFilter(this);
        m_pLoop = nullptr;
        m_pDrag = nullptr;
        return m_result;
    }
    int DragsStarted() const { return m_nStarted; }

protected:
    bool eventFilter(QObject *receiver, QEvent *event) override {
        if (event->type() != QEvent::MouseMove && event->type() != QEvent::MouseButtonRelease)
            return false;
        auto *widget = qobject_cast<QWidget *>(receiver);
        if (!widget || !m_pDrag)
            return false;
        const auto *mouse = static_cast<QMouseEvent *>(event);
        // The drop goes to the widget under the pointer or the nearest parent that takes drops.
        QWidget *target = widget;
        while (target && !(target->acceptDrops() && target->isEnabled()))
            target = target->isWindow() ? nullptr : target->parentWidget();
        const QPoint global = mouse->globalPosition().toPoint();
        if (target != m_pTarget) {
            if (m_pTarget) {
                QDragLeaveEvent leave;
                QCoreApplication::sendEvent(m_pTarget, &leave);
            }
            m_pTarget = target;
            m_accepted = Qt::IgnoreAction;
            if (target) {
                QDragEnterEvent enter(target->mapFromGlobal(global), Actions(), m_pDrag->mimeData(), mouse->buttons(),
                                      mouse->modifiers());
                QCoreApplication::sendEvent(target, &enter);
                m_accepted = enter.isAccepted() ? enter.dropAction() : Qt::IgnoreAction;
            }
        }
        if (m_pTarget && m_accepted != Qt::IgnoreAction) {
            QDragMoveEvent move(m_pTarget->mapFromGlobal(global), Actions(), m_pDrag->mimeData(), mouse->buttons(),
                                mouse->modifiers());
            move.setDropAction(m_accepted);
            move.accept();
            QCoreApplication::sendEvent(m_pTarget, &move);
            m_accepted = move.isAccepted() ? move.dropAction() : Qt::IgnoreAction;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            if (m_pTarget && m_accepted != Qt::IgnoreAction) {
                QDropEvent drop(m_pTarget->mapFromGlobal(global), Actions(), m_pDrag->mimeData(), mouse->buttons(),
                                mouse->modifiers());
                QCoreApplication::sendEvent(m_pTarget, &drop);
                m_result = drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
            }
            m_pTarget = nullptr;
            if (m_pLoop)
                m_pLoop->quit();
        }
        return true; // the drag has the mouse to itself
    }

private:
    static Qt::DropActions Actions() { return Qt::CopyAction | Qt::MoveAction; }

    std::function<void()> m_script;
    QDrag *m_pDrag = nullptr;
    QEventLoop *m_pLoop = nullptr;
    QPointer<QWidget> m_pTarget;
    Qt::DropAction m_accepted = Qt::IgnoreAction;
    Qt::DropAction m_result = Qt::IgnoreAction;
    int m_nStarted = 0;
};
