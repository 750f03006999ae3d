// What the survey learns about one module of one plug-in, the verdict drawn from it, and the
// text forms it travels in: the lines a child process writes for its parent, and the table
// row of survey.md.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class ProcessEnd {
    kExited,
    kCrashed,     // ended by an exception the process did not survive
    kKilled,      // passed its bound and was terminated
    kNotStarted,
    kNoReport,    // exited without writing what it found
};

enum class InitResult { kUnknown, kFirstAttempt, kSecondAttempt, kFailed };
enum class WindowShown { kNone, kFrame, kOwn };
enum class VerdictKind { kWorks, kDrawsNothing, kFails };

struct ModuleRun {
    std::string file;
    int32_t module = -1;  // -1: the file offered no module to run
    std::string description;
    bool loaded = false;
    std::string load_error;  // why the file did not load or offered no module
    ProcessEnd process_end = ProcessEnd::kExited;
    uint32_t exit_code = 0;
    double process_seconds = 0.0;
    InitResult init = InitResult::kUnknown;
    WindowShown window = WindowShown::kNone;
    bool drew = false;
    int32_t picture_changes = 0;
    double picture_seconds = 0.0;
    int32_t frame_delay_ms = 0;
    std::vector<std::string> boxes;
    std::vector<std::string> dialogs;
    double stop_seconds = 0.0;
    // Seconds from Initialize to the first drawn picture; negative when none came.
    double first_picture_seconds = -1.0;
    bool no_window_in_time = false;
    // The run ended by itself after its window had appeared.
    bool ended_early = false;
};

struct Verdict {
    VerdictKind kind = VerdictKind::kFails;
    std::string text;  // "works", "runs but draws nothing: ...", "fails: ..."
};

// A stop that took this long was the wrapper ending the render thread by force.
constexpr double kForcedStopSeconds = 4.5;

Verdict verdict_of(const ModuleRun& run);

// The facts one run of the player found, as "key=value" lines, and back. Lines a reader
// does not know are left alone.
std::string run_facts_text(const ModuleRun& run);
void read_run_facts(const std::string& text, ModuleRun& run);

// Sorted by verdict (works first), then file and module.
void sort_for_table(std::vector<ModuleRun>& runs);
std::string survey_table(const std::vector<ModuleRun>& runs);
