#include "emulation/string_temporaries.h"

#include "host/wrapper_state.h"

#include <atomic>

namespace {

union StringTemporary {
    char narrow[kStringTemporaryCapacity];
    wchar_t wide[kStringTemporaryCapacity];
};

struct TemporaryRing {
    StringTemporary slots[kStringTemporaryCount];
    // Atomic, as plug-in threads other than the render thread share a ring.
    std::atomic<unsigned> next{0};
};

TemporaryRing g_render_thread_ring;
TemporaryRing g_other_threads_ring;

StringTemporary& next_temporary()
{
    TemporaryRing& ring = GetCurrentThreadId() == g_state.render_thread_id
                              ? g_render_thread_ring
                              : g_other_threads_ring;
    return ring.slots[ring.next.fetch_add(1) % kStringTemporaryCount];
}

}  // namespace

char* next_narrow_temporary()
{
    return next_temporary().narrow;
}

wchar_t* next_wide_temporary()
{
    return next_temporary().wide;
}
