// The language service: the plug-in's own strings, menus, accelerators and dialogs, in
// ANSI and wide forms, as Winamp without a language pack gives them.
#include "emulation/dialog_text_patch.h"
#include "emulation/dispatch_call.h"
#include "emulation/service_objects.h"
#include "emulation/string_temporaries.h"
#include "runtime/memory_access.h"

#include <climits>

namespace {

constexpr int32_t kTextArguments = 5;
constexpr int32_t kStartArguments = 2;
constexpr int32_t kDialogArguments = 6;
constexpr int32_t kResourceArguments = 3;
// Resource names are short; a longer "name" is not one.
constexpr size_t kNameLimit = 1024;

// The instance whose resources are wanted: a loaded module, or null for the program's.
bool is_resource_module(HINSTANCE instance)
{
    return !instance || is_loaded_module(instance);
}

// A resource is named by a number or by a readable text of the call's width.
template <typename Char>
bool is_resource_name(const Char* name)
{
    return IS_INTRESOURCE(name) || is_readable_text(name, kNameLimit);
}

bool is_procedure(DLGPROC procedure)
{
    return !procedure || is_readable_memory(reinterpret_cast<const void*>(procedure), 1);
}

// GetString and GetStringW: into the plug-in's buffer, or into a temporary of ours when it
// gives none. A temporary is answered even when the string is missing (empty then): the
// plug-in uses it unchecked.
template <typename Char>
int32_t load_text(const DispatchCall& call, int(WINAPI* load)(HINSTANCE, UINT, Char*, int),
                  Char* (*temporary)())
{
    HINSTANCE owner = nullptr;
    UINT number = 0;
    Char* buffer = nullptr;
    size_t size = 0;
    if (call.argc() != kTextArguments || !call.read(1, &owner) || !call.read(2, &number) ||
        !call.read(3, &buffer) || !call.read(4, &size) || !is_resource_module(owner) ||
        !call.can_answer())
        return 0;
    if (!buffer) {
        Char* text = temporary();
        if (!load(owner, number, text, kStringTemporaryCapacity))
            text[0] = Char(0);
        return call.answer(text);
    }
    // A size of 0 would ask LoadStringW for a pointer into the resource, not a copy.
    if (size == 0 || size > INT_MAX / sizeof(Char) ||
        !is_writable_memory(buffer, size * sizeof(Char)) ||
        !load(owner, number, buffer, static_cast<int>(size)))
        return 0;
    return call.answer(buffer);
}

// Without a language pack Winamp answers the plug-in's own instance, which plug-ins then
// use for their resources; anything that is not a loaded module keeps the fixed value.
int32_t start_language(const DispatchCall& call)
{
    HINSTANCE instance = nullptr;
    if (call.argc() != kStartArguments || !call.read(0, &instance))
        return 0;
    return is_loaded_module(instance) ? call.answer(instance)
                                      : call.answer(static_cast<int32_t>(kFixedServiceValue));
}

template <typename Char>
struct DialogRequest {
    HINSTANCE owner = nullptr;
    const Char* name = nullptr;
    HWND parent = nullptr;
    DLGPROC procedure = nullptr;
    LPARAM value = 0;

    bool read(const DispatchCall& call)
    {
        return call.argc() == kDialogArguments && call.read(1, &owner) && call.read(2, &name) &&
               call.read(3, &parent) && call.read(4, &procedure) && call.read(5, &value) &&
               is_resource_module(owner) && is_resource_name(name) && is_procedure(procedure) &&
               call.can_answer();
    }
};

// A modeless dialog: its texts, and those of the parent's other children, are patched.
template <typename Char>
int32_t open_dialog(const DispatchCall& call,
                    HWND(WINAPI* create)(HINSTANCE, const Char*, HWND, DLGPROC, LPARAM),
                    WNDENUMPROC patch)
{
    DialogRequest<Char> request;
    if (!request.read(call))
        return 0;
    HWND dialog = create(request.owner, request.name, request.parent, request.procedure,
                         request.value);
    const int32_t answered = call.answer(dialog);
    patch_children(request.parent, patch);
    patch_children(dialog, patch);
    return answered;
}

// A modal dialog runs to its end here; nothing is patched.
template <typename Char>
int32_t run_dialog(const DispatchCall& call,
                   INT_PTR(WINAPI* run)(HINSTANCE, const Char*, HWND, DLGPROC, LPARAM))
{
    DialogRequest<Char> request;
    if (!request.read(call))
        return 0;
    return call.answer(static_cast<int32_t>(
        run(request.owner, request.name, request.parent, request.procedure, request.value)));
}

// Menus and accelerator tables: the module's own, the handle answered as the call gave it.
template <typename Handle, typename Char>
int32_t load_resource(const DispatchCall& call, Handle(WINAPI* load)(HINSTANCE, const Char*))
{
    HINSTANCE owner = nullptr;
    const Char* name = nullptr;
    if (call.argc() != kResourceArguments || !call.read(1, &owner) || !call.read(2, &name) ||
        !is_resource_module(owner) || !is_resource_name(name) || !call.can_answer())
        return 0;
    return call.answer(load(owner, name));
}

// The SDK's wide accelerator call sends the ANSI code with a wide name, so a named table
// the ANSI call cannot find is looked for once more under the name read as wide.
int32_t load_accelerators(const DispatchCall& call)
{
    HINSTANCE owner = nullptr;
    const char* name = nullptr;
    if (call.argc() != kResourceArguments || !call.read(1, &owner) || !call.read(2, &name) ||
        !is_resource_module(owner) || !call.can_answer())
        return 0;
    const auto* wide_name = reinterpret_cast<const wchar_t*>(name);
    const bool narrow_readable = is_resource_name(name);
    const bool wide_readable = !IS_INTRESOURCE(name) && is_resource_name(wide_name);
    if (!narrow_readable && !wide_readable)
        return 0;
    HACCEL table = narrow_readable ? LoadAcceleratorsA(owner, name) : nullptr;
    if (!table && wide_readable)
        table = LoadAcceleratorsW(owner, wide_name);
    return call.answer(table);
}

int32_t __thiscall language_dispatch(ServiceObject*, int32_t code, int32_t* result,
                                     void* const* args, int32_t argc)
{
    const DispatchCall call(result, args, argc);
    switch (code) {
    case kLoadText:
        return load_text(call, LoadStringA, next_narrow_temporary);
    case kLoadWideText:
        return load_text(call, LoadStringW, next_wide_temporary);
    case kStartLanguage:
        return start_language(call);
    case kOpenDialog:
        return open_dialog(call, CreateDialogParamA, patch_child_text);
    case kRunDialog:
        return run_dialog(call, DialogBoxParamA);
    case kLoadMenu:
        return load_resource(call, LoadMenuA);
    case kOpenWideDialog:
        return open_dialog(call, CreateDialogParamW, patch_child_text_wide);
    case kRunWideDialog:
        return run_dialog(call, DialogBoxParamW);
    case kLoadWideMenu:
        return load_resource(call, LoadMenuW);
    case kLoadAccelerators:
        return load_accelerators(call);
    case kLoadWideAccelerators:
        return load_resource(call, LoadAcceleratorsW);
    case kGetSelf:
        return call.answer(&LanguageService);
    default:
        return 0;
    }
}

constexpr ServiceOperations kLanguageOperations = {language_dispatch};

}  // namespace

ServiceObject LanguageService = {&kLanguageOperations};
