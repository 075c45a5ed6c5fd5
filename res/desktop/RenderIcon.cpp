// Build-time helper: writes one icon size as a PNG for the icon theme.
//
//   vellumix_rendericon SOURCE SIZE OUTPUT.png
//
// A scalable SOURCE (.svg) is drawn at SIZE x SIZE. Hand-drawn pixel artwork
// (.xpm) is copied as it is and must already be SIZE x SIZE: scaling pixel
// art up only blurs it, so a size without its own artwork comes from the
// scalable drawing instead.

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QString>
#include <QSvgRenderer>

#include <cstdio>

namespace {

QImage Render(const QString &source, int size, QString &error)
{
    if (source.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
        QSvgRenderer renderer(source);
        if (!renderer.isValid()) {
            error = QStringLiteral("not a readable SVG drawing");
            return {};
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        renderer.render(&painter, QRectF(0, 0, size, size));
        return image;
    }
    const QImage image(source);
    if (image.isNull()) {
        error = QStringLiteral("not a readable image");
        return {};
    }
    if (image.size() != QSize(size, size)) {
        error = QStringLiteral("is %1 x %2 pixels, not %3 x %3")
                    .arg(image.width())
                    .arg(image.height())
                    .arg(size);
        return {};
    }
    // Straight RGBA like the drawn sizes, rather than the artwork's palette.
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s SOURCE SIZE OUTPUT.png\n", argv[0]);
        return 2;
    }
    const QString source = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[3]);
    bool sizeOk = false;
    const int size = QByteArray(argv[2]).toInt(&sizeOk);
    if (!sizeOk || size <= 0) {
        std::fprintf(stderr, "%s: the size must be a positive number\n", argv[0]);
        return 2;
    }

    QString error;
    const QImage image = Render(source, size, error);
    if (image.isNull()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(source), qPrintable(error));
        return 1;
    }
    // Through a temporary file, so that an interrupted build leaves no
    // truncated icon that looks up to date.
    QSaveFile file(output);
    if (!QDir().mkpath(QFileInfo(output).absolutePath()) || !file.open(QIODevice::WriteOnly)
        || !image.save(&file, "PNG") || !file.commit()) {
        std::fprintf(stderr, "%s: cannot be written\n", qPrintable(output));
        return 1;
    }
    return 0;
}
