// How a thread started through a system module is told to be running the plug-in's code.
#include "runtime/plugin_code_on_stack.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

bool ends_in_call(std::vector<uint8_t> bytes)
{
    return follows_call_instruction(bytes.data(), bytes.size());
}

TEST(PluginCodeOnStack, ReturnAddressesCountOnlyAfterACallInstruction)
{
    EXPECT_TRUE(ends_in_call({0x90, 0x90, 0xE8, 1, 2, 3, 4}));        // call rel32
    EXPECT_TRUE(ends_in_call({0x90, 0x90, 0x90, 0x90, 0x90, 0xFF, 0xD1}));  // call ecx
    EXPECT_TRUE(ends_in_call({0x90, 0x90, 0x90, 0x90, 0x90, 0xFF, 0x16}));  // call [esi]
    EXPECT_TRUE(ends_in_call({0x90, 0x90, 0x90, 0x90, 0xFF, 0x55, 0x08}));  // call [ebp+8]
    EXPECT_TRUE(ends_in_call({0x90, 0xFF, 0x15, 1, 2, 3, 4}));        // call [abs32]
    EXPECT_TRUE(ends_in_call({0xFF, 0x94, 0x24, 1, 2, 3, 4}));        // call [esp+disp32]
    EXPECT_FALSE(ends_in_call({0x90, 0x90, 0x90, 0x90, 0x90, 0xFF, 0xE0}));  // jmp eax
    EXPECT_FALSE(ends_in_call({0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0xC3}));
    EXPECT_FALSE(ends_in_call({0xE8, 1, 2}));  // too few bytes to tell
}

uint8_t g_image[64];

bool in_image(uintptr_t address)
{
    const auto base = reinterpret_cast<uintptr_t>(g_image);
    return address >= base && address < base + sizeof g_image;
}

TEST(PluginCodeOnStack, FindsTheInstructionPointerOrACallersReturnAddress)
{
    memset(g_image, 0x90, sizeof g_image);
    const auto image = reinterpret_cast<uintptr_t>(g_image);
    uintptr_t stack[4] = {0x1234, image + 20, image + 40, 0x5678};

    EXPECT_TRUE(plugin_code_on_stack(image + 1, stack, stack + 4, in_image));
    EXPECT_FALSE(plugin_code_on_stack(0x3d4ccccd, stack, stack + 4, in_image))
        << "values into the image that follow no call are data";
    g_image[40 - 5] = 0xE8;
    EXPECT_TRUE(plugin_code_on_stack(0x3d4ccccd, stack, stack + 4, in_image));
    EXPECT_FALSE(plugin_code_on_stack(0x3d4ccccd, stack, stack + 2, in_image))
        << "only the live part of the stack, below its base, counts";
}

}  // namespace
