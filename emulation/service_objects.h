// The two service objects a plug-in reaches through Winamp message 3025: the directory,
// which finds the one service offered by its identifier, and the language service, which
// loads strings and creates dialogs whose texts name the player instead of Winamp.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

struct ServiceObject;

// Compiled plug-ins call the first table entry with the object in ECX and the four
// arguments on the stack, which the callee removes. args[i] is the address of argument
// i's value. The result cell is written only when 1 is returned.
using DispatchOp = int32_t(__thiscall*)(ServiceObject* self, int32_t code, int32_t* result,
                                        void* const* args, int32_t argc);

struct ServiceOperations {
    DispatchOp Dispatch;
};

struct ServiceObject {
    const ServiceOperations* operation_table;
};
static_assert(offsetof(ServiceObject, operation_table) == 0, "table first");
static_assert(sizeof(ServiceObject) == 4, "one word: the table address");
static_assert(sizeof(void*) == 4, "every argument and the result cell are 32-bit");

extern ServiceObject ServiceDirectory;
extern ServiceObject LanguageService;

// {30AED4E5-EF10-4277-8D49-27AB5570E891}
extern const GUID LanguageServiceId;

// ServiceDirectory's code.
constexpr int32_t kFindService = 50;

// LanguageService's codes.
constexpr int32_t kLoadText = 10;
constexpr int32_t kFixedValue = 30;
constexpr int32_t kOpenDialog = 50;
constexpr int32_t kRunDialog = 51;
constexpr int32_t kGetSelf = 300;

constexpr uint32_t kFixedServiceValue = 0xDEADC0DE;

// EnumChildWindows routine: in the window's text (read up to 254 characters) the first
// "Winamp", or else the first "winamp", becomes " ZEKO "; the two skin and fullscreen
// options that then name the player are disabled. Always goes on with the enumeration.
BOOL CALLBACK patch_child_text(HWND window, LPARAM unused);
