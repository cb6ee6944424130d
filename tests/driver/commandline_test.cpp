#include "driver/commandline.h"

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
    EXPECT_EQ(parse({"-o", "out", "-o", "", "a.dg"}).outputDirectory, "");
    // Arguments are taken one byte per character.
    EXPECT_EQ(parse({"caf\xe9.dg"}).inputs, QStringList{QStringLiteral("caf\u00e9.dg")});
}
