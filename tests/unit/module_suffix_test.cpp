#include "host/module_suffix.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Outcome {
    std::string name;
    int32_t module_index;
};

// The name in a buffer of exactly its own size, so a write or read past the terminator is
// caught by the address sanitizer.
Outcome take(const std::string& chosen)
{
    std::vector<char> buffer(chosen.begin(), chosen.end());
    buffer.push_back('\0');
    const int32_t index = take_module_suffix(buffer.data());
    return {buffer.data(), index};
}

void expect_outcome(const std::string& chosen, const std::string& name, int32_t index)
{
    const Outcome outcome = take(chosen);
    EXPECT_EQ(outcome.name, name) << chosen;
    EXPECT_EQ(outcome.module_index, index) << chosen;
}

TEST(ModuleSuffix, EachSuffixFormChoosesItsModuleAndIsCutOff)
{
    const std::string dll = "C:\\Plugins\\vis_x.dll";
    expect_outcome(dll + "$2", dll, 2);
    expect_outcome(dll + "$12", dll, 12);
    expect_outcome(dll + "$2.dll", dll, 2);
    expect_outcome(dll + "$12.DLL", dll, 12);
    expect_outcome(dll + "$a", dll, 0);
    expect_outcome(dll + "$123", dll + "$123", 0);
    expect_outcome(dll, dll, 0);
}

TEST(ModuleSuffix, AddedExtensionMatchesInAnyCaseButOnlyDll)
{
    for (const char* extension : {".dll", ".DLL", ".Dll", ".dLl"}) {
        expect_outcome(std::string("vis_x.dll$3") + extension, "vis_x.dll", 3);
        expect_outcome(std::string("vis_x.dll$45") + extension, "vis_x.dll", 45);
    }
    expect_outcome("vis_x.dll$3.exe", "vis_x.dll$3.exe", 0);
    expect_outcome("vis_x.dll$3.dl", "vis_x.dll$3.dl", 0);
    expect_outcome("vis_x.dll$123.dll", "vis_x.dll$123.dll", 0);
}

TEST(ModuleSuffix, ShortNamesAreTestedOnlyWherePositionsExist)
{
    expect_outcome("", "", 0);
    expect_outcome("$", "$", 0);
    expect_outcome("7", "7", 0);
    expect_outcome("$0", "", 0);
    expect_outcome("$5", "", 5);
    expect_outcome("$99", "", 99);
    expect_outcome("a$12", "a", 12);
    expect_outcome("$1.dll", "", 1);
    expect_outcome("x$4.dll", "x", 4);
    expect_outcome("$12.dll", "", 12);
}

TEST(ModuleSuffix, LaterTestsSeeTheTextAsEarlierOnesLeftIt)
{
    // "$" at L-3 is cut first and reads "$5" as 0; the "$" at L-2 then gives 5.
    expect_outcome("x$$5", "x", 5);
    // The L-6 form cuts the extension, so the "$" at L-7 no longer stands before ".dll".
    expect_outcome("$$3.dll", "$", 3);
}

TEST(ModuleSuffix, DigitsAreReadAsAtoiReadsThem)
{
    expect_outcome("vis.dll$-1", "vis.dll", -1);
    expect_outcome("vis.dll$+7", "vis.dll", 7);
    expect_outcome("vis.dll$ 7", "vis.dll", 7);
    expect_outcome("vis.dll$1a", "vis.dll", 1);
    expect_outcome("vis.dll$-1.dll", "vis.dll", -1);
}

TEST(ModuleSuffix, FullLengthPathKeepsItsSuffixRulesAtTheBufferEnd)
{
    const std::string stem = "C:\\" + std::string(245, 'p') + ".dll";
    ASSERT_EQ((stem + "$12.dll").size(), 259u);
    expect_outcome(stem + "$12.dll", stem, 12);
    const std::string long_stem = "C:\\" + std::string(249, 'p') + ".dll";
    ASSERT_EQ((long_stem + "$12").size(), 259u);
    expect_outcome(long_stem + "$12", long_stem, 12);
}

} // namespace
