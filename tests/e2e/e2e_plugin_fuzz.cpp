// A plug-in that sends anything: vis_probe's fuzzing mode runs inside the real DLL while the
// player renders, resizes, clicks and starts and stops it. The process lives on, every
// Render returns within its bound, each stop ends by itself within the stop bound, nothing
// is left behind, and no fault arises inside the wrapper or the system from what the
// plug-in handed over; the faults seen are printed with the action that caused them.
//
// Short by default (fixed seeds, a few seconds). ZEKO_PLUGIN_FUZZ_SECONDS makes the long run
// for a person, with a new seed every run (from ZEKO_PLUGIN_FUZZ_FIRST_SEED, else 1000).
#include "tests/plugins/vis_probe_fuzz.h"
#include "tests/support/menu_picker.h"
#include "tests/support/player_session.h"
#include "tests/support/probe_plugin.h"
#include "tests/support/process_resources.h"
#include "tests/support/wait.h"
#include "tests/support/wrapper_dll.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

// Render only copies under the audio lock (the fault matrix's bound); a stop waits 5000 ms
// before it ends the thread by force, which a fuzzed run must never need.
constexpr double kRenderBoundMs = 1000;
constexpr DWORD kStopBoundMs = 5000;
constexpr DWORD kEventTimeoutMs = 60000;
constexpr DWORD kShortRunMs = 3000;
constexpr DWORD kQuietRunMs = 1000;
constexpr DWORD kLongRunMs = 20000;
constexpr uint32_t kShortSeeds[] = {20261209, 7};
// As the soak allows: caches of the system settle, a leak per run goes beyond.
constexpr DWORD kHandleAllowance = 16;
constexpr SIZE_T kPrivateBytesAllowance = 2 * 1024 * 1024;

const char* const kKindNames[kFuzzKindCount] = {"Winamp messages", "Dispatch calls",
                                                "embed-function calls", "random-number draws",
                                                "window messages", "module record changes"};

BOOL CALLBACK add_own_window(HWND window, LPARAM names_address)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId()) {
        char class_name[64] = "", title[64] = "";
        GetClassNameA(window, class_name, sizeof class_name);
        GetWindowTextA(window, title, sizeof title);
        *reinterpret_cast<std::string*>(names_address) +=
            std::string(class_name) + " \"" + title + "\"; ";
    }
    return TRUE;
}

BOOL CALLBACK count_own_ime_window(HWND window, LPARAM count_address)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char class_name[8] = "";
    if (process == GetCurrentProcessId() && GetClassNameA(window, class_name, sizeof class_name) &&
        lstrcmpA(class_name, "IME") == 0)
        ++*reinterpret_cast<int*>(count_address);
    return TRUE;
}

// The system gives a thread its IME window when one of its windows first takes the focus,
// as fuzzed activations and the menu do; that is no window a run left.
int own_ime_windows()
{
    int count = 0;
    EnumWindows(count_own_ime_window, reinterpret_cast<LPARAM>(&count));
    return count;
}

// Class and title of each top-level window of this process, to name what a run left.
std::string own_windows()
{
    std::string names;
    EnumWindows(add_own_window, reinterpret_cast<LPARAM>(&names));
    return names;
}

double now_ms()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int number_from(const char* variable, int otherwise)
{
    const char* text = getenv(variable);
    return text ? atoi(text) : otherwise;
}

class PluginFuzz : public ::testing::Test {
protected:
    void SetUp() override
    {
        session_.select_plugin(ProbePlugin::path());
        HMODULE probe = GetModuleHandleA(ProbePlugin::path().c_str());
        fuzz_ = proc_address<ProbeFuzzFunction>(probe, "probe_fuzz")();
        reset_ = proc_address<void(__cdecl*)()>(probe, "probe_reset");
        frame_.resize(520 + 1024);
        panel_ = CreateCompatibleDC(nullptr);
    }

    void TearDown() override
    {
        if (panel_)
            DeleteDC(panel_);
    }

