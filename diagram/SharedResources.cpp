#include "diagram/SharedResources.h"

#include <QFont>
#include <QPixmap>

namespace Shared {

const QFont &DiagramFont()
{
    static const QFont font = [] {
        QFont f(QStringLiteral("Arial"));
        f.setPixelSize(14);
        f.setWeight(QFont::Normal);
        f.setStyleHint(QFont::SansSerif);
        return f;
    }();
    return font;
}

const QPixmap &DbImage(int index)
{
    static QPixmap images[kImageCount];
    if (index < 0 || index >= kImageCount)
        index = 5;
    QPixmap &image = images[index];
    if (image.isNull()) {
        image = QPixmap(kImageSize, kImageSize);
        image.fill(Qt::transparent);
    }
    return image;
}

} // namespace Shared
