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

TEST_F(MemoryAccess, TextMustEndInReadableMemoryWithinTheLimit)
{
    // Runs over the page boundary and ends at the read-only page's first byte, a zero.
    char* text = pages_ + kPage - 3;
    memcpy(text, "abc", 3);
    EXPECT_TRUE(is_readable_text(text, 100));
    EXPECT_FALSE(is_readable_text(text, 3));
    EXPECT_FALSE(is_readable_text(nullptr, 100));
    // Without that page the text runs into memory with no access.
    DWORD previous = 0;
    ASSERT_TRUE(VirtualProtect(pages_ + kPage, kPage, PAGE_NOACCESS, &previous));
    EXPECT_FALSE(is_readable_text(text, 100));
}

}  // namespace
