// The whole-image check against what `info` does (the open flow alone), on a 4 MiB sample.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>

#include "QuietUi.h"
#include "app/Editor.h"
#include "app/FileFlow.h"
#include "check/Check.h"
#include "core/FileIO.h"
#include "sample/SampleBuilder.h"

using namespace brivant;
using brivant::bench::QuietUi;

namespace {

// One 4 MiB sample file per family measured.
const std::string& SampleOf(int family) {
    static std::map<int, std::string> paths;
    auto& p = paths[family];
    if (p.empty()) {
        const auto dir = std::filesystem::temp_directory_path() /
                         ("brivant-check-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        p = (dir / ("sample" + std::to_string(family) + ".fls")).string();
        SampleOptions o;
        o.family = family;
        o.size = 4 * 1024 * 1024;
        WriteFileAtomic(p, BuildSample(o).bytes);
    }
    return p;
}

void BM_InfoOpen(benchmark::State& state) {
    QuietUi ui;
    const std::string& path = SampleOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        Editor ed;
        OpenPath(ed, ui, path);
        benchmark::DoNotOptimize(ed.ppm.totalLength);
    }
}
// 3310 (short menu records), 3410 (run-length bitmaps), 62XX/7110 (the wide tone list).
BENCHMARK(BM_InfoOpen)->Arg(4)->Arg(8)->Arg(18)->Unit(benchmark::kMillisecond);

void BM_CheckFile(benchmark::State& state) {
    const std::string& path = SampleOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const CheckReport r = CheckFile(path);
        benchmark::DoNotOptimize(r.subsystems.size());
    }
}
BENCHMARK(BM_CheckFile)->Arg(4)->Arg(8)->Arg(18)->Unit(benchmark::kMillisecond);

}  // namespace
