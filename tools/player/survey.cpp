#include "tools/player/survey.h"

#include "tools/player/child_process.h"
#include "tools/player/contact_sheet.h"
#include "tools/player/folder_tree.h"
#include "tools/player/module_listing.h"
#include "tools/player/picture_file.h"
#include "tools/player/player_setup.h"
#include "tools/player/png_writer.h"
#include "tools/player/survey_record.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

constexpr double kListingBoundSeconds = 20.0;
// Beyond the start-up limit, the timed run and the stop: Wine's start and end of a process.
constexpr double kRunBoundMarginSeconds = 20.0;
constexpr double kStopBoundSeconds = 5.0;

std::string read_text(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool write_text(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    return !out.fail();
}

bool make_directory(const std::string& path)
{
    return CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

std::vector<std::string> plugin_files(const std::string& dir)
{
    std::vector<std::string> files;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "\\vis*.dll").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return files;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(files.begin(), files.end());
    return files;
}

std::string quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

std::string this_program()
{
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    return length > 0 && length < sizeof path ? path : "zeko_player.exe";
}

std::string crash_text(const ChildResult& child)
{
    char text[64];
    snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(child.exit_code));
    return text;
}

// The file's modules from a child process; a single failed row when it offers none.
std::vector<ModuleRun> list_file(const std::string& dir, const std::string& file,
                                 const std::string& work)
{
    const std::string listing_path = work + "\\" + file + ".modules.txt";
    DeleteFileA(listing_path.c_str());
    const ChildResult child =
        run_child(quoted(this_program()) + " --list-modules " + quoted(dir + "\\" + file) +
                      " --report " + quoted(listing_path),
                  work + "\\" + file + ".modules.log", kListingBoundSeconds);
    ModuleRun base;
    base.file = file;
    const ModuleListing listing = read_listing(read_text(listing_path));
    if (!child.started)
        base.load_error = "the player could not be started";
    else if (child.killed)
        base.load_error = "its header function hangs";
    else if (is_crash_code(child.exit_code)) {
        // Winamp 5 plug-ins ask Winamp's window for its services in their header function;
        // the listing has no such window to give. Module 0 then runs through the wrapper,
        // which gives one, and that run's verdict counts.
        ModuleRun run = base;
        run.loaded = true;
        run.module = 0;
        run.description = "(not listed: the header crashed without Winamp's window, " +
                          crash_text(child) + ")";
        return {run};
    } else if (!listing.loaded || listing.modules.empty())
        base.load_error = listing.error.empty() ? "gave no answer" : listing.error;
    if (!base.load_error.empty())
        return {base};
    std::vector<ModuleRun> runs;
    for (size_t i = 0; i < listing.modules.size(); ++i) {
        ModuleRun run = base;
        run.loaded = true;
        run.module = static_cast<int32_t>(i);
        run.description = listing.modules[i];
        runs.push_back(run);
    }
    return runs;
}

void run_module(const std::string& dir, const std::string& work, const PlayerOptions& options,
                double seconds, ModuleRun& run)
{
    const std::string name = work + "\\" + run.file + "." + std::to_string(run.module);
    const std::string facts_path = name + ".txt";
    DeleteFileA(facts_path.c_str());
    DeleteFileA((facts_path + ".picture").c_str());
    // Every run starts from an empty settings folder (plus what --settings-from gives), not
    // from what an earlier survey's run left there.
    remove_folder(name + ".settings");
    char timing_options[64];
    snprintf(timing_options, sizeof timing_options, "%g --first-picture-wait %g", seconds,
             options.first_picture_wait);
    const ChildResult child = run_child(
        quoted(this_program()) + " --plugin " +
            quoted(dir + "\\" + run.file + "$" + std::to_string(run.module)) + " --seconds " +
            timing_options + " --settings " + quoted(name + ".settings") + " --report " +
            quoted(facts_path) + (options.from_screen ? " --from-screen" : "") +
            (options.settings_from.empty()
                 ? ""
                 : " --settings-from " + quoted(full_path(options.settings_from))),
        name + ".log",
        kStartupLimitSeconds + options.first_picture_wait + seconds + kStopBoundSeconds +
            kRunBoundMarginSeconds);
    run.exit_code = child.exit_code;
    run.process_seconds = child.seconds;
    const std::string description = run.description;
    if (!child.started)
        run.process_end = ProcessEnd::kNotStarted;
    else if (child.killed)
        run.process_end = ProcessEnd::kKilled;
    else if (is_crash_code(child.exit_code))
        run.process_end = ProcessEnd::kCrashed;
    else if (const std::string facts = read_text(facts_path); facts.empty())
        run.process_end = ProcessEnd::kNoReport;
    else
        read_run_facts(facts, run);
    if (run.description.empty())
        run.description = description;
}

}  // namespace

