#include "tests/docgen/interface/interfacetest.h"
#include "tests/support/workspace.h"

#include "docgen/icontable.h"

#include <QCryptographicHash>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <gtest/gtest.h>

namespace {

QByteArray pixelDigest(const QImage &image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (int y = 0; y < argb.height(); ++y)
        hash.addData(QByteArrayView(reinterpret_cast<const char *>(argb.constScanLine(y)),
                                    argb.width() * 4));
    return hash.result();
}

bool hasTransparentPixel(const QImage &image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) == 0)
                return true;
    return false;
}

// The drawing from the repository, rendered as the rasterising script renders it.
QImage renderSource(const QString &name) {
    QSvgRenderer renderer(QStringLiteral(QUILLGEN_SOURCE_DIR "/docgen/icons/svg/") + name +
                          QStringLiteral(".svg"));
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(0, 0, 16, 16));
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

TEST(Icons, EveryNameHasItsOwnPictureDrawnFromItsSource) {
    const QStringList names = iconNames();
    EXPECT_EQ(names.size(), 120);
    QHash<QByteArray, QString> seen;
    for (const QString &name : names) {
        const QImage image = iconImage(name);
        ASSERT_FALSE(image.isNull()) << name.toStdString();
        EXPECT_EQ(image.size(), QSize(16, 16)) << name.toStdString();
        EXPECT_TRUE(image.hasAlphaChannel()) << name.toStdString();
        EXPECT_TRUE(hasTransparentPixel(image)) << name.toStdString();
        // A stale PNG (a drawing changed without rerunning scripts/render-icons) shows here.
        EXPECT_EQ(pixelDigest(image), pixelDigest(renderSource(name))) << name.toStdString();
        const QByteArray digest = pixelDigest(image);
        EXPECT_FALSE(seen.contains(digest))
            << name.toStdString() << " looks like " << seen.value(digest).toStdString();
        seen.insert(digest, name);
    }
}

TEST(Icons, OtherNamesHaveNoPicture) {
    for (const char *name : {"", "filesave", "FileSave ", "Nothing", "XML.png", "svg/XML"})
        EXPECT_TRUE(iconImage(QString::fromLatin1(name)).isNull()) << name;
}

TEST(Icons, ToolWritesEveryIconAsTheSamePngFileEachRun) {
    Workspace w;
    QString markup = QStringLiteral("\\split{icons.htm}\n");
    for (const QString &name : iconNames())
        markup += QStringLiteral("\\icon{%1}\n").arg(name);
    w.write(QStringLiteral("icons.dg"), markup);

    QHash<QString, QByteArray> firstRun;
    for (int run = 0; run < 2; ++run) {
        const RunResult result =
            w.run({QStringLiteral("-o"), QStringLiteral("out/html"), QStringLiteral("icons.dg")});
        ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
        const QString body = pageBody(w.read(QStringLiteral("icons.htm")));
        for (const QString &name : iconNames()) {
            const QString file = QStringLiteral("out/html/images/%1.png").arg(name);
            EXPECT_TRUE(body.contains(QStringLiteral("<img src=\"images/%1.png\" />").arg(name)));
            QFile png(w.path(file));
            ASSERT_TRUE(png.open(QIODevice::ReadOnly)) << file.toStdString();
            const QByteArray bytes = png.readAll();
            EXPECT_EQ(QImage::fromData(bytes, "PNG").size(), QSize(16, 16));
            if (run == 0)
                firstRun.insert(name, bytes);
            else
                EXPECT_EQ(bytes, firstRun.value(name)) << name.toStdString();
        }
    }
}
