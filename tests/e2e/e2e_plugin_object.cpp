// The object the player holds: identity, reference counting and the export itself.
#include "tests/support/wrapper_dll.h"

#include <gtest/gtest.h>

#include <cwchar>

namespace {

TEST(PluginObject, IdentityStringsAreWideAndFlagsAreSeven)
{
    WrapperDll dll;
    VisualPluginObject* object = dll.object();
    ASSERT_NE(object, nullptr);
    EXPECT_STREQ(dll.ops().GetAuthor(object), L"Ruvek");
    EXPECT_STREQ(dll.ops().GetName(object), L"ZEKO Winamp Wrapper 0.2");
    EXPECT_STREQ(dll.ops().GetInfo(object), L"Wrapper for Winamp visual plugins");
    EXPECT_EQ(dll.ops().GetFlags(object), 7);
}

TEST(PluginObject, ReferenceCountGoesBelowZeroWithoutHarm)
{
    WrapperDll dll;
    VisualPluginObject* object = dll.object();
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(dll.ops().Release(object), -1);
    EXPECT_EQ(dll.ops().AddRef(object), 0);
    EXPECT_EQ(dll.ops().AddRef(object), 1);
    EXPECT_EQ(dll.ops().AddRef(object), 2);
    EXPECT_EQ(dll.ops().Release(object), 1);
    EXPECT_EQ(dll.ops().GetFlags(object), 7);
}

TEST(PluginObject, QueryInterfaceAnswersZeroAndWritesNothing)
{
    WrapperDll dll;
    uint32_t cell = 0xCAFEBABE;
    EXPECT_EQ(dll.ops().QueryInterface(dll.object(), 0x1234,
                                       static_cast<uint32_t>(reinterpret_cast<uintptr_t>(&cell))),
              0);
    EXPECT_EQ(cell, 0xCAFEBABEu);
}

TEST(PluginObject, EveryQueryGivesTheSameObjectAndLeavesTheCount)
{
    WrapperDll dll;
    using QueryVisual = VisualPluginObject** (__stdcall*)(VisualPluginObject**);
    auto query = proc_address<QueryVisual>(dll.module(), "ZEKO_QueryVisual");
    ASSERT_NE(query, nullptr);
    VisualPluginObject* first = nullptr;
    VisualPluginObject* second = nullptr;
    EXPECT_EQ(query(&first), &first);
    EXPECT_EQ(query(&second), &second);
    EXPECT_EQ(first, second);
    EXPECT_EQ(first->reference_count, 0);
    EXPECT_EQ(query, proc_address<QueryVisual>(dll.module(), MAKEINTRESOURCEA(1)));
}

TEST(PluginObject, ResizeStoresWidthAndHeight)
{
    WrapperDll dll;
    dll.resize(300, 80);
    EXPECT_EQ(dll.object()->panel_width, 300);
    EXPECT_EQ(dll.object()->panel_height, 80);
}

}  // namespace
