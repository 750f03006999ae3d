#include "tests/plugins/vis_probe_fuzz_values.h"

#include "tests/plugins/vis_probe_fuzz_memory.h"

#include <climits>

namespace {

HWND g_stale = nullptr;

HWND stale_window()
{
    if (!g_stale) {
        g_stale = CreateWindowExA(0, "STATIC", "gone", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                                  nullptr);
        if (g_stale)
            DestroyWindow(g_stale);
    }
    return g_stale;
}

// The desktop window is the shell process's under this system, not ours.
HWND foreign_window()
{
    return GetDesktopWindow();
}

}  // namespace

int32_t any_number(FuzzRandom& random)
{
    static const int32_t edges[] = {0, 1, -1, INT_MIN, INT_MAX, 0x8000, 0xFFFF, 0x10000};
    return random.one_in(2) ? edges[random.below(8)] : static_cast<int32_t>(random.next());
}

uintptr_t any_word(FuzzRandom& random, const FuzzTargets& targets)
{
    const FuzzMemory& memory = fuzz_memory();
    switch (random.below(12)) {
    case 0: return 0;
    case 1: return static_cast<uint32_t>(any_number(random));
    case 2: return reinterpret_cast<uintptr_t>(stale_window());
    case 3: return reinterpret_cast<uintptr_t>(foreign_window());
    case 4: return reinterpret_cast<uintptr_t>(targets.winamp);
    case 5: return reinterpret_cast<uintptr_t>(targets.frame);
    case 6: return reinterpret_cast<uintptr_t>(targets.drawing);
    case 7: return reinterpret_cast<uintptr_t>(memory.no_access);
    case 8: return reinterpret_cast<uintptr_t>(memory.read_only);
    case 9: return reinterpret_cast<uintptr_t>(at_readable_end(4));
    case 10: return reinterpret_cast<uintptr_t>(memory.writable);
    default: return random.next();
    }
}

HWND window_of(FuzzRandom& random, const FuzzTargets& targets)
{
    return targets.frame && random.one_in(3) ? targets.frame : targets.winamp;
}
