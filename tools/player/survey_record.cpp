#include "tools/player/survey_record.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace {

std::string number_text(double value, int decimals)
{
    char text[32];
    snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// A table cell holds no line break and no column bar.
std::string cell(std::string text)
{
    std::string out;
    for (char c : text) {
        if (c == '|')
            out += "\\|";
        else
            out += (c == '\r' || c == '\n') ? ' ' : c;
    }
    return out;
}

std::string joined(const std::vector<std::string>& texts, const char* prefix)
{
    std::string out;
    for (const std::string& text : texts)
        out += (out.empty() ? "" : "; ") + std::string(prefix) + text;
    return out;
}

double pictures_per_second(const ModuleRun& run)
{
    return run.picture_seconds > 0.0 ? run.picture_changes / run.picture_seconds : 0.0;
}

std::string why_it_did_not_start(const ModuleRun& run)
{
    if (!run.boxes.empty())
        return "did not start: " + run.boxes.front();
    if (run.no_window_in_time)
        return "no window appeared";
    return run.init == InitResult::kFailed ? "init failed twice"
                                           : "its run ended before a window appeared";
}

}  // namespace

Verdict verdict_of(const ModuleRun& run)
{
    char code[16];
    snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(run.exit_code));
    if (!run.loaded)
        return {VerdictKind::kFails, "fails: " + run.load_error};
    if (run.process_end == ProcessEnd::kNotStarted)
        return {VerdictKind::kFails, "fails: the player could not be started"};
    if (run.process_end == ProcessEnd::kNoReport)
        return {VerdictKind::kFails, "fails: the player ended without a report (exit code " +
                                         std::to_string(run.exit_code) + ")"};
    if (run.process_end == ProcessEnd::kKilled)
        return {VerdictKind::kFails, "fails: hung the player (ended after " +
                                         number_text(run.process_seconds, 0) + " s)"};
    if (run.process_end == ProcessEnd::kCrashed)
        return {VerdictKind::kFails, std::string("fails: crashed the player (") + code + ")"};
    if (run.window == WindowShown::kNone)
        return {run.no_window_in_time && run.boxes.empty() ? VerdictKind::kDrawsNothing
                                                           : VerdictKind::kFails,
                (run.no_window_in_time && run.boxes.empty() ? "runs but draws nothing: "
                                                            : "fails: ") +
                    why_it_did_not_start(run)};
    if (run.ended_early)
        return {VerdictKind::kFails, "fails: its run ended soon after its window appeared"};
    if (run.stop_seconds >= kForcedStopSeconds)
        return {VerdictKind::kFails, "fails: did not stop; ended by force after " +
                                         number_text(run.stop_seconds, 1) + " s"};
    if (!run.drew)
        return {VerdictKind::kDrawsNothing, "runs but draws nothing"};
    if (run.picture_changes == 0)
        return {VerdictKind::kDrawsNothing, "runs but draws nothing: its picture stands still"};
    return {VerdictKind::kWorks, "works"};
}

std::string run_facts_text(const ModuleRun& run)
{
    std::ostringstream out;
    out << "description=" << run.description << "\n"
        << "init=" << static_cast<int>(run.init) << "\n"
        << "window=" << static_cast<int>(run.window) << "\n"
        << "no_window_in_time=" << run.no_window_in_time << "\n"
        << "ended_early=" << run.ended_early << "\n"
        << "drew=" << run.drew << "\n"
        << "picture_changes=" << run.picture_changes << "\n"
        << "picture_seconds=" << number_text(run.picture_seconds, 3) << "\n"
        << "frame_delay_ms=" << run.frame_delay_ms << "\n"
        << "stop_seconds=" << number_text(run.stop_seconds, 3) << "\n"
        << "first_picture_seconds=" << number_text(run.first_picture_seconds, 3) << "\n";
    for (const std::string& text : run.boxes)
        out << "box=" << text << "\n";
    for (const std::string& text : run.dialogs)
        out << "dialog=" << text << "\n";
    return out.str();
}

