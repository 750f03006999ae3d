// Keeps the emulated Winamp windows in step with the player: title, sample rate,
// always-on-top state and position, at most about three times a second.
#pragma once

// Runs a pass when one is due; called by the render loop before every frame.
void sync_with_player();
