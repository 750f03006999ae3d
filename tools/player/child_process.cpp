#include "tools/player/child_process.h"

#include <windows.h>

#include <chrono>
#include <vector>

namespace {

constexpr DWORD kAfterTerminateMs = 10000;

}  // namespace

ChildResult run_child(const std::string& command_line, const std::string& output_path,
                      double bound_seconds)
{
    ChildResult result;
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    HANDLE output = CreateFileA(output_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (output == INVALID_HANDLE_VALUE)
        return result;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = output;
    startup.hStdError = output;
    PROCESS_INFORMATION process = {};
    std::vector<char> line(command_line.begin(), command_line.end());
    line.push_back('\0');
    const auto start = std::chrono::steady_clock::now();
    result.started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                    nullptr, &startup, &process) != FALSE;
    CloseHandle(output);
    if (!result.started)
        return result;
    CloseHandle(process.hThread);
    if (WaitForSingleObject(process.hProcess, static_cast<DWORD>(bound_seconds * 1000.0)) !=
        WAIT_OBJECT_0) {
        result.killed = true;
        TerminateProcess(process.hProcess, ERROR_TIMEOUT);
        WaitForSingleObject(process.hProcess, kAfterTerminateMs);
    }
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    result.exit_code = code;
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    CloseHandle(process.hProcess);
    return result;
}

bool is_crash_code(uint32_t exit_code)
{
    return (exit_code & 0xC0000000u) == 0xC0000000u;
}
