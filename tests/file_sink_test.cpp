#include "output/file_sink.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "controls/failure.h"
#include "test_files.h"

namespace lumiva {
namespace {

namespace fs = std::filesystem;
using test::slurp;

class FileSinkTest : public ::testing::Test {
protected:
    void SetUp() override { dir_ = test::freshTestFolder(); }
    void TearDown() override { fs::remove_all(dir_); }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    template <typename F>
    static std::string failureOf(F f) {
        try {
            f();
        } catch (const Failure& failure) {
            return failure.what();
        }
        return "<no failure>";
    }
    fs::path dir_;
};

TEST_F(FileSinkTest, WritesEveryByteAcrossBufferBoundaries) {
    std::string expected;
    {
        FileSink sink(path("out"), 64);
        for (int i = 0; i < 1000; ++i) {
            const std::string piece = std::to_string(i) + (i % 7 ? " " : "\r\n");
            sink.write(piece);
            expected += piece;
        }
        const std::string big(1000, 'x');  // larger than the buffer
        sink.write(big);
        expected += big;
        char* room = sink.reserve(10);
        std::memcpy(room, "0123456789", 10);
        sink.commit(7);
        expected += "0123456";
        EXPECT_EQ(sink.bytesWritten(), expected.size());
        sink.close();
        sink.close();
    }
    EXPECT_EQ(slurp(path("out")), expected);
}

TEST_F(FileSinkTest, EmptiesAnExistingFile) {
    std::ofstream(path("old")) << "previous ray set";
    FileSink sink(path("old"));
    EXPECT_EQ(fs::file_size(path("old")), 0u);
    sink.close();
}

TEST_F(FileSinkTest, CreationFailureNamesThePathAndTheReason) {
    const std::string missing = path("no/folder/out.dat");
    EXPECT_EQ(failureOf([&] { FileSink sink(missing); }),
              "Cannot create file '" + missing + "': No such file or directory");
    EXPECT_EQ(failureOf([&] { FileSink sink(dir_.string()); }),
              "Cannot create file '" + dir_.string() + "': Is a directory");
}

TEST_F(FileSinkTest, AFullDeviceFailsAtTheFlushAndIsNeverRemoved) {
    FileSink sink("/dev/full", 16);
    sink.write("0123456789");
    EXPECT_EQ(failureOf([&] { sink.write("0123456789"); }),
              "Cannot write to file '/dev/full': No space left on device");
    EXPECT_FALSE(sink.discard());
    EXPECT_TRUE(fs::exists("/dev/full"));

    FileSink late("/dev/full");
    late.write("short");
    EXPECT_EQ(failureOf([&] { late.close(); }),
              "Cannot write to file '/dev/full': No space left on device");
}

TEST_F(FileSinkTest, DiscardRemovesOnlyTheRegularFileItCreated) {
    {
        FileSink sink(path("partial"));
        sink.write("half a ray set");
        EXPECT_TRUE(sink.discard());
    }
    EXPECT_FALSE(fs::exists(path("partial")));
    FileSink device("/dev/null");
    device.write("x");
    EXPECT_FALSE(device.discard());
    EXPECT_TRUE(fs::exists("/dev/null"));
    ASSERT_EQ(::mkfifo(path("pipe").c_str(), 0600), 0);
    std::ifstream keepOpen;  // a reader, so that opening the pipe for writing does not block
    std::thread reader([&] { keepOpen.open(path("pipe")); });
    {
        FileSink pipe(path("pipe"));
        reader.join();
        EXPECT_FALSE(pipe.discard());
    }
    EXPECT_TRUE(fs::exists(path("pipe")));
}

}  // namespace
}  // namespace lumiva
