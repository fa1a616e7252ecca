// The schema and package checks of tests/ooxml_check.py from a test: one run over many packages,
// since compiling the schemas is what takes the time.
#pragma once

#include <stdio.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>
#include <vector>

namespace test_support {

// One line per violation found in the packages; "" when they all conform. A checker that could
// not run says so.
inline std::string ooxml_violations(const std::vector<std::filesystem::path>& packages) {
    std::string command = "/usr/bin/python3 '" VS_SOURCE_DIR "/tests/ooxml_check.py'";
    for (const auto& p : packages) command += " '" + p.string() + "'";
    command += " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return "cannot run " + command;
    std::string out;
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    const int status = ::pclose(pipe);
    if (out.empty() && !(WIFEXITED(status) && WEXITSTATUS(status) == 0))
        return "the checker failed: " + command;
    return out;
}

}  // namespace test_support
