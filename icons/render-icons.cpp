// Rasterises icon drawings into 16 by 16 pixel PNG files, rendered the way icon-files
// renders the drawings kept as SVG: transparent background, scaled to fit and centred,
// anti-aliased.
// Usage: render-icons <svg-file> <png-file> [<svg-file> <png-file>...]

#include "icons/icondrawing.h"

#include <QCoreApplication>
#include <QImage>

#include <cstdio>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.size() % 2 != 0) {
        std::fprintf(stderr, "usage: render-icons <svg-file> <png-file>...\n");
        return 2;
    }
    int status = 0;
    for (qsizetype i = 0; i < args.size(); i += 2) {
        const QImage image = renderIconDrawing(args[i]);
        if (image.isNull() || !image.save(args[i + 1], "PNG")) {
            std::fprintf(stderr, "render-icons: cannot render %s\n", qPrintable(args[i]));
            status = 1;
        }
    }
    return status;
}
