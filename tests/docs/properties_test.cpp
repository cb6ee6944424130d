// Runs the tool with the example property registry (docs/properties.xml) and compares
// the page with the one kept in data/properties.htm.

#include "tests/support/workspace.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

const QString sourceDir = QStringLiteral(QUILLGEN_SOURCE_DIR);

QString readSource(const QString &relative) {
    QFile file(sourceDir + QLatin1Char('/') + relative);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << relative.toStdString();
    return QString::fromUtf8(file.readAll());
}

} // namespace

TEST(PropertyRegistryRun, ExampleRegistryFillsTheTablesAndABadOneStopsTheRun) {
    Workspace w;
    // Markup in a description, a property on two pages, an unknown property and page.
    w.write("props.dg", QStringLiteral("\\split props\nSet \\property EditorTabWidth, "
                                       "\\property{Unknown}.\n\\envpage Build\n"
                                       "\\envpage Debug\n\\envpage None\n"));
    const RunResult good =
        w.run({"props.dg"}, {{"QUILLGEN_PROPERTIES", sourceDir + "/docs/properties.xml"}});
    EXPECT_EQ(good.exitCode, 0) << good.err.toStdString();
    EXPECT_EQ(good.out + good.err, QString());
    EXPECT_EQ(w.read("props.htm"), readSource("tests/docs/data/properties.htm"));

    QFile::remove(w.path("props.htm"));
    w.write("bad.xml", QByteArray("<properties>\n<property type=\"1\"/>\n</properties>\n"));
    const RunResult bad = w.run({"props.dg"}, {{"QUILLGEN_PROPERTIES", "bad.xml"}});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.err, "error: cannot read property registry bad.xml: property without a "
                       "name at line 2, column 20\n");
    EXPECT_FALSE(w.exists("props.htm")) << "no input is handled";
}
