// The text helpers read eight characters at a time where they can, and must answer
// exactly as Qt's own functions do: every place of a needle in texts around the
// lengths where a block of eight ends, and white space at every place for simplified().
#include "common/asciimatch.h"
#include "common/findeither.h"
#include "common/simplify.h"

#include "tests/support/printers.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

// "x" repeated to size, with insert written at position at.
QString textWith(qsizetype size, qsizetype at, QStringView insert) {
    QString text(size, u'x');
    text.replace(at, insert.size(), insert.toString());
    return text.left(size);
}

} // namespace

TEST(TextSearch, AnswersAsQtDoes) {
    for (qsizetype size = 0; size <= 34; ++size) {
        for (qsizetype at = 0; at <= size; ++at) {
            const QString text = textWith(size, at, u"\\code{\\c*");
            for (qsizetype from = -2; from <= size + 1; ++from) {
                const QStringView view(text);
                ASSERT_EQ(indexOfText(view, "\\code{"), view.indexOf(u"\\code{"))
                    << text.toStdString();
                ASSERT_EQ(indexOfText(view, "\\c", from), view.indexOf(u"\\c", from))
                    << text.toStdString();
                ASSERT_EQ(indexOfChar(view, u'*', from), view.indexOf(u'*', from))
                    << text.toStdString();
            }
            // The stops of running text: the first of them, wherever the block ends.
            const char16_t *const begin = QStringView(text).utf16();
            const qsizetype stop = text.indexOf(QRegularExpression(QStringLiteral("[\\\\*|]")));
            const char16_t *const found = findAnyOf<u'|', u'*', u'\\'>(begin, begin + size);
            ASSERT_EQ(found - begin, stop < 0 ? size : stop) << text.toStdString();
            ASSERT_EQ(startsWithText(text, "x\\co"), text.startsWith(u"x\\co"))
                << text.toStdString();
            ASSERT_EQ(endsWithText(text, "\\c*"), text.endsWith(u"\\c*")) << text.toStdString();
        }
    }
}

TEST(TextSearch, SimplifiesAsQtDoes) {
    const QStringView spaces[] = {u" ", u"  ", u"\t", u"\n ", u"\u00a0", u"\u2003"};
    for (qsizetype size = 0; size <= 26; ++size) {
        for (qsizetype at = 0; at <= size; ++at) {
            for (const QStringView space : spaces) {
                const QString text = textWith(size, at, space);
                ASSERT_EQ(simplified(QString(text)), text.simplified()) << text.toStdString();
            }
        }
    }
}
