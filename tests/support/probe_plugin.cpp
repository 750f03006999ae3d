#include "tests/support/probe_plugin.h"

#include "tests/support/wrapper_dll.h"

#include <gtest/gtest.h>

std::string ProbePlugin::path()
{
    return build_dir() + "vis_probe.dll";
}

ProbePlugin::ProbePlugin() : ProbePlugin(path()) {}

ProbePlugin::ProbePlugin(const std::string& dll_path)
{
    module_ = LoadLibraryA(dll_path.c_str());
    if (!module_) {
        ADD_FAILURE() << dll_path << " did not load, error " << GetLastError();
        static ProbeControl unused;
        control_ = &unused;
        return;
    }
    control_ = proc_address<ProbeControlFunction>(module_, "probe_control")();
    reset_ = proc_address<void(__cdecl*)()>(module_, "probe_reset");
    reset_();
}

ProbePlugin::~ProbePlugin()
{
    if (!module_)
        return;
    reset_();
    FreeLibrary(module_);
}

std::vector<ProbeCall> ProbePlugin::calls() const
{
    const LONG count = control_->call_count < kProbeMaxCalls ? control_->call_count
                                                             : kProbeMaxCalls;
    return std::vector<ProbeCall>(control_->calls, control_->calls + count);
}

std::vector<ProbeCall> ProbePlugin::calls(ProbeEntry entry) const
{
    std::vector<ProbeCall> selected;
    for (const ProbeCall& call : calls())
        if (call.entry == entry)
            selected.push_back(call);
    return selected;
}

void ProbePlugin::let_go()
{
    if (module_)
        FreeLibrary(module_);
    module_ = nullptr;
}
