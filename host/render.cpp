#include "host/plugin_object.h"

void __stdcall Render(VisualPluginObject*, HDC, const uint8_t*)
{
}
