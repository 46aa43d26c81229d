#include "output/file_sink.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
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

    // The message of the Failure that `f` throws.
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
    // Pieces of every size around the 64-byte buffer, by write and by reserve/commit.
    constexpr std::size_t kBuffer = 64;
    std::mt19937 random(5);
    std::string expected;
    {
        FileSink sink(path("out"), kBuffer);
        for (int i = 0; i < 3000; ++i) {
            const std::size_t size = random() % (2 * kBuffer + 2);
            std::string piece(size, '\0');
            for (char& c : piece) c = static_cast<char>('a' + random() % 26);
            if (i % 3 == 0 && size <= kBuffer) {
                char* room = sink.reserve(size);
                std::memcpy(room, piece.data(), size);
                sink.commit(size / 2);  // fewer bytes placed than reserved
                piece.resize(size / 2);
            } else {
                sink.write(piece);
            }
            expected += piece;
            ASSERT_EQ(sink.bytesWritten(), expected.size());
        }
        sink.write(std::string(kBuffer, '='));  // exactly one buffer
        sink.write(std::string(10 * kBuffer, '+'));
        expected += std::string(kBuffer, '=') + std::string(10 * kBuffer, '+');
        sink.close();
        sink.close();
        EXPECT_EQ(sink.bytesWritten(), expected.size());
    }
    EXPECT_EQ(slurp(path("out")), expected);
}

TEST_F(FileSinkTest, EmptiesAnExistingFile) {
    test::writeFile(path("old"), "a previous, longer ray set\r\n");
    FileSink sink(path("old"));
    EXPECT_EQ(fs::file_size(path("old")), 0u);
    sink.write("new\r\n");
    sink.close();
    EXPECT_EQ(slurp(path("old")), "new\r\n");
}

TEST_F(FileSinkTest, CreationFailureNamesThePathAndTheReason) {
    const struct {
        std::string path;
        const char* reason;
    } cases[] = {{path("no/folder/out.dat"), "No such file or directory"},
                 {dir_.string(), "Is a directory"}};
    for (const auto& c : cases)
        EXPECT_EQ(failureOf([&] { FileSink sink(c.path); }),
                  "Cannot create file '" + c.path + "': " + c.reason);
}

TEST_F(FileSinkTest, AFullDeviceFailsAtTheWriteOrAtTheCloseAndKeepsFailing) {
    const std::string full = "Cannot write to file '/dev/full': No space left on device";
    {
        FileSink sink("/dev/full", 16);
        sink.write("0123456789");
        EXPECT_EQ(failureOf([&] { sink.write("0123456789"); }), full);
        // The file is incomplete: nothing after the failure may look like success.
        EXPECT_EQ(failureOf([&] { sink.write("x"); }), full);
        EXPECT_EQ(failureOf([&] { sink.reserve(4); }), full);
        EXPECT_EQ(failureOf([&] { sink.close(); }), full);
        EXPECT_EQ(failureOf([&] { sink.close(); }), full);
        EXPECT_FALSE(sink.discard());
    }
    {
        FileSink sink("/dev/full");
        sink.write("fits in the buffer");
        EXPECT_EQ(failureOf([&] { sink.close(); }), full);
    }  // and destroys quietly
    EXPECT_TRUE(fs::exists("/dev/full"));
}

TEST_F(FileSinkTest, AClosedSinkRefusesMoreBytes) {
    FileSink sink(path("done"));
    sink.write("complete\r\n");
    sink.close();
    const std::string closed = "Cannot write to file '" + path("done") + "': Bad file descriptor";
    EXPECT_EQ(failureOf([&] { sink.write("late"); }), closed);
    EXPECT_EQ(failureOf([&] { sink.reserve(8); }), closed);
    EXPECT_EQ(slurp(path("done")), "complete\r\n");
}

TEST_F(FileSinkTest, DiscardRemovesTheRegularFileItOpenedAndNothingElse) {
    {
        FileSink sink(path("partial"));
        sink.write("half a ray set");
        EXPECT_TRUE(sink.discard());
        EXPECT_FALSE(sink.discard());
    }
    EXPECT_FALSE(fs::exists(path("partial")));

    FileSink device("/dev/null");
    device.write("x");
    EXPECT_FALSE(device.discard());
    EXPECT_TRUE(fs::exists("/dev/null"));

    // Through a link: neither the link nor its target goes.
    test::writeFile(path("target"), "kept");
    fs::create_symlink(path("target"), path("link"));
    FileSink linked(path("link"));
    EXPECT_FALSE(linked.discard());
    EXPECT_TRUE(fs::is_symlink(path("link")));
    EXPECT_TRUE(fs::exists(path("target")));

    // Another file put at the path since: it is not ours to remove.
    FileSink replaced(path("moved"));
    test::writeFile(path("other"), "someone else's");
    fs::rename(path("other"), path("moved"));
    EXPECT_FALSE(replaced.discard());
    EXPECT_EQ(slurp(path("moved")), "someone else's");

    ASSERT_EQ(::mkfifo(path("pipe").c_str(), 0600), 0);
    std::ifstream reader;  // opening a pipe for writing waits for a reader
    std::thread opener([&] { reader.open(path("pipe")); });
    {
        FileSink pipe(path("pipe"));
        opener.join();
        pipe.write("rays");
        EXPECT_FALSE(pipe.discard());
    }
    EXPECT_TRUE(fs::exists(path("pipe")));
}

}  // namespace
}  // namespace lumiva