bool write_run_facts(const SessionReport& report, const std::string& facts_path)
{
    ModuleRun run;
    run.description = report.module.module_description;
    run.frame_delay_ms = report.module.frame_delay_ms;
    const bool shown = report.start == PluginStart::kWindowShown;
    run.init = shown                                        ? (report.second_init_attempt
                                                                   ? InitResult::kSecondAttempt
                                                                   : InitResult::kFirstAttempt)
               : report.start == PluginStart::kRunEnded && report.second_init_attempt
                   ? InitResult::kFailed
                   : InitResult::kUnknown;
    run.window = !shown ? WindowShown::kNone
                        : report.drawing_in_frame ? WindowShown::kFrame : WindowShown::kOwn;
    run.no_window_in_time = report.start == PluginStart::kNoWindowInTime;
    run.ended_early = shown && !report.windows_at_end.emulated_main;
    run.drew = report.drew;
    run.picture_changes = report.picture_changes;
    run.picture_seconds = report.picture_seconds;
    run.boxes = report.dialogs.boxes;
    run.dialogs = report.dialogs.dialogs;
    run.stop_seconds = report.stop_seconds;
    run.first_picture_seconds = report.first_picture_seconds;
    return save_picture(facts_path + ".picture", report.plugin_picture) &&
           write_text(facts_path, run_facts_text(run));
}

bool write_module_listing(const std::string& dll_path, const std::string& listing_path)
{
    return write_text(listing_path, listing_text(list_modules(dll_path)));
}

int run_survey(const PlayerOptions& options)
{
    const std::string dir = full_path(options.survey_dir);
    const std::string out = full_path(options.out_dir);
    const std::string work = out + "\\survey-runs";
    const double seconds = options.seconds > 0.0 ? options.seconds : kSurveySecondsByDefault;
    const std::vector<std::string> files = plugin_files(dir);
    if (files.empty()) {
        fprintf(stderr, "zeko_player: no vis*.dll in %s\n", dir.c_str());
        return 1;
    }
    const DWORD saved = options.settings_from.empty()
                            ? FILE_ATTRIBUTE_DIRECTORY
                            : GetFileAttributesA(options.settings_from.c_str());
    if (saved == INVALID_FILE_ATTRIBUTES || !(saved & FILE_ATTRIBUTE_DIRECTORY)) {
        fprintf(stderr, "zeko_player: no such folder: %s\n", options.settings_from.c_str());
        return 1;
    }
    // Nothing an earlier survey left may pass for this one's.
    remove_folder(work);
    if (!make_directory(out) || !make_directory(work)) {
        fprintf(stderr, "zeko_player: cannot create %s\n", work.c_str());
        return 1;
    }
    printf("zeko_player: survey of %zu files in %s, %g s a module from its first picture "
           "(awaited up to %g s)\n",
           files.size(), dir.c_str(), seconds, options.first_picture_wait);
    fflush(stdout);

    std::vector<ModuleRun> runs;
    for (const std::string& file : files) {
        for (ModuleRun& run : list_file(dir, file, work)) {
            if (run.module >= 0)
                run_module(dir, work, options, seconds, run);
            printf("zeko_player: %s module %d: %s\n", run.file.c_str(), run.module,
                   verdict_of(run).text.c_str());
            fflush(stdout);
            runs.push_back(run);
        }
    }

    sort_for_table(runs);
    const std::string table = survey_table(runs);
    printf("\n%s", table.c_str());
    std::vector<SheetEntry> entries;
    for (const ModuleRun& run : runs) {
        SheetEntry entry;
        if (run.module >= 0)
            entry.picture = load_picture(work + "\\" + run.file + "." + std::to_string(run.module) +
                                         ".txt.picture");
        entry.name = run.module >= 0 ? run.file + " $" + std::to_string(run.module) + " " +
                                           run.description
                                     : run.file;
        const Verdict verdict = verdict_of(run);
        entry.verdict = verdict.text;
        entry.works = verdict.kind == VerdictKind::kWorks;
        entries.push_back(entry);
    }
    char summary[512];
    snprintf(summary, sizeof summary,
             "# Plug-in survey\n\n%zu modules of %zu files in %s, each run with the built-in "
             "piece for %g s from its first picture (awaited up to %g s).\n\n",
             runs.size(), files.size(), dir.c_str(), seconds, options.first_picture_wait);
    const std::string markdown = summary + table;
    const Image sheet = draw_contact_sheet(entries);
    std::vector<uint8_t> png = encode_png(sheet);
    const bool written = write_text(out + "\\survey.md", markdown) && sheet.width > 0 &&
                         write_text(out + "\\survey.png", std::string(png.begin(), png.end()));
    if (!written) {
        fprintf(stderr, "zeko_player: cannot write the survey into %s\n", out.c_str());
        return 1;
    }
    printf("\nzeko_player: survey written to %s\\survey.md and survey.png\n", out.c_str());
    return 0;
}
