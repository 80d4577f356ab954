// The numbered pictures, drawn from the component's own SVG resources.
#include "Registry.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

namespace {

QString ResourcePath(const char *kind, int id) {
    return QStringLiteral(":/registry/%1/%2.svg").arg(QLatin1String(kind)).arg(id);
}

QPixmap Render(const QString &path, QSize size = QSize()) {
    if (!QFile::exists(path))
        return {};
    QSvgRenderer renderer(path);
    if (!renderer.isValid())
        return {};
    if (!size.isValid())
        size = renderer.defaultSize();
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    return QPixmap::fromImage(image);
}

} // namespace

QPixmap RegistryBitmap(int id) {
    return Render(ResourcePath("bitmap", id));
}

QIcon RegistryIcon(int id) {
    const QString path = ResourcePath("icon", id);
    if (!QFile::exists(path))
        return {};
    QIcon icon;
    for (int side : {16, 24, 32, 48})
        icon.addPixmap(Render(path, QSize(side, side)));
    return icon;
}

QCursor RegistryCursor(int id, bool *found) {
    const QPixmap picture = Render(ResourcePath("cursor", id));
    if (found)
        *found = !picture.isNull();
    if (picture.isNull())
        return QCursor(Qt::ArrowCursor);
    return QCursor(picture, 10, 2); // the fingertip
}
