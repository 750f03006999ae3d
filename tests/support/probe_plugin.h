// vis_probe.dll as a test reaches it: the same loaded copy the wrapper will load, its
// control block reset to the plug-in's first state.
#pragma once

#include "tests/plugins/vis_probe_control.h"

#include <string>
#include <vector>

class ProbePlugin {
public:
    ProbePlugin();
    // A copy of vis_probe.dll elsewhere: a module, and a control block, of its own.
    explicit ProbePlugin(const std::string& dll_path);
    ~ProbePlugin();
    ProbePlugin(const ProbePlugin&) = delete;
    ProbePlugin& operator=(const ProbePlugin&) = delete;

    static std::string path();
    ProbeControl& control() { return *control_; }
    std::vector<ProbeCall> calls() const;
    std::vector<ProbeCall> calls(ProbeEntry entry) const;
    // Gives up the test's own hold on the module: from then on the block is reachable only
    // while someone else keeps the module loaded, and nothing is reset at the end.
    void let_go();

private:
    HMODULE module_ = nullptr;
    ProbeControl* control_ = nullptr;
    void(__cdecl* reset_)() = nullptr;
};
