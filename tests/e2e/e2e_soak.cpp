// Many runs in one process leave nothing behind: 1000 start/stop cycles through the menu
// and 100 Initialize/Finalize cycles, each measured against the process's handles, USER
// and GDI objects, private bytes, threads and windows. The counts can be lowered for a
// short local run with ZEKO_SOAK_START_STOP_CYCLES and ZEKO_SOAK_INITIALIZE_CYCLES.
#include "tests/support/menu_picker.h"
#include "tests/support/player_session.h"
#include "tests/support/probe_plugin.h"
#include "tests/support/process_resources.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr DWORD kEventTimeoutMs = 60000;

// What may grow over a whole soak, whatever the count: caches of the system and the
// runtime settle after the first cycles, a leak per cycle goes far beyond.
constexpr DWORD kHandleAllowance = 16;
constexpr DWORD kGuiObjectAllowance = 8;
constexpr SIZE_T kPrivateBytesAllowance = 2 * 1024 * 1024;

int cycle_count(const char* variable, int standard)
{
    const char* text = getenv(variable);
    const int count = text ? atoi(text) : 0;
    return count > 0 ? count : standard;
}

void expect_no_growth(const ProcessResources& before, const char* soak, int cycles)
{
    // Threads and windows of ended runs may take a moment to go.
    wait_until([&] {
        const ProcessResources now = measure_process_resources();
        return now.threads <= before.threads && now.windows <= before.windows;
    }, 10000);
    const ProcessResources after = measure_process_resources();
    const std::string growth = describe_growth(before, after);
    printf("[ measured ] %s, %d cycles: %s\n", soak, cycles, growth.c_str());
    EXPECT_LE(after.handles, before.handles + kHandleAllowance) << growth;
    EXPECT_LE(after.user_objects, before.user_objects + kGuiObjectAllowance) << growth;
    EXPECT_LE(after.gdi_objects, before.gdi_objects + kGuiObjectAllowance) << growth;
    EXPECT_LE(after.private_bytes, before.private_bytes + kPrivateBytesAllowance) << growth;
    EXPECT_LE(after.threads, before.threads) << growth;
    EXPECT_LE(after.windows, before.windows) << growth;
}

class Soak : public ::testing::Test {
protected:
    void SetUp() override { session_.select_plugin(ProbePlugin::path()); }

    bool renders_reach(size_t count)
    {
        return session_.render_until([&] { return probe_.calls(kProbeRender).size() >= count; },
                                     kEventTimeoutMs);
    }

    // The probe records a bounded number of calls; each cycle starts counting afresh.
    void forget_calls()
    {
        probe_.control().call_count = 0;
        probe_.control().calls_reserved = 0;
    }

    PlayerSession session_;
    ProbePlugin probe_;
};

TEST_F(Soak, StartAndStopFromTheMenuLeaveNothingBehind)
{
    const int cycles = cycle_count("ZEKO_SOAK_START_STOP_CYCLES", 1000);
    session_.initialize();
    // One cycle first, so that what the system sets up once is not counted as growth.
    ASSERT_TRUE(renders_reach(1));
    session_.click_menu(kMenuStop);
    forget_calls();
    session_.click_menu(kMenuStart);
    ASSERT_TRUE(renders_reach(1));
    session_.click_menu(kMenuStop);
    const ProcessResources before = measure_process_resources();

    const DWORD start = GetTickCount();
    int completed = 0;
    for (; completed < cycles; ++completed) {
        forget_calls();
        session_.click_menu(kMenuStart);
        const bool rendered = renders_reach(1);
        session_.click_menu(kMenuStop);
        if (!rendered || probe_.calls(kProbeQuit).size() != 1) {
            ADD_FAILURE() << "cycle " << completed << " did not run through";
            break;
        }
    }
    printf("[ measured ] %d start/stop cycles took %lu ms\n", completed, GetTickCount() - start);
    expect_no_growth(before, "start/stop", completed);
    session_.finalize();
}

TEST_F(Soak, InitializeAndFinalizeLeaveNothingBehind)
{
    const int cycles = cycle_count("ZEKO_SOAK_INITIALIZE_CYCLES", 100);
    session_.initialize();
    ASSERT_TRUE(renders_reach(1));
    session_.finalize();
    const ProcessResources before = measure_process_resources();

    const DWORD start = GetTickCount();
    int completed = 0;
    for (; completed < cycles; ++completed) {
        forget_calls();
        session_.initialize();
        const bool rendered = renders_reach(1);
        session_.finalize();
        if (!rendered || probe_.calls(kProbeQuit).size() != 1) {
            ADD_FAILURE() << "cycle " << completed << " did not run through";
            break;
        }
    }
    printf("[ measured ] %d Initialize/Finalize cycles took %lu ms\n", completed,
           GetTickCount() - start);
    expect_no_growth(before, "Initialize/Finalize", completed);
}

}  // namespace
