#include "app/AppImages.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QString>
#include <QSvgRenderer>

namespace {
QString ImagePath(const QString &name)
{
    return QStringLiteral(":/res/images/%1.xpm").arg(name);
}

// The hand-drawn 16 and 32 pixel artwork, and the larger sizes that task
// switchers and docks ask for drawn from the scalable icon that traces it
// (a pixmap icon would only blow the 32 pixel artwork up).
QIcon ArtworkIcon(const QString &baseName)
{
    QIcon icon;
    icon.addFile(ImagePath(baseName + QStringLiteral("16")));
    icon.addFile(ImagePath(baseName + QStringLiteral("32")));
    QSvgRenderer drawing(QStringLiteral(":/res/images/%1.svg").arg(baseName));
    for (const int size : {48, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        drawing.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
} // namespace

namespace AppImages {

QIcon ApplicationIcon() { return ArtworkIcon(QStringLiteral("vellumix")); }

QIcon DocumentIcon() { return ArtworkIcon(QStringLiteral("document")); }

QPixmap ApplicationPixmap() { return QPixmap(ImagePath(QStringLiteral("vellumix32"))); }

QIcon ToolbarIcon(const QString &name)
{
    const QPixmap image(ImagePath(name));
    return image.isNull() ? QIcon() : QIcon(image);
}

} // namespace AppImages
