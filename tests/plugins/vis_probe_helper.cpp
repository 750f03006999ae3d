// A dependency of vis_probe_dep that is deliberately not placed beside it.
extern "C" __declspec(dllexport) int __cdecl probe_helper_value()
{
    return 576;
}