    // A plug-in with a frame and a child drawing window in it, as most are; its first init
    // fails so the second gets the frame.
    void arm(uint32_t seed, bool fuzzing)
    {
        reset_();
        ProbeControl& control = probe_.control();
        control.init_failures = 1;
        control.ask_embed_window = 1;
        control.drawing_window = kProbeChildWindow;
        control.draws_through_dc = 1;
        fuzz_->seed = seed;
        fuzz_->ending_odds = 300;
        fuzz_->enabled = fuzzing;
    }

    bool run_has_quit() const { return fuzz_->quits != 0; }

    // The player's side for run_ms: Render every frame, now and then a Resize or a Click
    // on the panel that picks Start (which a running plug-in ignores) or Configure.
    void play(DWORD run_ms, uint32_t seed, std::vector<double>& renders)
    {
        uint32_t choice = seed;
        const double start = now_ms();
        while (now_ms() - start < run_ms && !run_has_quit()) {
            const double before = now_ms();
            session_.dll().render(panel_, frame_.data());
            renders.push_back(now_ms() - before);
            choice = choice * 1103515245u + 12345u;
            if ((choice >> 16) % 40 == 0)
                session_.dll().resize(50 + (choice >> 8) % 600, 40 + (choice >> 4) % 400);
            // Configure asks the running module's record whether it may be configured in
            // place; the probe's config entry then runs on this thread.
            if ((choice >> 16) % 400 == 1)
                session_.click_menu((choice >> 8) % 2 ? kMenuStart : kMenuConfigure);
            pump_messages();
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        }
    }

    void collect(uint32_t seed)
    {
        for (int kind = 0; kind < kFuzzKindCount; ++kind)
            counts_[kind] += fuzz_->counts[kind];
        for (int kind = 0; kind <= kFuzzKindCount; ++kind)
            (kind == kFuzzDispatch ? dispatch_faults_ : other_faults_) += fuzz_->faults_by_kind[kind];
        for (LONG i = 0; i < fuzz_->fault_places; ++i) {
            const ProbeFuzzFault& fault = fuzz_->faults[i];
            char place[64];
            snprintf(place, sizeof place, "%s+0x%lx", fault.module,
                     static_cast<unsigned long>(fault.offset));
            char line[400];
            snprintf(line, sizeof line, "seed %u: exception 0x%08lx, first during: %s", seed,
                     fault.code, fault.action);
            faults_.emplace(place, line);
        }
    }

    // One run: start, fuzz while playing, stop; false when it could not start.
    bool fuzzed_run(uint32_t seed, DWORD run_ms)
    {
        arm(seed, true);
        // As it happens, so that a run that ends the process names its seed.
        printf("[ run      ] seed %u\n", seed);
        fflush(stdout);
        session_.click_menu(kMenuStart);
        if (!wait_until([&] { return !probe_.calls(kProbeRender).empty() || run_has_quit(); },
                        kEventTimeoutMs)) {
            ADD_FAILURE() << "seed " << seed << ": no render call";
            return false;
        }
        play(run_ms, seed, renders_);
        const DWORD stop_ms = session_.click_menu(kMenuStop);
        stops_.push_back(stop_ms);
        EXPECT_LT(stop_ms, kStopBoundMs) << "seed " << seed << ": the stop was not bounded";
        EXPECT_EQ(fuzz_->quits, 1) << "seed " << seed;
        EXPECT_NE(fuzz_->quit_thread, GetCurrentThreadId())
            << "seed " << seed << ": the render thread was ended by force";
        ++runs_;
        collect(seed);
        // The test player keeps every request it answered; a long run would count them as growth.
        session_.player().clear_messages();
        return true;
    }

    static void print_renders(const char* when, std::vector<double> sorted)
    {
        std::sort(sorted.begin(), sorted.end());
        const auto at = [&](double share) {
            return sorted.empty() ? 0.0 : sorted[static_cast<size_t>(share * (sorted.size() - 1))];
        };
        printf("[ measured ] Render %s: %zu calls, p50 %.3f ms, p99 %.3f ms, max %.3f ms\n", when,
               sorted.size(), at(0.5), at(0.99), sorted.empty() ? 0.0 : sorted.back());
    }

