#include "tests/support/workspace.h"

#include "icons/icondrawing.h"

#include <QFile>
#include <QHash>
#include <QImage>

#include <gtest/gtest.h>

namespace {

QByteArray pixels(const QImage &image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    return QByteArray(reinterpret_cast<const char *>(argb.constBits()), argb.sizeInBytes());
}

// The largest difference of one colour channel between two images of one size. The
// rasteriser's anti-aliasing differs a little between machines, a stale drawing a lot.
int largestDifference(const QImage &a, const QImage &b) {
    const QByteArray x = pixels(a);
    const QByteArray y = pixels(b);
    if (x.size() != y.size())
        return 255;
    int largest = 0;
    for (qsizetype i = 0; i < x.size(); ++i)
        largest = std::max(largest, std::abs(int(uchar(x[i])) - int(uchar(y[i]))));
    return largest;
}

// The drawing from the repository, rendered as the rasterising script renders it.
QImage renderSource(const QString &name) {
    return renderIconDrawing(
        QStringLiteral(QUILLGEN_SOURCE_DIR "/icons/drawings/svg/%1.svg").arg(name));
}

} // namespace

TEST(Icons, EveryNameHasItsOwnPictureDrawnFromItsSource) {
    EXPECT_EQ(iconNames().size(), 120);
    QHash<QByteArray, QString> seen;
    for (const QString &name : iconNames()) {
        const QImage image = iconImage(name);
        EXPECT_EQ(image.size(), QSize(16, 16)) << name.toStdString();
        EXPECT_TRUE(image.hasAlphaChannel()) << name.toStdString();
        // A stale PNG (a drawing changed without rerunning scripts/render-icons) shows here.
        EXPECT_LE(largestDifference(image, renderSource(name)), 8) << name.toStdString();
        EXPECT_FALSE(seen.contains(pixels(image)))
            << name.toStdString() << " looks like " << seen.value(pixels(image)).toStdString();
        seen.insert(pixels(image), name);
    }
    for (const char *name : {"", "filesave", "FileSave ", "Nothing", "XML.png", "svg/XML"})
        EXPECT_TRUE(iconImage(QString::fromLatin1(name)).isNull()) << name;
}

TEST(Icons, ToolWritesEveryIconAsTheSamePngFileEachRun) {
    Workspace w;
    QString markup = QStringLiteral("\\split{icons}\n");
    for (const QString &name : iconNames())
        markup += QStringLiteral("\\icon{%1}\n").arg(name);
    w.write(QStringLiteral("icons.dg"), markup);
    QHash<QString, QByteArray> firstRun;
    for (int run = 0; run < 2; ++run) {
        const RunResult result = w.run({"-o", "out/html", "icons.dg"});
        ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
        const QString body = pageBody(w.read(QStringLiteral("icons.htm")));
        for (const QString &name : iconNames()) {
            EXPECT_TRUE(body.contains(QStringLiteral("<img src=\"images/%1.png\" />").arg(name)));
            QFile png(w.path(QStringLiteral("out/html/images/%1.png").arg(name)));
            const QByteArray bytes = png.open(QIODevice::ReadOnly) ? png.readAll() : QByteArray();
            EXPECT_EQ(QImage::fromData(bytes).size(), QSize(16, 16)) << name.toStdString();
            EXPECT_EQ(bytes, firstRun.value(name, bytes)) << name.toStdString();
            firstRun.insert(name, bytes);
        }
    }
}
