// The word set grows by rehashing every word it holds: after each growth every word
// must still be found at its place, and words that differ only in length or in their
// last character must not be.
#include "common/wordset.h"

#include <QStringList>

#include <gtest/gtest.h>

TEST(WordSet, FindsEveryWordAcrossGrowth) {
    WordSet set;
    QStringList added;
    for (int i = 0; i < 300; ++i) {
        const QString word = QStringLiteral("w%1").arg(i);
        ASSERT_TRUE(set.insert(word));
        ASSERT_FALSE(set.insert(word));
        added.append(word);
        for (qsizetype k = 0; k < added.size(); ++k)
            ASSERT_EQ(set.indexOf(added[k]), k) << added[k].toStdString();
    }
    for (const QStringView absent : {u"", u"w", u"w300", u"w1x", u"W1", u"w00"})
        EXPECT_FALSE(set.contains(absent)) << absent.toString().toStdString();
    EXPECT_EQ(set.size(), 300);
    set.clear();
    EXPECT_FALSE(set.contains(u"w1"));
    EXPECT_TRUE(set.insert(QStringLiteral("w1")));
}

TEST(WordSet, MatchesWordsOfAFixedList) {
    const WordSet keywords(
        QStringList{QStringLiteral("int"), QStringLiteral("if"), QStringLiteral("int")});
    EXPECT_EQ(keywords.size(), 2);
    const QString line = QStringLiteral("integer if int");
    EXPECT_FALSE(keywords.contains(QStringView(line).left(7)));
    EXPECT_TRUE(keywords.contains(QStringView(line).mid(8, 2)));
    EXPECT_TRUE(keywords.contains(QStringView(line).mid(11, 3)));
    EXPECT_FALSE(keywords.contains(QStringView(line).mid(11, 2)));
}
