#include "PlayerSymbols.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>

#include <algorithm>

namespace {

class SymbolEngine : public QIconEngine {
public:
    explicit SymbolEngine(ButtonSymbol symbol) : m_symbol(symbol) {}

    QIconEngine *clone() const override { return new SymbolEngine(m_symbol); }
    QString key() const override { return QStringLiteral("MelvoPlayerSymbol"); }

    // The rect is in the target's device pixels when a pixmap is asked for, so the edges stay sharp.
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override {
        const QPalette palette = QGuiApplication::palette();
        const QColor colour =
            palette.color(mode == QIcon::Disabled ? QPalette::Disabled : QPalette::Active, QPalette::WindowText);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(colour);
        painter->drawPath(Shape(rect));
        painter->restore();
    }

    // The base class would leave the pixmap's background unset.
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, pixmap.rect(), mode, state);
        return pixmap;
    }

private:
    QPainterPath Shape(const QRectF &rect) const {
        // Four fifths of the height leave the margin a symbol needs to read as one; the widths keep the
        // proportions of the classic pictures.
        const qreal h = rect.height() * 0.8;
        const qreal triangle = h * 0.5, bar = h * 0.16;
        const bool skip = m_symbol == ButtonSymbol::Previous || m_symbol == ButtonSymbol::Next;
        const qreal width =
            std::min(skip ? 2 * triangle + bar : h * (m_symbol == ButtonSymbol::Stop ? 0.9 : 0.8), rect.width());
        const qreal x = rect.center().x() - width / 2, y = rect.center().y() - h / 2;
        QPainterPath path;
        switch (m_symbol) {
        case ButtonSymbol::Play:
            path.addPolygon(QPolygonF({{x, y}, {x + width, y + h / 2}, {x, y + h}}));
            break;
        case ButtonSymbol::Stop:
            path.addRect(QRectF(x, rect.center().y() - width / 2, width, width));
            break;
        case ButtonSymbol::Pause: {
            const qreal w = width * 0.35;
            path.addRect(QRectF(x, y, w, h));
            path.addRect(QRectF(x + width - w, y, w, h));
            break;
        }
        case ButtonSymbol::Previous:
            path.addRect(QRectF(x, y, bar, h));
            for (int i = 0; i < 2; ++i) {
                const qreal left = x + bar + i * triangle;
                path.addPolygon(QPolygonF({{left + triangle, y}, {left, y + h / 2}, {left + triangle, y + h}}));
            }
            break;
        case ButtonSymbol::Next:
            for (int i = 0; i < 2; ++i) {
                const qreal left = x + i * triangle;
                path.addPolygon(QPolygonF({{left, y}, {left + triangle, y + h / 2}, {left, y + h}}));
            }
            path.addRect(QRectF(x + 2 * triangle, y, bar, h));
            break;
        }
        path.setFillRule(Qt::WindingFill);
        return path;
    }

    ButtonSymbol m_symbol;
};

} // namespace

QIcon PlayerButtonIcon(ButtonSymbol symbol) {
    return QIcon(new SymbolEngine(symbol));
}
