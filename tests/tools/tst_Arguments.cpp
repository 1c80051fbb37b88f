#include "Arguments.h"

#include <gtest/gtest.h>

using namespace kestrel::cli;

namespace {

const OptionSpec Specs[] = {
    {"long", 'l', false},
    {"json", 0, false},
    {"directory", 'C', true},
};

std::optional<Arguments> Parse(std::vector<std::string> args, std::string* error = nullptr)
{
    std::string ignored;
    return ParseArguments(args, Specs, error ? *error : ignored);
}

} // namespace

TEST(Arguments, OptionsMayStandAnywhereInEveryGnuSpelling)
{
    const auto a = Parse({"--json", "x.big", "-lC", "out", "f1", "--directory=dir2", "f2"});
    ASSERT_TRUE(a);
    EXPECT_EQ(a->positional, (std::vector<std::string>{"x.big", "f1", "f2"}));
    EXPECT_TRUE(a->Has("long"));
    EXPECT_TRUE(a->Has("json"));
    EXPECT_EQ(a->Value("directory"), "dir2") << "the last occurrence wins";

    const auto b = Parse({"-Cout", "-C", "x", "--directory", "y", "a"});
    ASSERT_TRUE(b);
    EXPECT_EQ(b->Value("directory"), "y");
    EXPECT_FALSE(b->Has("long"));
}

TEST(Arguments, DoubleDashEndsOptionsAndASingleDashIsAnArgument)
{
    const auto a = Parse({"-", "--", "--long", "-l"});
    ASSERT_TRUE(a);
    EXPECT_EQ(a->positional, (std::vector<std::string>{"-", "--long", "-l"}));
    EXPECT_FALSE(a->Has("long"));
}

TEST(Arguments, UnknownOptionsAndMissingOrUnexpectedValuesAreErrorsThatNameTheOption)
{
    std::string error;
    EXPECT_FALSE(Parse({"--longer"}, &error));
    EXPECT_EQ(error, "unknown option '--longer'");
    EXPECT_FALSE(Parse({"-lx"}, &error));
    EXPECT_EQ(error, "unknown option '-x'");
    EXPECT_FALSE(Parse({"a", "-C"}, &error));
    EXPECT_EQ(error, "option '-C' needs a value");
    EXPECT_FALSE(Parse({"--directory"}, &error));
    EXPECT_EQ(error, "option '--directory' needs a value");
    EXPECT_FALSE(Parse({"--json=yes"}, &error));
    EXPECT_EQ(error, "option '--json' takes no value");
}
