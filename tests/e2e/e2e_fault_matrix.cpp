// Every kind of fault in every place a plug-in's code runs, through the real DLL driven as
// the player drives it. Each cell proves that the player's thread is held no longer than
// the stop bound, that the run ends through its teardown and leaves no window, class or
// thread, and that the next run works with the audio lock free. The outcomes are printed
// as a table at the end of the program.
#include "runtime/load_error_text.h"
#include "tests/support/menu_picker.h"
#include "tests/support/message_box_watcher.h"
#include "tests/support/player_session.h"
#include "tests/support/probe_plugin.h"
#include "tests/support/process_resources.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <tuple>

namespace {

enum Place { kHeader, kModuleByIndex, kConfig, kInit, kRender, kQuit, kWindowProcedure };

const char* place_name(Place place)
{
    static const char* const names[] = {"header",     "module_by_index", "config",
                                        "init",       "render",          "quit",
                                        "window proc"};
    return names[place];
}

const Place kPlaces[] = {kHeader, kModuleByIndex, kConfig, kInit, kRender, kQuit, kWindowProcedure};

const ProbeFault kFaults[] = {kProbeAccessViolation, kProbeDivideByZero, kProbeMsvcThrow,
                              kProbeStackOverflow, kProbeEndlessLoop};

// Test names take letters and digits only: "init_divide_by_zero" reads as the cell.
std::string identifier(const char* text)
{
    std::string name;
    for (const char* c = text; *c; ++c)
        name += isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
}

const char* fault_name(ProbeFault fault)
{
    switch (fault) {
    case kProbeAccessViolation:
        return "access violation";
    case kProbeDivideByZero:
        return "divide by zero";
    case kProbeMsvcThrow:
        return "MSVC-style throw";
    case kProbeStackOverflow:
        return "stack overflow";
    case kProbeEndlessLoop:
        return "endless loop";
    case kProbeNoFault:
        break;
    }
    return "none";
}

// A stop waits 5000 ms, then ends the thread (waiting up to 1000 ms for that) and tears
// down; the rest is margin for a loaded two-core machine.
constexpr DWORD kStopBoundMs = 5000;
constexpr DWORD kPlayerHeldLimitMs = 9000;
// Render only copies under the audio lock; a lock left owned would hold it for ever.
constexpr DWORD kRenderHeldLimitMs = 1000;
constexpr DWORD kEventTimeoutMs = 60000;

// Cell -> outcome, in the order the cells ran; printed when the program ends.
std::map<std::pair<int, int>, std::string>& outcomes()
{
    static std::map<std::pair<int, int>, std::string> table;
    return table;
}

class OutcomeTable : public ::testing::Environment {
public:
    void TearDown() override
    {
        printf("\nFault matrix (place x fault -> outcome)\n");
        printf("| place | fault | outcome |\n|---|---|---|\n");
        for (const auto& [cell, outcome] : outcomes())
            printf("| %s | %s | %s |\n", place_name(static_cast<Place>(cell.first)),
                   fault_name(static_cast<ProbeFault>(cell.second)), outcome.c_str());
        fflush(stdout);
    }
};

[[maybe_unused]] ::testing::Environment* const g_outcome_table =
    ::testing::AddGlobalTestEnvironment(new OutcomeTable);

ProbeEntry entry_of(Place place)
{
    switch (place) {
    case kHeader:
        return kProbeHeader;
    case kModuleByIndex:
        return kProbeModuleByIndex;
    case kConfig:
        return kProbeConfig;
    case kInit:
        return kProbeInit;
    case kRender:
        return kProbeRender;
    case kQuit:
        return kProbeQuit;
    case kWindowProcedure:
        break;
    }
    return kProbeNoEntry;
}

void arm(ProbeControl& control, Place place, ProbeFault fault)
{
    if (place == kWindowProcedure) {
        control.drawing_window = kProbeTopLevelWindow;
        control.window_fault = fault;
    } else {
        control.faults[entry_of(place)] = fault;
    }
}

void disarm(ProbeControl& control)
{
    for (ProbeFault& fault : control.faults)
        fault = kProbeNoFault;
    control.window_fault = kProbeNoFault;
    control.render_result = 0;
}

// Quit entries owed by the teardowns: none when no module was obtained; for config, one
// more for the run that ended by itself before the Configure command.
size_t expected_quits(Place place)
{
    switch (place) {
    case kHeader:
    case kModuleByIndex:
        return 0;
    case kConfig:
        return 2;
    default:
        return 1;
    }
}

bool nothing_of_the_run_is_left(const ProcessResources& before)
{
    WNDCLASSA info;
    return !own_window_exists("KorvelVisPlugin") && !own_window_exists("KorvelVisPluginEmbed") &&
           !own_window_exists("VisProbeDrawing") &&
           !GetClassInfoA(nullptr, "KorvelVisPlugin", &info) &&
           !GetClassInfoA(nullptr, "KorvelVisPluginEmbed", &info) &&
           measure_process_resources().threads == before.threads;
}

class FaultMatrix : public ::testing::TestWithParam<std::tuple<Place, ProbeFault>> {
protected:
    std::string run_cell(Place place, ProbeFault fault)
    {
        PlayerSession session;
        ProbePlugin probe;
        ProbeControl& control = probe.control();
        session.select_plugin(ProbePlugin::path());
        const ProcessResources before = measure_process_resources();
        const bool endless = fault == kProbeEndlessLoop;
        const ProbeEntry entry = entry_of(place);

        // config runs on the render thread in a run of its own, which the Configure command
        // starts when none is going: the first run ends by itself after its three renders.
        if (place == kConfig)
            control.render_result = 1;
        else
            arm(control, place, fault);
        std::unique_ptr<MessageBoxWatcher> box;
        if (place == kHeader && !endless)
            box = std::make_unique<MessageBoxWatcher>(kEventTimeoutMs);

        DWORD held = session.initialize();
        if (place == kConfig) {
            EXPECT_TRUE(session.render_until([&] { return probe.calls(kProbeQuit).size() == 1; },
                                             kEventTimeoutMs));
            control.render_result = 0;
            arm(control, place, fault);
            held = std::max(held, session.click_menu(kMenuConfigure));
        }

        // Quit is reached only by the stop; any other place before it.
        const auto reached = [&] {
            if (place == kQuit)
                return !probe.calls(kProbeRender).empty();
            if (place == kWindowProcedure)
                return control.window_fault_reached != 0;
            return !probe.calls(entry).empty();
        };
        DWORD longest_render = 0;
        EXPECT_TRUE(session.render_until(reached, kEventTimeoutMs, &longest_render));
        const HWND drawing_window = control.vis_window;

        bool ended_by_itself = false;
        if (!endless && place != kQuit)
            ended_by_itself = session.render_until(
                [] { return !own_window_exists("KorvelVisPlugin"); }, kEventTimeoutMs);
        std::string box_text;
        if (box) {
            EXPECT_TRUE(box->finish());
            box_text = box->text();
        }
        const DWORD stop = session.finalize();
        held = std::max({held, stop, longest_render});

        EXPECT_LE(held, kPlayerHeldLimitMs);
        if (endless) {
            EXPECT_GE(stop, kStopBoundMs - 100) << "an endless loop must be ended by force";
        } else if (place != kQuit) {
            EXPECT_TRUE(ended_by_itself);
        }
        if (box) {
            EXPECT_EQ(box_text.rfind(kLoadErrorSentence, 0), 0u) << box_text;
        }
        EXPECT_EQ(probe.calls(kProbeQuit).size(), expected_quits(place));
        if (place == kConfig) {
            EXPECT_EQ(probe.calls(entry).size(), 1u) << "a faulted config is not called again";
        }
        if (place == kInit && !endless) {
            EXPECT_EQ(probe.calls(entry).size(), 2u) << "a fault is a failed attempt: one more follows";
        }
        if (place == kRender) {
            EXPECT_EQ(probe.calls(kProbeRender).size(), 1u);
        }
        const bool clean = wait_until([&] { return nothing_of_the_run_is_left(before); }, 10000);
        EXPECT_TRUE(clean) << describe_growth(before, measure_process_resources());
        EXPECT_FALSE(window_is_listed(drawing_window));

        disarm(control);
        const size_t renders_before = probe.calls(kProbeRender).size();
        const size_t quits_before = probe.calls(kProbeQuit).size();
        held = std::max(held, session.initialize());
        DWORD longest_next_render = 0;
        const bool next_run = session.render_until(
            [&] { return probe.calls(kProbeRender).size() >= renders_before + 3; },
            kEventTimeoutMs, &longest_next_render);
        held = std::max(held, session.finalize());
        EXPECT_TRUE(next_run);
        EXPECT_LE(longest_next_render, kRenderHeldLimitMs);
        EXPECT_EQ(probe.calls(kProbeQuit).size(), quits_before + 1);

        std::string outcome;
        if (endless)
            outcome = "hung; thread ended by force, stop took " + std::to_string(stop) + " ms";
        else if (place == kQuit)
            outcome = "caught in the stop (" + std::to_string(stop) + " ms)";
        else
            outcome = ended_by_itself ? "caught; run ended by itself" : "caught; run did NOT end";
        if (box)
            outcome += box_text.empty() ? "; NO error box" : "; error box";
        outcome += "; player held <= " + std::to_string(held) + " ms";
        outcome += clean ? "; nothing left" : "; LEFT resources";
        outcome += next_run ? "; next run ok" : "; next run FAILED";
        return outcome;
    }
};

TEST_P(FaultMatrix, PlayerLivesOnAndTheNextRunWorks)
{
    const auto [place, fault] = GetParam();
    const std::string outcome = run_cell(place, fault);
    outcomes()[{place, fault}] = outcome;
    printf("[ cell     ] %s x %s -> %s\n", place_name(place), fault_name(fault), outcome.c_str());
    fflush(stdout);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, FaultMatrix, ::testing::Combine(::testing::ValuesIn(kPlaces), ::testing::ValuesIn(kFaults)),
    [](const ::testing::TestParamInfo<FaultMatrix::ParamType>& info) {
        return identifier(place_name(std::get<0>(info.param))) + "_" +
               identifier(fault_name(std::get<1>(info.param)));
    });

}  // namespace
