#include "runtime/memory_access.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Three pages: read-write, read-only, no access.
class MemoryAccess : public ::testing::Test {
protected:
    void SetUp() override
    {
        pages_ = static_cast<char*>(VirtualAlloc(nullptr, 3 * kPage, MEM_COMMIT | MEM_RESERVE,
                                                 PAGE_READWRITE));
        ASSERT_NE(pages_, nullptr);
        DWORD previous = 0;
        ASSERT_TRUE(VirtualProtect(pages_ + kPage, kPage, PAGE_READONLY, &previous));
        ASSERT_TRUE(VirtualProtect(pages_ + 2 * kPage, kPage, PAGE_NOACCESS, &previous));
    }
    void TearDown() override { VirtualFree(pages_, 0, MEM_RELEASE); }

    static constexpr size_t kPage = 4096;
    char* pages_ = nullptr;
};

TEST_F(MemoryAccess, EveryByteOfTheRangeMustAllowTheAccess)
{
    EXPECT_TRUE(is_writable_memory(pages_, kPage));
    EXPECT_TRUE(is_readable_memory(pages_, 2 * kPage));
    // One byte over into the next kind of page is enough to refuse.
    EXPECT_FALSE(is_writable_memory(pages_ + kPage - 8, 9));
    EXPECT_TRUE(is_writable_memory(pages_ + kPage - 8, 8));
    EXPECT_FALSE(is_readable_memory(pages_ + 2 * kPage - 4, 8));
    EXPECT_FALSE(is_readable_memory(pages_ + 2 * kPage, 1));
    EXPECT_TRUE(is_readable_memory(pages_ + kPage, 12));
    EXPECT_FALSE(is_writable_memory(pages_ + kPage, 12));
}

TEST_F(MemoryAccess, NullFreedAndGuardPagesAreRefused)
{
    EXPECT_FALSE(is_readable_memory(nullptr, 4));
    int on_stack = 0;
    EXPECT_TRUE(is_writable_memory(&on_stack, sizeof on_stack));

    DWORD previous = 0;
    ASSERT_TRUE(VirtualProtect(pages_, kPage, PAGE_READWRITE | PAGE_GUARD, &previous));
    EXPECT_FALSE(is_readable_memory(pages_, 4));

    char* gone = static_cast<char*>(VirtualAlloc(nullptr, kPage, MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(gone, nullptr);
    VirtualFree(gone, 0, MEM_RELEASE);
    EXPECT_FALSE(is_readable_memory(gone, 4));
}

// A text is usable when its terminator is reached before an unreadable byte and within
// the limit.
TEST_F(MemoryAccess, TextMustEndBeforeUnreadableMemoryAndWithinTheLimit)
{
    DWORD previous = 0;
    ASSERT_TRUE(VirtualProtect(pages_ + kPage, kPage, PAGE_READWRITE, &previous));
    char* last_bytes = pages_ + 2 * kPage - 3;
    std::memcpy(last_bytes, "ab", 3);
    EXPECT_TRUE(is_readable_text(last_bytes, 3));
    EXPECT_FALSE(is_readable_text(last_bytes, 2));
    last_bytes[2] = 'c';
    EXPECT_FALSE(is_readable_text(last_bytes, 100));

    auto* wide = reinterpret_cast<wchar_t*>(pages_ + 2 * kPage - 4);
    wide[0] = L'x';
    wide[1] = L'\0';
    EXPECT_TRUE(is_readable_text(wide, 2));
    wide[1] = L'y';
    EXPECT_FALSE(is_readable_text(wide, 100));
    EXPECT_FALSE(is_readable_text(static_cast<const char*>(nullptr), 100));
}

TEST(ModuleBase, OnlyTheBaseOfALoadedModuleCounts)
{
    HMODULE own = GetModuleHandleA(nullptr);
    EXPECT_TRUE(is_loaded_module(own));
    EXPECT_TRUE(is_loaded_module(GetModuleHandleA("kernel32.dll")));
    EXPECT_FALSE(is_loaded_module(reinterpret_cast<char*>(own) + 0x1000));
    EXPECT_FALSE(is_loaded_module(nullptr));
    int on_stack = 0;
    EXPECT_FALSE(is_loaded_module(&on_stack));
}

}  // namespace
