// Timings of the commands a user waits for, on a 4 MiB sample image.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "app/Editor.h"
#include "app/FileFlow.h"
#include "core/FileIO.h"
#include "core/Interaction.h"
#include "core/Search.h"
#include "ppm/Checksums.h"
#include "sample/SampleBuilder.h"

using namespace brivant;

namespace {

class QuietUi : public Interaction {
  public:
    std::optional<std::string> askOpenFile(const FileDialog&) override { return std::nullopt; }
    std::optional<std::string> askSaveFile(const FileDialog&) override { return std::nullopt; }
    void tell(const std::string&, MessageKind) override {}
    std::optional<std::string> askText(const std::string&, const std::string&,
                                       const std::string&) override {
        return std::nullopt;
    }
    bool confirmChecksum(const std::string&) override { return true; }
    bool askDialog(DialogModel&) override { return false; }
};

struct SampleFile {
    SampleFile() {
        dir = std::filesystem::temp_directory_path() /
              ("brivant-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        path = (dir / "sample.fls").string();
        SampleOptions o;
        o.size = 4 * 1024 * 1024;
        WriteFileAtomic(path, BuildSample(o).bytes);
    }
    ~SampleFile() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    std::filesystem::path dir;
    std::string path;
};

SampleFile& Sample() {
    static SampleFile s;
    return s;
}

// A pattern that does not occur: every start position is tried.
const std::string kAbsent = "0102030405060708090A0B0C";

void BM_OpenDetectSplitFreeSpace(benchmark::State& state) {
    QuietUi ui;
    for (auto _ : state) {
        Editor ed;
        OpenPath(ed, ui, Sample().path);
        benchmark::DoNotOptimize(ed.ppm.totalLength);
    }
}
BENCHMARK(BM_OpenDetectSplitFreeSpace)->Unit(benchmark::kMillisecond);

void BM_FindOffSet1Absent(benchmark::State& state) {
    QuietUi ui;
    Editor ed;
    OpenPath(ed, ui, Sample().path);
    for (auto _ : state) {
        ed.MainHex.SetSelectionStart(1);
        FindOffSet1(ed, kAbsent);
        benchmark::DoNotOptimize(ed.FoundOffset);
    }
    state.SetBytesProcessed(state.iterations() * ed.MainHex.Size());
}
BENCHMARK(BM_FindOffSet1Absent)->Unit(benchmark::kMillisecond);

void BM_MemmemAbsent(benchmark::State& state) {
    QuietUi ui;
    Editor ed;
    OpenPath(ed, ui, Sample().path);
    const Bytes pattern = HexToBytes(kAbsent);
    const Bytes& data = ed.MainHex.Data();
    for (auto _ : state) {
        const void* hit =
            ::memmem(data.data() + 1, data.size() - 1, pattern.data(), pattern.size());
        benchmark::DoNotOptimize(hit);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(data.size()));
}
BENCHMARK(BM_MemmemAbsent)->Unit(benchmark::kMillisecond);

void BM_SaveAndRepairChecksums(benchmark::State& state) {
    QuietUi ui;
    Editor ed;
    OpenPath(ed, ui, Sample().path);
    const std::string out = (Sample().dir / "out.fls").string();
    for (auto _ : state) {
        ed.MainHex.WriteAt(0x1000, Bytes{static_cast<std::uint8_t>(state.iterations())});
        SavePath(ed, ui, out);
    }
}
BENCHMARK(BM_SaveAndRepairChecksums)->Unit(benchmark::kMillisecond);

}  // namespace
