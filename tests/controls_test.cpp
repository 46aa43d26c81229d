#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "controls/failure.h"
#include "controls/number_text.h"
#include "controls/text_file.h"

namespace lumiva {
namespace {

std::string failureText(const std::function<void()>& f) {
    try {
        f();
    } catch (const Failure& failure) {
        return failure.what();
    }
    return "<no failure>";
}

struct FloatCase {
    const char* text;
    char separator;
    double expected;
};

void PrintTo(const FloatCase& c, std::ostream* out) { *out << '"' << c.text << '"'; }

class TextToFloatAccepts : public ::testing::TestWithParam<FloatCase> {};

TEST_P(TextToFloatAccepts, GivesTheNumber) {
    const FloatCase& c = GetParam();
    EXPECT_EQ(textToFloat(c.text, c.separator), c.expected) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Notations, TextToFloatAccepts,
    ::testing::Values(FloatCase{"0", '.', 0.0}, FloatCase{"0.001", '.', 0.001},
                      FloatCase{"0,001", ',', 0.001}, FloatCase{"-0.5", '.', -0.5},
                      FloatCase{"+2", '.', 2.0}, FloatCase{"1e3", '.', 1000.0},
                      FloatCase{"1,5E-2", ',', 0.015}, FloatCase{"2.5e+1", '.', 25.0},
                      FloatCase{".5", '.', 0.5}, FloatCase{"5.", '.', 5.0},
                      FloatCase{" 7 ", '.', 7.0}, FloatCase{"1e-400", '.', 0.0},
                      FloatCase{"1.00000001", '.', 1.00000001}));

TEST(TextToFloat, RejectsWithTheTextInTheMessage) {
    struct Case {
        const char* text;
        char separator;
    };
    // The other separator, an empty text, a lone sign, trailing garbage, a tab inside,
    // an unfinished exponent, an overflow, words that strtod would take.
    const Case cases[] = {{"0.5", ','}, {"0,5", '.'},  {"", '.'},     {"+", '.'},   {"-", '.'},
                          {"1x", '.'},  {"1\t2", '.'}, {"1e", '.'},   {"1e+", '.'}, {"1e400", '.'},
                          {"inf", '.'}, {"nan", '.'},  {"0x10", '.'}, {"1 2", '.'}};
    for (const Case& c : cases) {
        EXPECT_EQ(failureText([&] { textToFloat(c.text, c.separator); }),
                  std::string("'") + c.text + "' is not a valid floating point value")
            << "text [" << c.text << "] separator " << c.separator;
    }
}

TEST(TextToInteger, AcceptsLeadingBlanksAndSignOnly) {
    EXPECT_EQ(textToInteger("30000"), 30000);
    EXPECT_EQ(textToInteger(" 250"), 250);
    EXPECT_EQ(textToInteger("-5"), -5);
    EXPECT_EQ(textToInteger("+7"), 7);
    EXPECT_EQ(textToInteger("2147483647"), 2147483647);
    EXPECT_EQ(textToInteger("-2147483648"), -2147483647 - 1);
    for (const char* bad : {"", " ", "250 ", "2.5", "+", "-", "2147483648", "-2147483649",
                            "99999999999999999999", "1e3", "\t1"}) {
        EXPECT_EQ(failureText([&] { textToInteger(bad); }),
                  std::string("'") + bad + "' is not a valid integer value")
            << bad;
    }
}

TEST(RegionalSeparator, FollowsTheLocaleNameOfTheRegion) {
    struct Case {
        const char* locale;
        char separator;
    };
    const Case cases[] = {{"C", '.'},
                          {"POSIX", '.'},
                          {"C.UTF-8", '.'},
                          {"en_US.UTF-8", '.'},
                          {"de_DE.UTF-8", ','},
                          {"fr_FR", ','},
                          {"de_CH.UTF-8", '.'},
                          {"pt_BR", ','},
                          {"ja_JP.UTF-8", '.'},
                          {"ru_RU@euro", ','},
                          {"", '.'}};
    for (const Case& c : cases)
        EXPECT_EQ(decimalSeparatorOfLocale(c.locale), c.separator) << c.locale;
}

TEST(RegionalSeparator, TakesLcAllBeforeLcNumericBeforeLang) {
    struct Env {
        const char* lcAll;
        const char* lcNumeric;
        const char* lang;
        char expected;
    };
    const Env cases[] = {{nullptr, nullptr, nullptr, '.'},
                         {nullptr, nullptr, "de_DE.UTF-8", ','},
                         {nullptr, "en_US.UTF-8", "de_DE.UTF-8", '.'},
                         {"de_DE.UTF-8", "en_US.UTF-8", "en_US.UTF-8", ','},
                         {"", "", "de_DE", ','}};
    auto set = [](const char* name, const char* value) {
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    };
    for (const Env& e : cases) {
        set("LC_ALL", e.lcAll);
        set("LC_NUMERIC", e.lcNumeric);
        set("LANG", e.lang);
        EXPECT_EQ(regionalDecimalSeparator(), e.expected);
    }
    unsetenv("LC_ALL");
    unsetenv("LC_NUMERIC");
    unsetenv("LANG");
}

TEST(SplitLines, HandlesEveryLineEndAndStopsAtNul) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(splitLines(""), Lines{});
    EXPECT_EQ(splitLines("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(splitLines("a\r\n"), Lines{"a"});
    EXPECT_EQ(splitLines("\r\n\r\n"), (Lines{"", ""}));
    EXPECT_EQ(splitLines("a\n\rb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(splitLines(std::string_view("a\nb\0c\nd", 7)), (Lines{"a", "b"}));
    EXPECT_EQ(splitLines(" x \n"), Lines{" x "});
}

TEST(ReadWholeFile, ReadsBytesAndRefusesWhatCannotBeOpened) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / "lumiva_controls_test";
    std::filesystem::create_directories(dir);
    const std::string file = (dir / "f.txt").string();
    std::ofstream(file, std::ios::binary) << std::string("a\0b\r\n", 5);
    EXPECT_EQ(readWholeFile(file), std::string("a\0b\r\n", 5));
    EXPECT_EQ(failureText([&] { readWholeFile(dir.string()); }),
              "Cannot open file " + dir.string());
    EXPECT_EQ(failureText([&] { readWholeFile((dir / "missing").string()); }),
              "Cannot open file " + (dir / "missing").string());
    EXPECT_EQ(failureText([&] { readWholeFile(""); }), "Cannot open file ");
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace lumiva
