// The reference player run as a person runs it, in a process of its own: a plug-in whose
// run ends without a window, the survey of a folder of plug-ins with their known faults,
// and what the player takes for a message box.
#include "tests/support/ini_file.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wait.h"
#include "tests/support/wrapper_dll.h"
#include "tools/player/plugin_windows.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <map>

namespace {

struct Finished {
    bool ended = false;
    DWORD exit_code = 0;
    double seconds = 0.0;
    std::string output;
};

// Runs the player with its output in a file; ended is false when it passed the bound.
Finished run_player(const std::string& arguments, DWORD bound_ms, const TempDir& scratch)
{
    Finished finished;
    const std::string output_path = scratch.file("player_output.txt");
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    HANDLE output = CreateFileA(output_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(output, INVALID_HANDLE_VALUE);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = output;
    PROCESS_INFORMATION process = {};
    std::string line = "\"" + build_dir() + "\\zeko_player.exe\" " + arguments;
    const auto start = std::chrono::steady_clock::now();
    const BOOL started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
    CloseHandle(output);
    EXPECT_TRUE(started) << line;
    if (!started)
        return finished;
    finished.ended = WaitForSingleObject(process.hProcess, bound_ms) == WAIT_OBJECT_0;
    if (!finished.ended) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 10000);
    }
    finished.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    GetExitCodeProcess(process.hProcess, &finished.exit_code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    finished.output = read_file_text(output_path);
    return finished;
}

// vis_probe copied under the name with its script beside it.
void add_probe(const TempDir& dir, const std::string& name, const std::string& script)
{
    ASSERT_TRUE(CopyFileA((build_dir() + "\\vis_probe.dll").c_str(),
                          dir.file(name + ".dll").c_str(), FALSE));
    write_file_text(dir.file(name + ".ini"), "[vis_probe]\n" + script);
}

// The verdict cell of each row of the survey's table, by file and module cell.
std::map<std::string, std::string> verdicts(const std::string& table)
{
    std::map<std::string, std::string> found;
    size_t at = 0;
    while ((at = table.find("\n| ", at)) != std::string::npos) {
        const size_t end = table.find('\n', at + 1);
        const std::string row = table.substr(at + 3, end - at - 3);
        at = end;
        const size_t bar1 = row.find(" | ");
        const size_t bar2 = row.find(" | ", bar1 + 3);
        const size_t bar3 = row.find(" | ", bar2 + 3);
        if (bar3 == std::string::npos)
            continue;
        const std::string file = row.substr(bar1 + 3, bar2 - bar1 - 3);
        const std::string module = row.substr(bar2 + 3, 1);
        found[file + " " + module] = row.substr(0, bar1);
    }
    return found;
}

TEST(PlayerRun, InitFailingTwiceEndsTheRunWithItsReasonAndAFailingExit)
{
    TempDir plugins;
    add_probe(plugins, "vis_fails", "init_failures=2\n");
    const Finished finished = run_player("--plugin \"" + plugins.file("vis_fails.dll") +
                                             "\" --seconds 1 --settings \"" + plugins.path() + "\"",
                                         60000, plugins);
    ASSERT_TRUE(finished.ended) << finished.output;
    EXPECT_NE(finished.exit_code, 0u);
    EXPECT_NE(finished.output.find("the plug-in's init failed; no window appeared"),
              std::string::npos)
        << finished.output;
    // Noticed as the run ends, long before the start-up limit.
    EXPECT_LT(finished.seconds, 20.0);
}

TEST(PlayerSurvey, EachModuleGetsItsVerdictAndTheSurveyEndsWithinItsBounds)
{
    TempDir plugins;
    ASSERT_TRUE(CopyFileA((build_dir() + "\\vis_example.dll").c_str(),
                          plugins.file("vis_example.dll").c_str(), FALSE));
    add_probe(plugins, "vis_no_header", "header_returns_null=1\n");
    add_probe(plugins, "vis_init_fault", "fault_init=access_violation\n");
    add_probe(plugins, "vis_header_fault", "fault_header=access_violation\n");
    add_probe(plugins, "vis_init_fails", "init_failures=2\n");
    add_probe(plugins, "vis_render_hang",
              "init_failures=1\nask_embed_window=1\ndrawing_window=child\n"
              "fault_render=endless_loop\n");
    add_probe(plugins, "vis_blank", "init_failures=1\nask_embed_window=1\ndrawing_window=child\n");
    // Its first picture 3 s after its init: counted from there, its 1 s run sees it draw.
    add_probe(plugins, "vis_slow_start", "init_failures=1\nask_embed_window=1\ndrawing_window=child\n"
                                         "draws_through_dc=1\nshows_itself=1\ndraws_after_ms=3000\n");
    add_probe(plugins, "vis_box", "init_failures=1\nask_embed_window=1\ndrawing_window=child\n"
                                  "draws_through_dc=1\nshows_itself=1\nmessage_box_from=render\n");
    // Saved settings handed to every run: vis_example draws in a window of its own, and a
    // plug-in's file in a folder of its own arrives too.
    TempDir saved;
    set_ini_value(saved.file("zeko_vis_winamp.ini"), "vis_example", "embed_in_frame", "0");
    ASSERT_TRUE(CreateDirectoryA(saved.file("Plugins").c_str(), nullptr));
    write_file_text(saved.file("Plugins\\vis_state.dat"), "preset");
    const std::string out = build_dir() + "\\survey_test_out";
    DeleteFileA((out + "\\survey.md").c_str());
    DeleteFileA((out + "\\survey.png").c_str());

    // Eleven runs of 1 s and nine listings, two modules that never draw waiting 12 s each
    // for a picture, the hang ended by the wrapper's 5 s stop: 43 s on a native machine.
    // No run may reach its own hard bound (the verdicts below would say so), and the whole
    // stays far below the sum of those bounds (over 800 s).
    const Finished finished = run_player(
        "--survey \"" + plugins.path() + "\" --seconds 1 --first-picture-wait 12 --out \"" + out +
            "\" --settings-from \"" + saved.path() + "\"",
        600000, plugins);
    ASSERT_TRUE(finished.ended) << finished.output;
    EXPECT_EQ(finished.exit_code, 0u) << finished.output;
    EXPECT_LT(finished.seconds, 300.0);

    const std::string table = read_file_text(out + "\\survey.md");
    std::map<std::string, std::string> found = verdicts(table);
    EXPECT_EQ(found["vis_example.dll 0"], "works") << table;
    EXPECT_EQ(found["vis_example.dll 1"], "works") << table;
    EXPECT_NE(table.find("| vis_example.dll | 1 Oscilloscope | first attempt | own window |"),
              std::string::npos)
        << table;
    const std::string blank_settings = out + "\\survey-runs\\vis_blank.dll.0.settings";
    EXPECT_EQ(read_file_text(blank_settings + "\\Plugins\\vis_state.dat"), "preset");
    // No OpenGL and no Direct3D device under the null driver: both 3D modules fail their
    // init, without a box.
    EXPECT_EQ(found["vis_example.dll 2"], "fails: init failed twice") << table;
    EXPECT_EQ(found["vis_example.dll 3"], "fails: init failed twice") << table;
    EXPECT_EQ(found["vis_slow_start.dll 0"], "works") << table;
    const size_t slow_row = table.find("| vis_slow_start.dll | 0 ");
    ASSERT_NE(slow_row, std::string::npos) << table;
    const size_t slow_picture = table.find("| frame | ", slow_row) + 10;
    EXPECT_GE(atof(table.c_str() + slow_picture), 2.9) << table;
    // A module that never draws is judged after the whole wait, not before.
    EXPECT_EQ(found["vis_blank.dll 0"], "runs but draws nothing") << table;
    EXPECT_NE(table.find("| vis_blank.dll | 0 vis_probe module 0 | second attempt | frame | none |"),
              std::string::npos)
        << table;
    const std::string blank_log = read_file_text(out + "\\survey-runs\\vis_blank.dll.0.log");
    const size_t blank_seconds = blank_log.find(" frames in ");
    ASSERT_NE(blank_seconds, std::string::npos) << blank_log;
    EXPECT_GE(atof(blank_log.c_str() + blank_seconds + 11), 12.0) << blank_log;
    EXPECT_EQ(found["vis_box.dll 0"], "works") << table;
    EXPECT_NE(table.find("box: vis_probe: vis_probe asks"), std::string::npos) << table;
    EXPECT_EQ(found["vis_no_header.dll -"], "fails: its header offers no modules") << table;
    EXPECT_EQ(found["vis_init_fault.dll 0"], "fails: init failed twice") << table;
    // A header that crashes the listing still gets its run through the wrapper.
    EXPECT_EQ(found["vis_header_fault.dll 0"].rfind("fails", 0), 0u) << table;
    EXPECT_EQ(found["vis_init_fails.dll 0"], "fails: init failed twice") << table;
    EXPECT_EQ(found["vis_render_hang.dll 0"].rfind("fails: did not stop; ended by force", 0), 0u)
        << table;
    // Sorted by verdict: what works comes first.
    EXPECT_LT(table.find("| works |"), table.find("| runs but draws nothing |"));
    EXPECT_LT(table.find("| runs but draws nothing |"), table.find("| fails:"));
    EXPECT_EQ(read_file_text(out + "\\survey.png").substr(1, 3), "PNG");
    EXPECT_NE(finished.output.find("| works | vis_example.dll | 0 "), std::string::npos)
        << finished.output;
}

DWORD WINAPI show_box(void*)
{
    return static_cast<DWORD>(MessageBoxA(nullptr, "a question", "box", MB_OK | MB_ICONERROR));
}

HWND find_dialog(const char* title)
{
    HWND found = nullptr;
    wait_until(
        [&] {
            found = FindWindowA("#32770", title);
            return found && IsWindowVisible(found);
        },
        10000);
    return found;
}

TEST(PlayerDialogs, OnlyAMessageBoxIsTakenForOne)
{
    HANDLE thread = CreateThread(nullptr, 0, show_box, nullptr, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    HWND box = find_dialog("box");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(is_message_box(box));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    CloseHandle(thread);

    // A plug-in's own dialog: a text label, an edit field and a button.
    HWND dialog = CreateWindowExA(0, "#32770", "settings", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100,
                                  nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(dialog, nullptr);
    CreateWindowExA(0, "Static", "level", WS_CHILD | WS_VISIBLE, 4, 4, 60, 16, dialog,
                    reinterpret_cast<HMENU>(0xFFFF), nullptr, nullptr);
    CreateWindowExA(0, "Button", "OK", WS_CHILD | WS_VISIBLE, 4, 60, 60, 20, dialog,
                    reinterpret_cast<HMENU>(IDOK), nullptr, nullptr);
    EXPECT_TRUE(is_message_box(dialog));  // a label and a button look like a box
    CreateWindowExA(0, "Edit", "5", WS_CHILD | WS_VISIBLE, 70, 4, 60, 16, dialog,
                    reinterpret_cast<HMENU>(101), nullptr, nullptr);
    EXPECT_FALSE(is_message_box(dialog));
    DestroyWindow(dialog);
}

}  // namespace