    void report(const ProcessResources& before, const ProcessResources& after, double seconds)
    {
        printf("[ measured ] %d runs in %.0f s\n", runs_, seconds);
        for (int kind = 0; kind < kFuzzKindCount; ++kind)
            printf("[ measured ] %s: %ld\n", kKindNames[kind], counts_[kind]);
        print_renders("beside a quiet run", quiet_renders_);
        print_renders("under fuzzing", renders_);
        printf("[ measured ] stop: longest %lu ms\n",
               stops_.empty() ? 0ul : *std::max_element(stops_.begin(), stops_.end()));
        printf("[ measured ] resources: %s\n", describe_growth(before, after).c_str());
        printf("[ measured ] faults seen: %ld in Dispatch, %ld elsewhere; places:\n",
               dispatch_faults_, other_faults_);
        for (const auto& [place, first] : faults_)
            printf("[ fault    ] %s: %s\n", place.c_str(), first.c_str());
        fflush(stdout);
    }

    PlayerSession session_;
    ProbePlugin probe_;
    ProbeFuzzControl* fuzz_ = nullptr;
    void(__cdecl* reset_)() = nullptr;
    std::vector<uint8_t> frame_;
    HDC panel_ = nullptr;

    std::vector<double> quiet_renders_;
    std::vector<double> renders_;
    std::vector<DWORD> stops_;
    long counts_[kFuzzKindCount] = {};
    // Each faulting place once, with the first action seen to cause it.
    std::map<std::string, std::string> faults_;
    long dispatch_faults_ = 0;
    long other_faults_ = 0;
    int runs_ = 0;
};

TEST_F(PluginFuzz, PlayerOutlivesAPluginThatSendsAnything)
{
    // One quiet run first, so that what the system sets up once is not counted as growth.
    arm(0, false);
    session_.initialize();
    ASSERT_TRUE(session_.render_until([&] { return !probe_.calls(kProbeRender).empty(); },
                                      kEventTimeoutMs));
    // Render's times in this process without fuzzing, to set those under fuzzing beside.
    play(kQuietRunMs, 1, quiet_renders_);
    session_.click_menu(kMenuStop);
    const ProcessResources before = measure_process_resources();
    const int ime_before = own_ime_windows();

    const double start = now_ms();
    const int seconds = number_from("ZEKO_PLUGIN_FUZZ_SECONDS", 0);
    if (seconds > 0) {
        // ZEKO_PLUGIN_FUZZ_FIRST_SEED replays a long run from the seed it printed.
        const auto first = static_cast<uint32_t>(number_from("ZEKO_PLUGIN_FUZZ_FIRST_SEED", 1000));
        for (uint32_t seed = first; now_ms() - start < seconds * 1000.0; ++seed)
            if (!fuzzed_run(seed, kLongRunMs))
                break;
    } else {
        for (uint32_t seed : kShortSeeds)
            if (!fuzzed_run(seed, kShortRunMs))
                break;
    }
    reset_();

    wait_until([&] {
        const ProcessResources now = measure_process_resources();
        return now.threads <= before.threads &&
               now.windows - own_ime_windows() <= before.windows - ime_before;
    }, 10000);
    const ProcessResources after = measure_process_resources();
    const int ime_after = own_ime_windows();
    report(before, after, (now_ms() - start) / 1000.0);

    const double longest = renders_.empty() ? 0 : *std::max_element(renders_.begin(), renders_.end());
    EXPECT_LT(longest, kRenderBoundMs);
    EXPECT_LE(after.handles, before.handles + kHandleAllowance);
    EXPECT_LE(after.private_bytes, before.private_bytes + kPrivateBytesAllowance);
    EXPECT_LE(after.threads, before.threads);
    EXPECT_LE(after.windows - ime_after, before.windows - ime_before) << own_windows();
    // Nothing a plug-in sends may fault inside the wrapper.
    EXPECT_EQ(dispatch_faults_ + other_faults_, 0);
    for (long count : counts_)
        EXPECT_GT(count, 0);
    session_.finalize();
}

}  // namespace
