#pragma once
// Files for tests: a fresh folder for the running test, and whole-file reads and writes.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace lumiva::test {

namespace fs = std::filesystem;

// An empty folder named after the running test and this process, so that tests running
// side by side never share one. The caller removes it.
inline fs::path freshTestFolder() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("lumiva_") + info->test_suite_name() + "_" + info->name() + "_" +
                       std::to_string(::getpid());
    for (char& c : name)
        if (c == '/') c = '_';
    const fs::path folder = fs::temp_directory_path() / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

// A fresh test folder that is the current (working) folder for as long as this lives;
// the previous folder comes back and the test folder is removed afterwards.
class WorkingFolder {
public:
    WorkingFolder() : previous_(fs::current_path()), folder_(freshTestFolder()) {
        fs::current_path(folder_);
    }
    ~WorkingFolder() {
        fs::current_path(previous_);
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;
    const fs::path& path() const { return folder_; }

private:
    fs::path previous_;
    fs::path folder_;
};

inline std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace lumiva::test
