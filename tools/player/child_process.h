// Runs a program as a child process with its output going to a file, and ends it by force
// when it passes its bound: one plug-in that hangs or crashes never holds up the next.
#pragma once

#include <cstdint>
#include <string>

struct ChildResult {
    bool started = false;
    bool killed = false;  // passed its bound and was terminated
    uint32_t exit_code = 0;
    double seconds = 0.0;
};

ChildResult run_child(const std::string& command_line, const std::string& output_path,
                      double bound_seconds);

// An exit code that is an exception's, as a process gets that died of one.
bool is_crash_code(uint32_t exit_code);
