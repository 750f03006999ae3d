// Calls a host's service object the way a compiled Winamp plug-in does.
#pragma once

#include <cstdint>
#include <vector>

// Calls the first entry of the object's table: the four arguments pushed, the object in
// ECX, no clean-up after the call. Adds a test failure when the callee did not remove its
// arguments. args may be given as a raw array and count to pass bad ones.
int32_t dispatch_like_a_plugin(const void* object, int32_t code, void* result,
                               void* const* args, int32_t argc);
int32_t dispatch_like_a_plugin(const void* object, int32_t code, void* result,
                               std::vector<void*> args);
