// The resources of vis_probe, which its Winamp 5 SDK habits take through the host's
// language service. Shared with the resource script, so only macros.
#pragma once

#define PROBE_TEXT_STRING 101
#define PROBE_FORMAT_STRING 102
#define PROBE_WIDE_STRING 103
#define PROBE_MISSING_STRING 199

#define PROBE_TEXT "vis_probe text"
#define PROBE_FORMAT "%d frames"

#define PROBE_MENU 200
#define PROBE_MENU_ITEMS 2
#define PROBE_ACCELERATORS 300
#define PROBE_NAMED_ACCELERATORS "PROBE_KEYS"

#define PROBE_OPTIONS_DIALOG 400
#define PROBE_SKIN_OPTION 1001
#define PROBE_FULLSCREEN_OPTION 1002
#define PROBE_WIDE_LABEL 1003
