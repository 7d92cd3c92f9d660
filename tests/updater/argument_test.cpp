// The updater's argument: version and mode word from the text split at "###".
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "updater/updater_argument.h"

namespace {

using zem::updater::ParseUpdaterArgument;

TEST(UpdaterArgument, TakesFieldsZeroAndOne) {
    struct Case {
        std::string argument, version, mode;
    } cases[] = {
        {"1.3###shengji###", "1.3", "shengji"},
        {"1.3###wu###", "1.3", "wu"},
        {"1.3###Shengji###", "1.3", "Shengji"},  // kept with its case
        {"1.3###shengji", "1.3", "shengji"},     // no trailing field needed
        {"1.3###", "1.3", ""},
        {"###wu###extra###", "", "wu"},
        {"版本 2###test###x", "版本 2", "test"},
        {"1.4####shengji###", "1.4", "#shengji"},  // the first "###" splits
    };
    for (const Case& c : cases) {
        const auto parsed = ParseUpdaterArgument(c.argument);
        ASSERT_TRUE(parsed.has_value()) << c.argument;
        EXPECT_EQ(parsed->version, c.version) << c.argument;
        EXPECT_EQ(parsed->mode, c.mode) << c.argument;
    }
}

TEST(UpdaterArgument, NothingWithoutASeparator) {
    for (const std::string argument : {"", "1.3", "1.3##shengji##", "#"})
        EXPECT_FALSE(ParseUpdaterArgument(argument).has_value()) << argument;
}

}  // namespace
