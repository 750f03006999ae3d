// The unhandled-exception filter that ends a faulted thread of the plug-in's instead of
// the player's process. Every other fault goes to the filter that was there before.
#pragma once

// Puts the wrapper's filter on top, keeping the one it replaces to pass other faults on.
void install_plugin_thread_filter();

// Puts the previous filter back, unless the player has set one of its own since: that one
// stays, and the wrapper's, which it may call on, keeps passing faults on.
void withdraw_plugin_thread_filter();
