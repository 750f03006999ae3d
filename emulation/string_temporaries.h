// Where the language service puts a string when a plug-in asks for one without a buffer of
// its own. Plug-ins pass such a result straight to a format, a message box or a copy and
// hold at most one per expression, so a result needs to live only until the same thread
// has asked a few more times.
//
// Each thread kind has its own ring of temporaries: the render thread, where a plug-in runs
// almost everything, and every other thread (the player's, where a running module may be
// configured in place, and any thread of the plug-in's own). A string the render thread is
// using is thus never overwritten by the player's thread, whatever the two do at once.
#pragma once

// Characters per temporary, the terminator included; longer strings are cut.
constexpr int kStringTemporaryCapacity = 4096;
// Temporaries per ring: a result stays valid through this many less one later calls on
// its ring.
constexpr int kStringTemporaryCount = 4;

char* next_narrow_temporary();
wchar_t* next_wide_temporary();
