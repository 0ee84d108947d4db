// Timings of the commands a user waits for, on a 4 MiB sample image.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>

#include "QuietUi.h"
#include "app/Editor.h"
#include "app/FileFlow.h"
#include "app/UndoFlow.h"
#include "compare/ImageDiff.h"
#include "core/FileIO.h"
#include "core/Search.h"
#include "core/Stream.h"
#include "image/PpmPieces.h"
#include "image/Session.h"
#include "patches/FadeCodes.h"
#include "patches/Fading.h"
#include "ppm/Checksums.h"
#include "ppm/PpmCopy.h"
#include "sample/SampleBuilder.h"

using namespace brivant;
using brivant::bench::QuietUi;

namespace {

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

// A pattern that does not occur, whose first byte is rare in the sample (a few hundred of
// them in 4 MiB): every start position is tried.
const std::string kAbsent = "01FE02FD03FC04FB05FA06F9";

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

// Patterns a user meets: a run of 00 or FF whose first byte is everywhere in the image. The
// images are the sample with its free space broken every 12th byte, so that no 12-byte run
// is left (absent) or one is planted 100 bytes before the end (present); the free-space
// readers' FF runs are searched in the sample as it is, from the header text on.
enum class Haystack { Zeros, Ones, Sample };

struct SearchCase {
    Haystack hay;
    std::string pattern;  // as FindOffSet1 takes it
    bool plant;
    int dumfile = 0;  // the search starts at the last byte of this DUMFILE text (1, 2), or at 1
};

Bytes MakeHaystack(const SearchCase& c) {
    Bytes b = BuildSample([] {
                  SampleOptions o;
                  o.size = 4 * 1024 * 1024;
                  return o;
              }())
                  .bytes;
    if (c.hay == Haystack::Sample) return b;
    // Erased flash reads as 00 on some parts: the zero image is the sample with FF and 00
    // swapped.
    const std::uint8_t run = c.hay == Haystack::Zeros ? 0x00 : 0xFF;
    if (run == 0x00)
        for (auto& x : b) x = x == 0xFF ? 0x00 : x == 0x00 ? 0xFF : x;
    for (std::size_t i = 11; i < b.size(); i += 12)
        if (b[i] == run) b[i] = static_cast<std::uint8_t>(run ^ 1);
    if (c.plant) std::fill_n(b.end() - 100, 12, run);
    return b;
}

// The search starts where its callers start: offset 1, or the last byte of the header's
// DUMFILE text (GetFreeOffset) or of the PPM area's (GetFreespace).
std::int32_t StartOf(const Bytes& b, const SearchCase& c) {
    const Bytes dumfile = HexToBytes(kDumfileHex);
    std::int32_t from = 1;
    for (int i = 0; i < c.dumfile; ++i) {
        const auto* at = static_cast<const std::uint8_t*>(
            ::memmem(b.data() + from, b.size() - static_cast<std::size_t>(from), dumfile.data(),
                     dumfile.size()));
        from = static_cast<std::int32_t>(at - b.data()) +
               static_cast<std::int32_t>(dumfile.size()) - 1;
    }
    return from;
}

void BM_FindOffSet1(benchmark::State& state, SearchCase c) {
    Session s;
    const Bytes b = MakeHaystack(c);
    s.MainHex.LoadStream(MemStream(b));
    const std::int32_t from = StartOf(b, c);
    std::int32_t found = -1;
    for (auto _ : state) {
        s.MainHex.SetSelectionStart(from);
        FindOffSet1(s, c.pattern);
        found = s.FoundOffset;
        benchmark::DoNotOptimize(found);
    }
    state.counters["hit"] = found;
    state.SetBytesProcessed(state.iterations() * ((found < 0 ? s.MainHex.Size() : found) - from));
}

void BM_Memmem(benchmark::State& state, SearchCase c) {
    const Bytes b = MakeHaystack(c);
    const Bytes pattern = HexToBytes(c.pattern);
    const std::int32_t from = StartOf(b, c);
    std::int32_t found = -1;
    for (auto _ : state) {
        const void* hit = ::memmem(b.data() + from, b.size() - static_cast<std::size_t>(from),
                                   pattern.data(), pattern.size());
        benchmark::DoNotOptimize(hit);
        found =
            hit ? static_cast<std::int32_t>(static_cast<const std::uint8_t*>(hit) - b.data()) : -1;
    }
    state.counters["hit"] = found;
    state.SetBytesProcessed(state.iterations() *
                            ((found < 0 ? static_cast<std::int32_t>(b.size()) : found) - from));
}

const std::string k00Run(24, '0');
const std::string kFFRun(24, 'F');
#define BRIVANT_SEARCH_CASE(name, ...)                               \
    BENCHMARK_CAPTURE(BM_FindOffSet1, name, SearchCase{__VA_ARGS__}) \
        ->Unit(benchmark::kMillisecond);                             \
    BENCHMARK_CAPTURE(BM_Memmem, name, SearchCase{__VA_ARGS__})->Unit(benchmark::kMillisecond)
BRIVANT_SEARCH_CASE(Run00Absent, Haystack::Zeros, k00Run, false);
BRIVANT_SEARCH_CASE(Run00NearEnd, Haystack::Zeros, k00Run, true);
BRIVANT_SEARCH_CASE(RunFFAbsent, Haystack::Ones, kFFRun, false);
BRIVANT_SEARCH_CASE(RunFFNearEnd, Haystack::Ones, kFFRun, true);
// GetFreeOffset: 20 FF bytes behind the header's DUMFILE text; GetFreespace: 56 FF bytes
// behind the PPM area's.
BRIVANT_SEARCH_CASE(FreeOffsetRun20FF, Haystack::Sample, std::string(40, 'F'), false, 1);
BRIVANT_SEARCH_CASE(FreeSpaceRun56FF, Haystack::Sample, std::string(112, 'F'), false, 2);
#undef BRIVANT_SEARCH_CASE

// Saving after an edit: the window's save, which repairs the written file after it, and the
// command line's, which puts the checksums into the image before its one write.
using SaveFlow = void (*)(Editor&, Interaction&, const std::string&);
void BM_Save(benchmark::State& state, SaveFlow save) {
    QuietUi ui;
    Editor ed;
    OpenPath(ed, ui, Sample().path);
    const std::string out = (Sample().dir / "out.fls").string();
    for (auto _ : state) {
        ed.MainHex.WriteAt(0x1000, Bytes{static_cast<std::uint8_t>(state.iterations())});
        save(ed, ui, out);
    }
}
BENCHMARK_CAPTURE(BM_Save, AndRepairChecksums,
                  [](Editor& ed, Interaction& ui, const std::string& path) {
                      SavePath(ed, ui, path);
                  })
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Save, WithChecksums, SaveWithChecksums)->Unit(benchmark::kMillisecond);

