// The application and system-callback services. Plug-ins look both up at start and call
// them from their dialogs; the answers say "nothing done", which is what they expect from
// a host without these features.
#include "emulation/dispatch_call.h"
#include "emulation/service_objects.h"

namespace {

constexpr int32_t kMouseWheelArguments = 6;
constexpr int32_t kCallbackArguments = 4;

int32_t __thiscall application_dispatch(ServiceObject*, int32_t code, int32_t* result,
                                        void* const* args, int32_t argc)
{
    const DispatchCall call(result, args, argc);
    if (code == kGetSelf)
        return call.answer(&ApplicationService);
    if (code == kMouseWheelInDialog && argc == kMouseWheelArguments)
        return call.answer(0);
    return 0;
}

int32_t __thiscall syscb_dispatch(ServiceObject*, int32_t code, int32_t* result,
                                  void* const* args, int32_t argc)
{
    const DispatchCall call(result, args, argc);
    if (code == kGetSelf)
        return call.answer(&SyscbService);
    if (code == kIssueCallback && argc == kCallbackArguments)
        return call.answer(0);
    return 0;
}

constexpr ServiceOperations kApplicationOperations = {application_dispatch};
constexpr ServiceOperations kSyscbOperations = {syscb_dispatch};

}  // namespace

ServiceObject ApplicationService = {&kApplicationOperations};
ServiceObject SyscbService = {&kSyscbOperations};
