// Whatever the settings file holds and whatever file it names, the player gets the error
// box or a clean start with nothing running, never a crash, and is never held long.
#include "runtime/load_error_text.h"
#include "tests/support/ini_file.h"
#include "tests/support/message_box_watcher.h"
#include "tests/support/player_session.h"
#include "tests/support/probe_plugin.h"
#include "tests/support/process_resources.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

namespace {

const char kSection[] = "zeko_vis_winamp";
constexpr DWORD kPlayerHeldLimitMs = 9000;
constexpr DWORD kEventTimeoutMs = 60000;

bool starts_with(const std::string& text, const char* prefix)
{
    return text.rfind(prefix, 0) == 0;
}

// A PE32+ (x86-64) DLL with no sections: sound headers of the wrong machine.
std::string pe32_plus_dll()
{
    std::string image(0x200, '\0');
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(&image[0]);
    dos->e_magic = IMAGE_DOS_SIGNATURE;
    dos->e_lfanew = sizeof(IMAGE_DOS_HEADER);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS64*>(&image[dos->e_lfanew]);
    nt->Signature = IMAGE_NT_SIGNATURE;
    nt->FileHeader.Machine = IMAGE_FILE_MACHINE_AMD64;
    nt->FileHeader.SizeOfOptionalHeader = sizeof(IMAGE_OPTIONAL_HEADER64);
    nt->FileHeader.Characteristics =
        IMAGE_FILE_EXECUTABLE_IMAGE | IMAGE_FILE_DLL | IMAGE_FILE_LARGE_ADDRESS_AWARE;
    IMAGE_OPTIONAL_HEADER64& optional = nt->OptionalHeader;
    optional.Magic = IMAGE_NT_OPTIONAL_HDR64_MAGIC;
    optional.ImageBase = 0x180000000ull;
    optional.SectionAlignment = 0x1000;
    optional.FileAlignment = 0x200;
    optional.MajorOperatingSystemVersion = 6;
    optional.MajorSubsystemVersion = 6;
    optional.SizeOfImage = 0x1000;
    optional.SizeOfHeaders = 0x200;
    optional.Subsystem = IMAGE_SUBSYSTEM_WINDOWS_GUI;
    optional.NumberOfRvaAndSizes = IMAGE_NUMBEROF_DIRECTORY_ENTRIES;
    return image;
}

// One Initialize and Finalize with the settings file as it is: the error box, closed as
// a user would, and the run it came from ended.
void start_expecting_the_error_box(PlayerSession& session, const std::string& what)
{
    SCOPED_TRACE(what);
    MessageBoxWatcher box(kEventTimeoutMs);
    EXPECT_LE(session.initialize(), kPlayerHeldLimitMs);
    EXPECT_TRUE(box.finish());
    EXPECT_TRUE(starts_with(box.text(), kLoadErrorSentence)) << box.text();
    EXPECT_TRUE(session.render_until([] { return !own_window_exists("KorvelVisPlugin"); },
                                     kEventTimeoutMs));
    EXPECT_LE(session.finalize(), kPlayerHeldLimitMs);
}

// The same when nothing is selected: no run starts at all.
void start_expecting_nothing(PlayerSession& session, const std::string& what)
{
    SCOPED_TRACE(what);
    EXPECT_LE(session.initialize(), kPlayerHeldLimitMs);
    EXPECT_FALSE(own_window_exists("KorvelVisPlugin"));
    EXPECT_LE(session.finalize(), kPlayerHeldLimitMs);
}

TEST(BadInput, SettingsOfRandomBytesOrOverlongKeysStartWithNothingSelected)
{
    PlayerSession session;
    std::mt19937 random(20240611);
    std::string junk(4096, '\0');
    for (char& byte : junk)
        byte = static_cast<char>(random());
    write_file_text(session.ini_path(), junk);
    start_expecting_nothing(session, "random bytes");

    const std::string long_text(10000, 'k');
    write_file_text(session.ini_path(), "[" + std::string(kSection) + "]\r\n" + long_text +
                                            "=value\r\nplugin_dll=C:\\" + long_text +
                                            "\r\nmodule_index=" + std::string(10000, '7') +
                                            "\r\n");
    start_expecting_nothing(session, "10,000-character keys");
    // A path that long is dropped, not cut; the number is read from its first 9 digits.
    EXPECT_EQ(ini_value(session.ini_path(), kSection, "plugin_dll"), "<missing>");
    EXPECT_EQ(ini_value(session.ini_path(), kSection, "module_index"), "777777777");
}

TEST(BadInput, HundredKilobyteSettingsFileStillSelectsThePlugin)
{
    PlayerSession session;
    ProbePlugin probe;
    std::string text;
    for (int section = 0; text.size() < 100 * 1024; ++section) {
        text += "[other" + std::to_string(section) + "]\r\n";
        for (int key = 0; key < 20; ++key)
            text += "key" + std::to_string(key) + "=" + std::string(40, 'v') + "\r\n";
    }
    text += "[" + std::string(kSection) + "]\r\nplugin_dll=" + ProbePlugin::path() + "\r\n";
    write_file_text(session.ini_path(), text);

    EXPECT_LE(session.initialize(), kPlayerHeldLimitMs);
    EXPECT_TRUE(session.render_until([&] { return probe.calls(kProbeRender).size() >= 3; },
                                     kEventTimeoutMs));
    EXPECT_LE(session.finalize(), kPlayerHeldLimitMs);
    EXPECT_EQ(ini_value(session.ini_path(), "other0", "key19"), std::string(40, 'v'));
}

TEST(BadInput, ModuleIndexTextIsReadAsANumberAndAnUnknownModuleFallsBackToZero)
{
    const struct {
        const char* text;
        int32_t asked;
    } cases[] = {{"-5", -5}, {"99999999999", 999999999}, {"12abc", 12}};
    for (const auto& index : cases) {
        SCOPED_TRACE(index.text);
        PlayerSession session;
        ProbePlugin probe;
        session.select_plugin(ProbePlugin::path());
        set_ini_value(session.ini_path(), kSection, "module_index", index.text);

        EXPECT_LE(session.initialize(), kPlayerHeldLimitMs);
        EXPECT_TRUE(session.render_until([&] { return probe.calls(kProbeRender).size() >= 3; },
                                         kEventTimeoutMs));
        EXPECT_LE(session.finalize(), kPlayerHeldLimitMs);
        const std::vector<ProbeCall> asked = probe.calls(kProbeModuleByIndex);
        ASSERT_EQ(asked.size(), 2u);
        EXPECT_EQ(asked[0].argument, index.asked);
        EXPECT_EQ(asked[1].argument, 0);
        EXPECT_EQ(probe.calls(kProbeRender)[0].module, 0);
        EXPECT_EQ(ini_value(session.ini_path(), kSection, "module_index"), "<missing>");
    }
}

// A file named as the plug-in that is no loadable Winamp DLL; one test each, by name.
enum UnloadableFile { kEmptyFile, kTextFile, kTruncatedDll, kDll64, kDirectory, kDllMainFails };

std::string unloadable_file_name(UnloadableFile file)
{
    static const char* const names[] = {"empty_file", "text_file",   "truncated_dll",
                                        "dll_64_bit", "a_directory", "DllMain_fails"};
    return names[file];
}

// Makes the file in directory and returns its path.
std::string make_unloadable_file(UnloadableFile file, const TempDir& directory)
{
    const std::string path = directory.file("vis_" + unloadable_file_name(file) + ".dll");
    switch (file) {
    case kEmptyFile:
        write_file_text(path, "");
        break;
    case kTextFile:
        write_file_text(path, "This is not a DLL.\r\n");
        break;
    case kTruncatedDll: {
        const std::string image = read_file_text(ProbePlugin::path());
        write_file_text(path, image.substr(0, image.size() / 2));
        break;
    }
    case kDll64:
        write_file_text(path, pe32_plus_dll());
        break;
    case kDirectory:
        CreateDirectoryA(path.c_str(), nullptr);
        break;
    case kDllMainFails:
        return build_dir() + "vis_probe_dllmain_fails.dll";
    }
    return path;
}

class NoLoadableDll : public ::testing::TestWithParam<UnloadableFile> {};

TEST_P(NoLoadableDll, GivesTheErrorBox)
{
    PlayerSession session;
    const std::string path = make_unloadable_file(GetParam(), session.dir());
    session.select_plugin(path);
    start_expecting_the_error_box(session, path);
    if (GetParam() == kDirectory)
        RemoveDirectoryA(path.c_str());
}

INSTANTIATE_TEST_SUITE_P(Files, NoLoadableDll,
                         ::testing::Values(kEmptyFile, kTextFile, kTruncatedDll, kDll64, kDirectory,
                                           kDllMainFails),
                         [](const ::testing::TestParamInfo<UnloadableFile>& info) {
                             return unloadable_file_name(info.param);
                         });

// Records from the plug-in that the wrapper must not use; one test each, by name.
struct UnusableRecord {
    const char* name;
    int32_t module_pointer;
    int32_t module_function;
};

const UnusableRecord kUnusableRecords[] = {
    {"module_by_index_null", kProbeRealModule, kProbeNullFunction},
    {"module_in_memory_with_no_access", kProbeUnreadableModule, kProbeRealFunction},
    {"module_in_read_only_memory", kProbeReadOnlyModule, kProbeRealFunction},
    {"module_by_index_in_memory_with_no_access", kProbeRealModule, kProbeGarbageFunction},
};

class UnusableRecords : public ::testing::TestWithParam<UnusableRecord> {};

TEST_P(UnusableRecords, GiveACleanRunWithoutAModule)
{
    PlayerSession session;
    ProbePlugin probe;
    probe.control().module_pointer = GetParam().module_pointer;
    probe.control().module_function = GetParam().module_function;
    session.select_plugin(ProbePlugin::path());
    EXPECT_LE(session.initialize(), kPlayerHeldLimitMs);
    EXPECT_TRUE(session.render_until(
        [&] { return !probe.calls(kProbeHeader).empty() && !own_window_exists("KorvelVisPlugin"); },
        kEventTimeoutMs));
    EXPECT_LE(session.finalize(), kPlayerHeldLimitMs);
    EXPECT_TRUE(probe.calls(kProbeInit).empty());
    EXPECT_TRUE(probe.calls(kProbeQuit).empty());
}

INSTANTIATE_TEST_SUITE_P(Records, UnusableRecords, ::testing::ValuesIn(kUnusableRecords),
                         [](const ::testing::TestParamInfo<UnusableRecord>& info) {
                             return std::string(info.param.name);
                         });

TEST(BadInput, HeaderInMemoryWithNoAccessGivesTheErrorBox)
{
    PlayerSession session;
    ProbePlugin probe;
    probe.control().header_unreadable = 1;
    session.select_plugin(ProbePlugin::path());
    start_expecting_the_error_box(session, "header in memory with no access");
}

TEST(BadInput, PathOutsideAsciiLoadsAndRuns)
{
    PlayerSession session;
    // "vis_prøbe_ü" in the system's ANSI code page, which is what the settings hold.
    const wchar_t wide_name[] = L"vis_pr\u00f8be_\u00fc.dll";
    char name[64] = {};
    BOOL lossy = FALSE;
    ASSERT_GT(WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide_name, -1, name, sizeof name,
                                  nullptr, &lossy),
              0);
    if (lossy)
        GTEST_SKIP() << "the ANSI code page " << GetACP() << " has no such characters";
    const std::string path = session.dir().file(name);
    ASSERT_TRUE(CopyFileA(ProbePlugin::path().c_str(), path.c_str(), FALSE));
    {
        ProbePlugin copy(path);
        session.select_plugin(path);
        EXPECT_LE(session.initialize(), kPlayerHeldLimitMs);
        EXPECT_TRUE(session.render_until([&] { return copy.calls(kProbeRender).size() >= 3; },
                                         kEventTimeoutMs));
        EXPECT_LE(session.finalize(), kPlayerHeldLimitMs);
        EXPECT_EQ(ini_value(session.ini_path(), kSection, "plugin_dll"), path);
    }
}

}  // namespace
