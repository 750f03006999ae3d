// Hands the audio the player staged last over to the running module's arrays.
#pragma once

#include <windows.h>

// Takes newly staged data, if any, into the active module's 576-point arrays.
void convert_audio_data();

// The thread inside audio_lock, 0 when none: a thread ended by force while holding it
// must not leave the lock owned.
DWORD audio_lock_owner();

// Makes audio_lock usable again after its owner was ended by force.
void recover_audio_lock_from(DWORD dead_thread_id);
