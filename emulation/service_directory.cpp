// The directory: finds a service by its 16-byte identifier.
#include "emulation/dispatch_call.h"
#include "emulation/service_objects.h"
#include "runtime/memory_access.h"

#include <cstring>

const GUID LanguageServiceId = {
    0x30AED4E5, 0xEF10, 0x4277, {0x8D, 0x49, 0x27, 0xAB, 0x55, 0x70, 0xE8, 0x91}};
const GUID ApplicationServiceId = {
    0x23B96771, 0x09D7, 0x46D3, {0x9A, 0xE2, 0x20, 0xDC, 0xEA, 0x6C, 0x86, 0xEA}};
const GUID SyscbServiceId = {
    0x57B7A1B6, 0x700E, 0x44FF, {0x9C, 0xB0, 0x70, 0xB9, 0x2B, 0xAF, 0x39, 0x59}};

namespace {

struct OfferedService {
    const GUID* id;
    ServiceObject* object;
};

const OfferedService kOffered[] = {{&LanguageServiceId, &LanguageService},
                                   {&ApplicationServiceId, &ApplicationService},
                                   {&SyscbServiceId, &SyscbService}};

// A plug-in's copy of an identifier need not be aligned.
ServiceObject* service_with_id(const void* identifier)
{
    for (const OfferedService& offered : kOffered)
        if (std::memcmp(identifier, offered.id, sizeof(GUID)) == 0)
            return offered.object;
    return nullptr;
}

// Winamp 5 plug-ins pass the identifier by value, so args[0] addresses its 16 bytes. The
// older form passes the identifier's address as the value; it is tried second, and only
// where that address leads to memory that can be read.
ServiceObject* find_service(const DispatchCall& call)
{
    if (const void* by_value = call.value_address(0, sizeof(GUID)))
        if (ServiceObject* found = service_with_id(by_value))
            return found;
    const void* address = nullptr;
    if (call.read(0, &address) && is_readable_memory(address, sizeof(GUID)))
        return service_with_id(address);
    return nullptr;
}

int32_t __thiscall directory_dispatch(ServiceObject*, int32_t code, int32_t* result,
                                      void* const* args, int32_t argc)
{
    if (code != kFindService || argc != 1)
        return 0;
    const DispatchCall call(result, args, argc);
    ServiceObject* found = find_service(call);
    return found ? call.answer(found) : 0;
}

// A constant table, so the object is ready before any code of the library runs.
constexpr ServiceOperations kDirectoryOperations = {directory_dispatch};

}  // namespace

ServiceObject ServiceDirectory = {&kDirectoryOperations};
