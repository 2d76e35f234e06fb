#pragma once
// Running the built zorptool (or another program) from the tests: words are
// quoted for the shell, stdout and stderr land in files of the test's folder
// and come back as text with the exit status.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace zorptest {

struct ToolRun {
    int status = -1; // exit status; -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// The word in single quotes, its own single quotes escaped.
inline std::string ShellQuoted(const std::string& word)
{
    std::string out = "'";
    for (char c : word)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

inline std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// program is a shell word as it is (already quoted when it needs to be).
inline ToolRun RunProgram(const std::string& folder, const std::string& program, const std::vector<std::string>& words)
{
    std::string command = program;
    for (const std::string& word : words)
        command += " " + ShellQuoted(word);
    const std::string out = folder + "/stdout.txt";
    const std::string err = folder + "/stderr.txt";
    command += " >" + ShellQuoted(out) + " 2>" + ShellQuoted(err);
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadText(out), ReadText(err)};
}

inline ToolRun RunZorptool(const std::string& folder, const std::vector<std::string>& words,
                           const std::string& program = ZORPTOOL_PATH)
{
    return RunProgram(folder, ShellQuoted(program), words);
}

// A failure is one line on stderr beginning "zorptool: ".
inline void ExpectOneLineError(const ToolRun& run, int status, const std::string& mention)
{
    EXPECT_EQ(run.status, status);
    EXPECT_EQ(run.err.rfind("zorptool: ", 0), 0u) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_NE(run.err.find(mention), std::string::npos) << run.err;
}

// A test with a scratch folder of its own (removed afterwards) and the file
// helpers most command tests need.
class ScratchFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::random_device rd;
        dir_ = std::filesystem::temp_directory_path() / ("zorptool_test_" + std::to_string(rd()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override
    {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const
    {
        std::ofstream out(Path(name), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return Path(name);
    }

    std::vector<uint8_t> Read(const std::string& name) const
    {
        std::ifstream in(Path(name), std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }

    ToolRun Run(const std::vector<std::string>& words) const { return RunZorptool(dir_.string(), words); }

    std::filesystem::path dir_;
};

} // namespace zorptest
