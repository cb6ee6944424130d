#include "driver/commandline.h"
#include "driver/hexception.h"

#include "tests/support/printers.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

CommandLine parse(std::vector<const char *> args) {
    args.insert(args.begin(), "quillgen");
    return parseCommandLine(int(args.size()), const_cast<char **>(args.data()));
}

} // namespace

TEST(CommandLine, OptionsAndInputsMixInAnyOrder) {
    const CommandLine line = parse({"a.dg", "-v", "-o", "out", "-x", "b.h", "-v", "-O"});
    EXPECT_EQ(line.inputs, (QStringList{"a.dg", "-x", "b.h", "-O"}));
    EXPECT_EQ(line.outputDirectory, "out");
    EXPECT_TRUE(line.verbose);
}

TEST(CommandLine, LaterOutputDirectoryWins) {
    EXPECT_EQ(parse({"-o", "out", "-o", "out2", "a.dg"}).outputDirectory, "out2");
    EXPECT_EQ(parse({"-o", "", "a.dg"}).outputDirectory, "");
}

TEST(CommandLine, ArgumentsAreTakenOneBytePerCharacter) {
    const CommandLine line = parse({"caf\xe9.dg"});
    ASSERT_EQ(line.inputs.size(), 1);
    EXPECT_EQ(line.inputs.first(), QString(QChar(0xe9)).prepend("caf").append(".dg"));
}

TEST(CommandLine, OutputOptionWithoutValueThrows) {
    try {
        parse({"a.dg", "-o"});
        FAIL() << "no exception";
    } catch (const HException &e) {
        EXPECT_EQ(e.message(), "argument expected");
    }
}

TEST(CommandLine, ReadNextArgumentStepsFromTheProgramName) {
    const char *args[] = {"quillgen", "first", "second"};
    int argc = 3;
    char **argv = const_cast<char **>(args);
    EXPECT_STREQ(readNextArgument(argc, argv), "first");
    EXPECT_STREQ(readNextArgument(argc, argv), "second");
    EXPECT_EQ(argc, 1);
    EXPECT_THROW(readNextArgument(argc, argv), HException);
}
