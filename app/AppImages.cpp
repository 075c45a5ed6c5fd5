#include "app/AppImages.h"

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace {
QString ImagePath(const QString &name)
{
    return QStringLiteral(":/res/images/%1.xpm").arg(name);
}

QIcon TwoSizeIcon(const QString &baseName)
{
    QIcon icon;
    icon.addFile(ImagePath(baseName + QStringLiteral("16")));
    icon.addFile(ImagePath(baseName + QStringLiteral("32")));
    return icon;
}
} // namespace

namespace AppImages {

QIcon ApplicationIcon() { return TwoSizeIcon(QStringLiteral("vellumix")); }

QIcon DocumentIcon() { return TwoSizeIcon(QStringLiteral("document")); }

QPixmap ApplicationPixmap() { return QPixmap(ImagePath(QStringLiteral("vellumix32"))); }

QIcon ToolbarIcon(const QString &name)
{
    const QPixmap image(ImagePath(name));
    return image.isNull() ? QIcon() : QIcon(image);
}

} // namespace AppImages
