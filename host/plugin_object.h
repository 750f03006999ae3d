// The object handed to the player: its first word points at a table of twelve stdcall
// operations, each taking the object first.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

struct VisualPluginObject;

using QueryInterfaceOp = int32_t(__stdcall*)(VisualPluginObject*, uint32_t, uint32_t);
using CountOp = int32_t(__stdcall*)(VisualPluginObject*);
using TextOp = const wchar_t*(__stdcall*)(VisualPluginObject*);
using PlainOp = int32_t(__stdcall*)(VisualPluginObject*);
using VoidOp = void(__stdcall*)(VisualPluginObject*);
using ClickOp = void(__stdcall*)(VisualPluginObject*, uint32_t, uint32_t);
using RenderOp = void(__stdcall*)(VisualPluginObject*, HDC, const uint8_t*);
using ResizeOp = void(__stdcall*)(VisualPluginObject*, int32_t, int32_t);

// Slot order is the player's binary interface.
struct VisualPluginOperations {
    QueryInterfaceOp QueryInterface;
    CountOp AddRef;
    CountOp Release;
    TextOp GetAuthor;
    TextOp GetName;
    TextOp GetInfo;
    PlainOp GetFlags;
    PlainOp Initialize;
    VoidOp Finalize;
    ClickOp Click;
    RenderOp Render;
    ResizeOp Resize;
};
static_assert(sizeof(VisualPluginOperations) == 12 * 4, "twelve 32-bit slots");
static_assert(offsetof(VisualPluginOperations, Render) == 10 * 4, "Render is slot 10");

struct VisualPluginObject {
    const VisualPluginOperations* operation_table;
    int32_t reference_count;
    int32_t panel_height;
    int32_t panel_width;
};
static_assert(offsetof(VisualPluginObject, operation_table) == 0, "table first");
static_assert(offsetof(VisualPluginObject, reference_count) == 4, "layout");
static_assert(offsetof(VisualPluginObject, panel_height) == 8, "layout");
static_assert(offsetof(VisualPluginObject, panel_width) == 12, "layout");

extern VisualPluginObject g_visual_plugin_object;

extern "C" VisualPluginObject** __stdcall ZEKO_QueryVisual(VisualPluginObject** out);

// The player-side operations that live in their own files.
void __stdcall Render(VisualPluginObject* self, HDC dc, const uint8_t* visual_data);
void __stdcall Click(VisualPluginObject* self, uint32_t, uint32_t);
