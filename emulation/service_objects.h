// The service objects a plug-in reaches through Winamp message 3025: the directory, which
// finds a service by its identifier, and the services it hands out: the language service
// (strings, menus, accelerators and dialogs whose texts name the player instead of
// Winamp), and the application and system-callback services, which answer the few calls
// plug-ins make of them.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

struct ServiceObject;

// Compiled plug-ins call the first table entry with the object in ECX and the four
// arguments on the stack, which the callee removes. args[i] is the address of argument
// i's value. The result cell is written only when 1 is returned, and only its first 4
// bytes: a plug-in's cell may be a bool, a pointer or a larger record.
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
extern ServiceObject ApplicationService;
extern ServiceObject SyscbService;

// {30AED4E5-EF10-4277-8D49-27AB5570E891}
extern const GUID LanguageServiceId;
// {23B96771-09D7-46D3-9AE2-20DCEA6C86EA}
extern const GUID ApplicationServiceId;
// {57B7A1B6-700E-44FF-9CB0-70B92BAF3959}
extern const GUID SyscbServiceId;

// ServiceDirectory's code.
constexpr int32_t kFindService = 50;

// Every service answers its own address, as the factory's getInterface does.
constexpr int32_t kGetSelf = 300;

// LanguageService's codes. Argument 0, the language pack's instance, is never read except
// by kStartLanguage; argument 1 is the plug-in's own instance.
constexpr int32_t kLoadText = 10;
constexpr int32_t kLoadWideText = 11;
constexpr int32_t kStartLanguage = 30;
constexpr int32_t kOpenDialog = 50;
constexpr int32_t kRunDialog = 51;
constexpr int32_t kLoadMenu = 52;
constexpr int32_t kOpenWideDialog = 53;
constexpr int32_t kRunWideDialog = 54;
constexpr int32_t kLoadWideMenu = 55;
constexpr int32_t kLoadAccelerators = 80;
constexpr int32_t kLoadWideAccelerators = 81;

// kStartLanguage's answer when argument 0 names no loaded module.
constexpr uint32_t kFixedServiceValue = 0xDEADC0DE;

// ApplicationService's code: the mouse wheel in a dialog, answered "not handled".
constexpr int32_t kMouseWheelInDialog = 365;
// SyscbService's code: a system callback issued, answered 0.
constexpr int32_t kIssueCallback = 30;
