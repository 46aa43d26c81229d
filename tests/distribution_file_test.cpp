#include "distributions/distribution_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "controls/failure.h"
#include "distributions/analytic_parameters.h"
#include "test_files.h"

namespace lumiva {
namespace {

class DistributionFileTest : public ::testing::Test {
protected:
    void SetUp() override { dir_ = test::freshTestFolder(); }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string write(const std::string& name, const std::string& bytes) {
        const std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    std::string failureOf(const std::string& path, char separator = '.',
                          std::size_t capacity = kRunTableCapacity) {
        try {
            readDistributionFile(path, separator, capacity);
        } catch (const Failure& failure) {
            return failure.what();
        }
        return "<no failure>";
    }

    std::filesystem::path dir_;
};

using Values = std::vector<double>;

TEST_F(DistributionFileTest, ReadsLineOneAndLineThreeWhateverTheLineEnds) {
    for (const char* eol : {"\r\n", "\n", "\r"}) {
        const std::string e = eol;
        const std::string path =
            write("a.ang", "0 10 20 " + e + "not numbers at all" + e + "100 80 40 " + e + "junk");
        const Distribution d = readDistributionFile(path, '.', kRunTableCapacity);
        EXPECT_EQ(d.abscissae, (Values{0, 10, 20}));
        EXPECT_EQ(d.ordinates, (Values{100, 80, 40}));
        EXPECT_EQ(d.count(), 3u);
    }
}

TEST_F(DistributionFileTest, TextAfterTheLastSpaceIsNoValue) {
    const Distribution d =
        readDistributionFile(write("b.ang", "0 10 20\r\n\r\n1 2 3 4 5x"), '.', kRunTableCapacity);
    EXPECT_EQ(d.abscissae, (Values{0, 10}));
    // Line 3 beyond the n-th value is read but pairs with nothing.
    EXPECT_EQ(d.ordinates, (Values{1, 2, 3, 4}));
    EXPECT_EQ(d.count(), 2u);

    const Distribution empty =
        readDistributionFile(write("c.ang", "no-space-here\r\n\r\n\r\n"), '.', kRunTableCapacity);
    EXPECT_EQ(empty.count(), 0u);
}

TEST_F(DistributionFileTest, UsesTheRegionalSeparator) {
    const std::string path = write("d.spa", "0,5 1,25 \r\n\r\n50 1e1 \r\n");
    const Distribution d = readDistributionFile(path, ',', kRunTableCapacity);
    EXPECT_EQ(d.abscissae, (Values{0.5, 1.25}));
    EXPECT_EQ(d.ordinates, (Values{50, 10}));
    EXPECT_EQ(failureOf(path, '.'), "'0,5' is not a valid floating point value");
}

TEST_F(DistributionFileTest, MissingOrdinatesReadAsZero) {
    const Distribution d =
        readDistributionFile(write("e.ang", "0 10 20 \r\n\r\n100 \r\n"), '.', kRunTableCapacity);
    EXPECT_EQ(d.ordinates, (Values{100, 0, 0}));
}

TEST_F(DistributionFileTest, FailsWithThePlatformMessages) {
    struct Case {
        const char* name;
        std::string bytes;
        std::string message;
    };
    const Case cases[] = {
        {"empty.ang", "", "List index out of bounds (0)"},
        {"nul.ang", std::string("\0 1 2 \r\n\r\n1 2 \r\n", 15), "List index out of bounds (0)"},
        {"one.ang", "0 10 \r\n", "List index out of bounds (2)"},
        {"two.ang", "0 10 \r\n\r\n", "List index out of bounds (2)"},
        {"double.ang", "0  10 \r\n\r\n1 2 \r\n", "'' is not a valid floating point value"},
        {"lead.ang", "0 10 \r\n\r\n 1 2 \r\n", "'' is not a valid floating point value"},
        {"tab.ang", "0\t10 \r\n\r\n1 2 \r\n", "'0\t10' is not a valid floating point value"},
        {"comma.ang", "0,10 \r\n\r\n1 \r\n", "'0,10' is not a valid floating point value"},
        // A bad value beyond the n-th ordinate still fails the reading.
        {"late.ang", "0 \r\n\r\n1 x \r\n", "'x' is not a valid floating point value"},
        // A bad line 1 fails before the line count is looked at.
        {"bad1.ang", "a \r\n", "'a' is not a valid floating point value"},
    };
    for (const Case& c : cases) EXPECT_EQ(failureOf(write(c.name, c.bytes)), c.message) << c.name;
}

TEST_F(DistributionFileTest, CannotOpenNamesThePickerText) {
    EXPECT_EQ(failureOf(""), "Cannot open file ");
    EXPECT_EQ(failureOf((dir_ / "none.ang").string()),
              "Cannot open file " + (dir_ / "none.ang").string());
    EXPECT_EQ(failureOf(dir_.string()), "Cannot open file " + dir_.string());
}

TEST_F(DistributionFileTest, RejectsALineLongerThanTheTable) {
    std::string line;
    for (int i = 0; i < 1000; ++i) line += std::to_string(i) + " ";
    const std::string full = write("full.ang", line + "\r\n\r\n" + line + "\r\n");
    EXPECT_EQ(failureOf(full, '.', 1000), "<no failure>");
    EXPECT_EQ(failureOf(full, '.', kRunTableCapacity),
              "Distribution file " + full + " holds more than 999 values on one line");
    EXPECT_EQ(failureOf(full, '.', kPreviewTableCapacity),
              "Distribution file " + full + " holds more than 499 values on one line");
    // Exactly at capacity is fine, also on line 3.
    std::string fits;
    for (int i = 0; i < 999; ++i) fits += "1 ";
    EXPECT_EQ(failureOf(write("fits.ang", fits + "\r\n\r\n" + fits), '.', 999), "<no failure>");
    EXPECT_EQ(failureOf(write("long3.ang", "0 \r\n\r\n" + line), '.', 999),
              "Distribution file " + (dir_ / "long3.ang").string() +
                  " holds more than 999 values on one line");
}

TEST(BoundedText, KeepsAnApertureWithinItsBounds) {
    struct Case {
        const char* text;
        const char* kept;  // nullptr: stops silently
    };
    const Case cases[] = {{"", nullptr},  {"-", "0"},   {"0", "0"},
                          {"0.5", "0.5"}, {"1.5", "1"}, {"5", "1"},
                          {"-0.5", "0"},  {"1", "1"},   {"1.00000001", "1.00000001"}};
    for (const Case& c : cases) {
        const auto kept = boundedText(c.text, 0, 1, "1", '.');
        if (c.kept == nullptr)
            EXPECT_FALSE(kept.has_value()) << c.text;
        else
            EXPECT_EQ(kept.value_or("<none>"), c.kept) << c.text;
    }
    EXPECT_EQ(boundedText("1000.5", 0, 1000, "1000", '.').value(), "1000");
    EXPECT_THROW(boundedText("0.5", 0, 1, "1", ','), Failure);
    EXPECT_THROW(boundedText("+", 0, 1, "1", '.'), Failure);
}

}  // namespace
}  // namespace lumiva