void read_run_facts(const std::string& text, ModuleRun& run)
{
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        const size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        const std::string key = line.substr(0, equals);
        const std::string value = line.substr(equals + 1);
        const int number = atoi(value.c_str());
        if (key == "description")
            run.description = value;
        else if (key == "init")
            run.init = static_cast<InitResult>(std::clamp(number, 0, 3));
        else if (key == "window")
            run.window = static_cast<WindowShown>(std::clamp(number, 0, 2));
        else if (key == "no_window_in_time")
            run.no_window_in_time = number != 0;
        else if (key == "ended_early")
            run.ended_early = number != 0;
        else if (key == "drew")
            run.drew = number != 0;
        else if (key == "picture_changes")
            run.picture_changes = number;
        else if (key == "picture_seconds")
            run.picture_seconds = atof(value.c_str());
        else if (key == "frame_delay_ms")
            run.frame_delay_ms = number;
        else if (key == "stop_seconds")
            run.stop_seconds = atof(value.c_str());
        else if (key == "first_picture_seconds")
            run.first_picture_seconds = atof(value.c_str());
        else if (key == "box")
            run.boxes.push_back(value);
        else if (key == "dialog")
            run.dialogs.push_back(value);
    }
}

void sort_for_table(std::vector<ModuleRun>& runs)
{
    std::stable_sort(runs.begin(), runs.end(), [](const ModuleRun& a, const ModuleRun& b) {
        const VerdictKind kind_a = verdict_of(a).kind;
        const VerdictKind kind_b = verdict_of(b).kind;
        if (kind_a != kind_b)
            return kind_a < kind_b;
        if (a.file != b.file)
            return a.file < b.file;
        return a.module < b.module;
    });
}

std::string survey_table(const std::vector<ModuleRun>& runs)
{
    static const char* const kInit[] = {"-", "first attempt", "second attempt", "failed"};
    static const char* const kWindow[] = {"none", "frame", "own window"};
    std::string table =
        "| Verdict | File | Module | Init | Window | First picture | Drew | Moved | "
        "Pictures/s (asked) | Boxes and dialogs | Stop |\n"
        "|---|---|---|---|---|---|---|---|---|---|---|\n";
    for (const ModuleRun& run : runs) {
        const bool ran = run.loaded && run.module >= 0 && run.process_end == ProcessEnd::kExited;
        const std::string module =
            run.module < 0 ? "-" : std::to_string(run.module) + " " + run.description;
        const std::string rate =
            !ran || run.window == WindowShown::kNone
                ? "-"
                : number_text(pictures_per_second(run), 1) + " (" +
                      (run.frame_delay_ms > 0 ? number_text(1000.0 / run.frame_delay_ms, 1) : "?") +
                      ")";
        const std::string first_picture =
            !ran || run.window == WindowShown::kNone ? "-"
            : run.first_picture_seconds < 0.0        ? "none"
                                                     : number_text(run.first_picture_seconds, 1) + " s";
        const std::string seen = joined(run.boxes, "box: ") +
                                 (run.boxes.empty() || run.dialogs.empty() ? "" : "; ") +
                                 joined(run.dialogs, "dialog: ");
        table += "| " + cell(verdict_of(run).text) + " | " + cell(run.file) + " | " + cell(module) +
                 " | " + (ran ? kInit[static_cast<int>(run.init)] : "-") + " | " +
                 (ran ? kWindow[static_cast<int>(run.window)] : "-") + " | " + first_picture +
                 " | " + (ran ? (run.drew ? "yes" : "no") : "-") + " | " +
                 (ran ? (run.picture_changes > 0 ? "yes" : "no") : "-") + " | " + rate + " | " +
                 cell(seen.empty() ? "-" : seen) + " | " +
                 (ran ? number_text(run.stop_seconds, 2) + " s" : "-") + " |\n";
    }
    return table;
}
