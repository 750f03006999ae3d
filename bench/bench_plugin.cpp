#include "bench/bench_plugin.h"

#include "bench/qpc_clock.h"

#include <cstdio>

namespace {

template <typename Function>
Function export_of(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

BenchPlugin::BenchPlugin(const std::string& path) : path_(path)
{
    module_ = LoadLibraryA(path.c_str());
    if (!module_) {
        fprintf(stderr, "%s did not load, error %lu\n", path.c_str(), GetLastError());
        return;
    }
    const auto control = export_of<BenchControlFunction>(module_, "bench_control");
    reset_ = export_of<BenchResetFunction>(module_, "bench_reset");
    if (!control || !reset_) {
        fprintf(stderr, "%s lacks bench_control or bench_reset\n", path.c_str());
        return;
    }
    control_ = control();
}

BenchPlugin::~BenchPlugin()
{
    if (module_)
        FreeLibrary(module_);
}

LONG BenchPlugin::recorded() const
{
    return control_->render_count < kBenchMaxRenders ? control_->render_count : kBenchMaxRenders;
}

std::vector<int32_t> BenchPlugin::render_clock_ticks() const
{
    const LONG count = recorded();
    std::vector<int32_t> result;
    result.reserve(count);
    for (LONG i = 0; i < count; ++i)
        result.push_back(control_->renders[i].clock_ticks);
    return result;
}

std::vector<SequencedTime> BenchPlugin::renders() const
{
    const LONG count = recorded();
    std::vector<SequencedTime> result;
    result.reserve(count);
    for (LONG i = 0; i < count; ++i)
        result.push_back({control_->renders[i].sequence, qpc_to_ns(control_->renders[i].qpc)});
    return result;
}

namespace {

std::vector<double> first_samples(const int32_t* samples, int32_t count)
{
    if (count > kBenchMaxRequests)
        count = kBenchMaxRequests;
    return std::vector<double>(samples, samples + (count > 0 ? count : 0));
}

}  // namespace

std::vector<double> BenchPlugin::request_ns() const
{
    return first_samples(control_->request_ns, control_->requests_timed);
}

std::vector<double> BenchPlugin::same_thread_request_ns() const
{
    return first_samples(control_->same_thread_request_ns, control_->requests_timed);
}
