// Picks an item of the next popup menu this process opens, from a helper thread, as a
// user would with the keyboard: the down key as many times as the item's position, then
// Enter.
#pragma once

#include <windows.h>

#include <atomic>
#include <thread>

// Positions of the wrapper's menu items, separators not counted.
enum MenuPosition : int { kMenuStart = 1, kMenuStop = 2, kMenuConfigure = 3 };

class MenuPicker {
public:
    explicit MenuPicker(int position, DWORD timeout_ms = 60000);
    ~MenuPicker();
    MenuPicker(const MenuPicker&) = delete;
    MenuPicker& operator=(const MenuPicker&) = delete;

    // Waits for the helper thread; true when a menu was seen and the keys posted to it.
    bool finish();

private:
    void pick(int position, DWORD timeout_ms);

    std::thread thread_;
    std::atomic<bool> picked_{false};
};
