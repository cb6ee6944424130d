// Rasterises icon drawings into 16 by 16 pixel PNG files, rendered the way the tool
// renders the drawings it embeds as SVG: transparent background, scaled to fit and
// centred, anti-aliased.
// Usage: render-icons <svg-file> <png-file> [<svg-file> <png-file>...]

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

namespace {

constexpr int iconSize = 16;

bool render(const QString &svgFile, const QString &pngFile) {
    QSvgRenderer renderer(svgFile);
    if (!renderer.isValid())
        return false;
    QImage image(iconSize, iconSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSizeF size = renderer.viewBoxF().size();
    if (size.isEmpty())
        size = QSizeF(iconSize, iconSize);
    size.scale(iconSize, iconSize, Qt::KeepAspectRatio);
    const QRectF target((iconSize - size.width()) / 2, (iconSize - size.height()) / 2, size.width(),
                        size.height());
    QPainter painter(&image);
    renderer.render(&painter, target);
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32).save(pngFile, "PNG");
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.size() % 2 != 0) {
        std::fprintf(stderr, "usage: render-icons <svg-file> <png-file>...\n");
        return 2;
    }
    int status = 0;
    for (qsizetype i = 0; i < args.size(); i += 2) {
        if (!render(args[i], args[i + 1])) {
            std::fprintf(stderr, "render-icons: cannot render %s\n", qPrintable(args[i]));
            status = 1;
        }
    }
    return status;
}
