#include "tools/player/survey_record.h"

#include <gtest/gtest.h>

namespace {

ModuleRun working_run(const std::string& file, int32_t module)
{
    ModuleRun run;
    run.file = file;
    run.module = module;
    run.loaded = true;
    run.init = InitResult::kFirstAttempt;
    run.window = WindowShown::kFrame;
    run.drew = true;
    run.picture_changes = 40;
    run.picture_seconds = 1.0;
    run.frame_delay_ms = 20;
    run.stop_seconds = 0.02;
    run.first_picture_seconds = 1.5;
    return run;
}

TEST(SurveyVerdict, TheFirstFaultFoundDecides)
{
    ModuleRun run = working_run("vis_a.dll", 0);
    EXPECT_EQ(verdict_of(run).kind, VerdictKind::kWorks);

    run.picture_changes = 0;
    EXPECT_EQ(verdict_of(run).text, "runs but draws nothing: its picture stands still");
    run.drew = false;
    EXPECT_EQ(verdict_of(run).kind, VerdictKind::kDrawsNothing);
    // A stop at the wrapper's bound outweighs what was drawn.
    run.stop_seconds = 5.0;
    EXPECT_EQ(verdict_of(run).text, "fails: did not stop; ended by force after 5.0 s");

    ModuleRun failed = working_run("vis_b.dll", 0);
    failed.window = WindowShown::kNone;
    failed.init = InitResult::kFailed;
    EXPECT_EQ(verdict_of(failed).text, "fails: init failed twice");
    failed.boxes = {"vis_b: no frame"};
    EXPECT_EQ(verdict_of(failed).text, "fails: did not start: vis_b: no frame");
    failed.boxes.clear();
    failed.init = InitResult::kUnknown;
    failed.no_window_in_time = true;
    EXPECT_EQ(verdict_of(failed).kind, VerdictKind::kDrawsNothing);

    // What the process did comes before anything the run reported.
    failed.process_end = ProcessEnd::kCrashed;
    failed.exit_code = 0xC0000005;
    EXPECT_EQ(verdict_of(failed).text, "fails: crashed the player (0xC0000005)");
    failed.loaded = false;
    failed.load_error = "does not load: bad image";
    EXPECT_EQ(verdict_of(failed).text, "fails: does not load: bad image");
}

TEST(SurveyFacts, ReadBackAsWritten)
{
    ModuleRun written = working_run("vis_a.dll", 1);
    written.description = "Bars";
    written.window = WindowShown::kOwn;
    written.init = InitResult::kSecondAttempt;
    written.ended_early = true;
    written.picture_seconds = 3.25;
    written.boxes = {"vis_a: hello", "vis_a: again"};
    written.dialogs = {"Settings"};

    ModuleRun read;
    read_run_facts(run_facts_text(written) + "unknown=7\nno equals sign\n", read);
    EXPECT_EQ(read.description, "Bars");
    EXPECT_EQ(read.window, WindowShown::kOwn);
    EXPECT_EQ(read.init, InitResult::kSecondAttempt);
    EXPECT_TRUE(read.ended_early);
    EXPECT_TRUE(read.drew);
    EXPECT_EQ(read.picture_changes, 40);
    EXPECT_DOUBLE_EQ(read.picture_seconds, 3.25);
    EXPECT_EQ(read.frame_delay_ms, 20);
    EXPECT_DOUBLE_EQ(read.first_picture_seconds, 1.5);
    EXPECT_EQ(read.boxes, written.boxes);
    EXPECT_EQ(read.dialogs, written.dialogs);

    // Numbers out of range stay inside the enumerations.
    read_run_facts("init=9\nwindow=-4\n", read);
    EXPECT_EQ(read.init, InitResult::kFailed);
    EXPECT_EQ(read.window, WindowShown::kNone);
}

TEST(SurveyTable, SortedByVerdictThenFileWithCellsKeptWhole)
{
    ModuleRun still = working_run("vis_a.dll", 0);
    still.picture_changes = 0;
    still.drew = false;
    still.first_picture_seconds = -1.0;
    ModuleRun failed;
    failed.file = "vis_0.dll";
    failed.load_error = "does not load: a | b";
    std::vector<ModuleRun> runs = {still, working_run("vis_c.dll", 1), failed,
                                   working_run("vis_c.dll", 0), working_run("vis_b.dll", 0)};
    sort_for_table(runs);
    ASSERT_EQ(runs.size(), 5u);
    EXPECT_EQ(runs[0].file + std::to_string(runs[0].module), "vis_b.dll0");
    EXPECT_EQ(runs[1].file + std::to_string(runs[1].module), "vis_c.dll0");
    EXPECT_EQ(runs[2].file + std::to_string(runs[2].module), "vis_c.dll1");
    EXPECT_EQ(runs[3].file, "vis_a.dll");
    EXPECT_EQ(runs[4].file, "vis_0.dll");

    const std::string table = survey_table(runs);
    EXPECT_NE(table.find("| works | vis_b.dll | 0  | first attempt | frame | 1.5 s | yes | yes | "
                         "40.0 (50.0) | - | 0.02 s |\n"),
              std::string::npos)
        << table;
    EXPECT_NE(table.find("| vis_a.dll | 0  | first attempt | frame | none | no | no |"),
              std::string::npos)
        << table;
    EXPECT_NE(table.find("| fails: does not load: a \\| b | vis_0.dll | - | - |"),
              std::string::npos)
        << table;
}

}  // namespace
