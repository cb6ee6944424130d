#include "colouring/colourcode.h"
#include "colouring/zodidideparser.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <QStringList>

#include <memory>
#include <vector>

namespace {

const char *const languages[] = {"c", "javascript", "basic", "asm", "xml"};

// Colours a line and checks the contract: the output stays within five characters per
// input character plus three, and the returned position is just past a terminator.
void colourChecked(ZodiDideParser &colourer, const QString &line) {
    const size_t bound = size_t(line.size() + 1) * 5 + 3;
    std::vector<QChar> buffer(bound + 16, QChar(0x2222));
    const QChar *end = colourer.colourLine(line.constData(), buffer.data());
    ASSERT_LE(size_t(end - buffer.data()), bound);
    ASSERT_TRUE(end[-1].isNull());
    for (size_t i = size_t(end - buffer.data()); i < buffer.size(); ++i)
        ASSERT_EQ(buffer[i], QChar(0x2222)) << "written past the returned end";
}

TEST(ColourerRobustness, AdversarialAndRandomLinesStayWithinTheBufferBound) {
    // The worst cases for output size: XML writes two markers around every equals sign
    // and quote inside a tag, the C colourer a marker before nearly every character.
    QStringList lines = {
        QString(),
        QStringLiteral("<a ") + QStringLiteral("=\"").repeated(500),
        QStringLiteral("<!---->").repeated(100),
        QStringLiteral("/*! \\split\\title\\code{}").repeated(50),
        QStringLiteral("/*!||-|&;\\x\\").repeated(50),
        QStringLiteral("a(b(").repeated(200),
        QStringLiteral("'\"#\\").repeated(100),
        QStringLiteral("0x1p+.e-").repeated(100),
    };
    // Characters that drive the colourers, plus some outside every class.
    const QString alphabet = QStringLiteral("/*!\\\"'#<>=-;&|{}()_.$%@ \tax0e9pXR15") +
                             QChar(0xE9) + QChar(0x4E2D) + QChar(0xFFFF) + QChar(0xD800);
    QRandomGenerator random(1234);
    for (int round = 0; round < 3000; ++round) {
        QString line;
        for (int i = random.bounded(40); i > 0; --i)
            line += alphabet[random.bounded(int(alphabet.size()))];
        lines << line;
    }
    for (const char *language : languages) {
        std::unique_ptr<ZodiDideParser> colourer(createColourer(QLatin1String(language)));
        ASSERT_TRUE(colourer);
        for (const QString &line : lines) {
            SCOPED_TRACE(std::string(language) + ": " + line.left(40).toStdString());
            colourChecked(*colourer, line);
            // Also start lines in states the colourer would not leave itself.
            if (random.bounded(8) == 0)
                colourer->setLineState(int(random.bounded(6)));
        }
    }
}

TEST(ColourerRobustness, HugeLinesAreColouredInLinearTime) {
    const int size = 1 << 20;
    const QStringList lines = {
        QStringLiteral("a (").repeated(size / 3),
        QStringLiteral("/*! &").repeated(size / 5),
        QStringLiteral("\"") + QStringLiteral("\\\"").repeated(size / 2),
        QStringLiteral("// ") + QStringLiteral("a'").repeated(size / 2),
        QStringLiteral("<a ") + QStringLiteral("b=\"c\" ").repeated(size / 7),
        QStringLiteral("x").repeated(size),
    };
    for (const char *language : languages) {
        std::unique_ptr<ZodiDideParser> colourer(createColourer(QLatin1String(language)));
        for (const QString &line : lines) {
            // A linear pass takes milliseconds; anything quadratic takes hours and runs
            // into the test timeout, so no clock is read here.
            colourChecked(*colourer, line);
            colourer->setLineState(0);
        }
    }
    const QString sample =
        QStringLiteral("int f(int x) { return x; } /* \\vdots */\n").repeated(20000);
    const QString html = colourCode(sample, QStringLiteral("c"));
    EXPECT_EQ(html.count(QLatin1Char('\n')), 20001);
}

} // namespace