// brivant-cli diff on two 4 MiB images, the second with the fading-LED routine installed and
// a ringtone record's bytes changed: both opened, every subsystem read and compared.
void BM_DiffTwoImages(benchmark::State& state) {
    QuietUi ui;
    const std::string edited = (Sample().dir / "edited.fls").string();
    {
        Editor ed;
        OpenPath(ed, ui, Sample().path);
        FadeChoice c;
        ChooseFade(ed.PhoneTypeText(), ed.UnitModelHex, c);
        InstallFade(ed, c, "0300", "0600");
        const std::int32_t tone = ed.ppm.chunkOffset[static_cast<std::size_t>(Piece::TONE)];
        ed.MainHex.WriteAt(tone + 40, Bytes{0x12, 0x34});
        SavePath(ed, ui, edited);
    }
    for (auto _ : state) {
        const ImageDiff d = DiffImageFiles(Sample().path, edited);
        benchmark::DoNotOptimize(d.differingBytes);
    }
}
BENCHMARK(BM_DiffTwoImages)->Unit(benchmark::kMillisecond);

// Undo and redo of the largest step there is: the biggest chunk of the 4 MiB sample replaced
// by a file whose every byte between its head and its end marker differs. The history
// alone, and with the lists read again.
struct ChunkImportStep {
    class Answers : public QuietUi {
      public:
        std::string file;
        std::optional<std::string> askOpenFile(const FileDialog&) override { return file; }
    };

    Editor ed;
    Answers ui;
    ChunkImportStep() {
        OpenPath(ed, ui, Sample().path);
        Piece largest = Piece::LPCS;
        for (int p = 0; p < kChunkCount; ++p)
            if (ed.ppm.pieces[static_cast<std::size_t>(p)].size() > ed.ppm[largest].size())
                largest = static_cast<Piece>(p);
        // Its checksum, size, tag and end marker kept: a chunk file the import takes.
        Bytes chunk = HexToBytes(ed.ppm[largest]);
        for (std::size_t i = 12; i + 16 < chunk.size(); ++i) chunk[i] ^= 0x55;
        ui.file = (Sample().dir / "chunk.bin").string();
        WriteFileAtomic(ui.file, chunk);
        RunStep(ed, "Load all", [&] { LoadAllChunk(ed, ui, largest, "Load", true); });
    }
};

void BM_UndoRedoChunkImport(benchmark::State& state) {
    ChunkImportStep s;
    for (auto _ : state) {
        s.ed.history.Undo(s.ed);
        s.ed.history.Redo(s.ed);
    }
    state.counters["stepMiB"] = static_cast<double>(s.ed.history.Footprint()) / (1 << 20);
}
BENCHMARK(BM_UndoRedoChunkImport)->Unit(benchmark::kMillisecond);

void BM_UndoRedoChunkImportReread(benchmark::State& state) {
    ChunkImportStep s;
    for (auto _ : state) {
        UndoCommand(s.ed, s.ui);
        RedoCommand(s.ed, s.ui);
    }
}
BENCHMARK(BM_UndoRedoChunkImportReread)->Unit(benchmark::kMillisecond);

// What the window adds to every command: the image taken before it and compared after it.
void BM_RecordUnchangedCommand(benchmark::State& state) {
    QuietUi ui;
    Editor ed;
    OpenPath(ed, ui, Sample().path);
    for (auto _ : state) {
        ed.history.Begin(ed);
        benchmark::DoNotOptimize(ed.history.Commit(ed, "nothing"));
    }
}
BENCHMARK(BM_RecordUnchangedCommand)->Unit(benchmark::kMillisecond);

}  // namespace
