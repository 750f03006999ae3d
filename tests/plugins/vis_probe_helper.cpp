// A dependency of vis_probe_dep that is deliberately not placed beside it. It also keeps
// count of the loads of vis_probe_missing_lookup, which a test holds it loaded for: that
// plug-in's own memory goes with each unload.
namespace {

long g_missing_lookup_attaches = 0;

}  // namespace

extern "C" __declspec(dllexport) int __cdecl probe_helper_value()
{
    return 576;
}

extern "C" __declspec(dllexport) void __cdecl probe_helper_count_attach()
{
    ++g_missing_lookup_attaches;
}

extern "C" __declspec(dllexport) long __cdecl probe_helper_attaches()
{
    return g_missing_lookup_attaches;
}
