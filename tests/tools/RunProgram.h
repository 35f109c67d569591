#pragma once

// Runs a built program through the shell, keeping what it prints in this build folder.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <vector>

struct ProgramRun
{
    int status = -1; // the exit status, -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// Distinct for each test so that tests can run side by side.
inline std::string OutputPath(const std::string& name)
{
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    return std::string(PIXMORA_TOOL_OUTPUT_DIR) + "/" + test->name() + "-" + name;
}

inline std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// `environment` goes before the program on the command line ("env -u X ").
inline ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                             const std::string& environment = "")
{
    const auto quoted = [](const std::string& arg) {
        std::string q = "'";
        for (char c : arg)
            q += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return q + "'";
    };
    const std::string outPath = OutputPath("stdout.txt");
    const std::string errPath = OutputPath("stderr.txt");
    // Appended piece by piece: GCC 12 warns falsely about `" " + string` at -O3.
    std::string command = environment;
    command.append(quoted(program));
    for (const std::string& arg : args)
        command.append(" ").append(quoted(arg));
    command.append(" </dev/null >").append(quoted(outPath)).append(" 2>").append(quoted(errPath));
    const int raw = std::system(command.c_str());
    // A sanitizer report aborts: that is never a status the program chose.
    return {raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadText(outPath),
            ReadText(errPath)};
}
