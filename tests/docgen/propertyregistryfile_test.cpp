#include "tests/support/workspace.h"

#include "docgen/propertyregistryfile.h"

#include <gtest/gtest.h>

namespace {

// A page may name a property defined further down; a page may be empty.
const char *const goodFile = R"(<properties>
  <page name="Serial"><entry property="Bits"/><entry property="Baud"/></page>
  <property name="Baud" type="3" title="Baud rate"> Line <![CDATA[<b>speed</b>]]> </property>
  <property name="Bits" type="-1" title="Data bits"/>
  <page name="Empty"/>
</properties>)";

} // namespace

TEST(PropertyRegistryFile, RefusedFilesGiveTheReasonAndKeepTheLoadedRegistry) {
    Workspace w;
    w.write("good.xml", QByteArray(goodFile));
    FilePropertyRegistry registry;
    ASSERT_EQ(registry.load(w.path("good.xml")), QString());

    const struct {
        QByteArray content;
        const char *reason;
    } refused[] = {
        {"<properties><page name=\"A\"></properties>",
         "Opening and ending tag mismatch at line 1, column 40"},
        {"<properties>\n<property type=\"1\"/></properties>",
         "property without a name at line 2, column 20"},
        {"<properties>\n<property name=\"P\"/></properties>",
         "property P without a type at line 2, column 20"},
        {"<properties>\n<property name=\"P\" type=\"high\"/></properties>",
         "type \"high\" of property P is not an integer at line 2, column 32"},
        {"<properties>\n<property name=\"P\" type=\"1\">a <b>b</b></property></properties>",
         "unexpected element <b> in property P (write markup escaped or as CDATA) at line 2, "
         "column 33"},
        {"<properties>\n<page name=\"A\">\n<entry property=\"Missing\"/></page></properties>",
         "page A names unknown property Missing at line 3"},
        {"<!DOCTYPE p [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;\">]>\n"
         "<properties>&b;</properties>",
         "document type declarations are not accepted at line 1, column 68"},
        {"<properties>\n<property name=\"P\" type=\"1\"/>\n<property name=\"P\" type=\"2\"/>"
         "</properties>",
         "property P is defined twice at line 3, column 29"},
        // Nesting stops at the first element out of place, however deep the file goes.
        {"<properties>" + QByteArray("<page name=\"A\">").repeated(100000),
         "unexpected element <page> in page A at line 1, column 42"},
        {QByteArray(16 * 1024 * 1024 + 1, ' '), "larger than 16777216 bytes"},
    };
    for (const auto &c : refused) {
        w.write("bad.xml", c.content);
        EXPECT_EQ(registry.load(w.path("bad.xml")), c.reason) << c.content.left(80).constData();
    }
    EXPECT_NE(registry.load(w.path("missing.xml")), QString());

    PropertyInfo baud;
    ASSERT_TRUE(registry.findProperty("Baud", &baud));
    EXPECT_EQ(baud.description, "Line <b>speed</b>");
    const QList<PropertyInfo> serial = registry.pageProperties("Serial");
    ASSERT_EQ(serial.size(), 2);
    EXPECT_EQ(serial[0].name + serial[1].name, "BitsBaud");
    EXPECT_EQ(serial[0].typeCode, -1);
    EXPECT_TRUE(registry.hasPage("Empty"));
    EXPECT_FALSE(registry.hasPage("Missing"));
    EXPECT_FALSE(registry.findProperty("P", &baud));
}
