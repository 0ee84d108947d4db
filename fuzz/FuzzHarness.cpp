#include "FuzzHarness.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <ostream>
#include <stdexcept>

#include "app/FileFlow.h"
#include "app/PhoneTypeFlow.h"

namespace brivant::fuzz {

namespace {
std::ostream& NullStream() {
    static std::ostream null(nullptr);
    return null;
}

SampleOptions OptionsOf(int family, std::uint32_t seed) {
    SampleOptions o;
    o.family = family;
    o.size = kSampleSize;
    o.seed = seed;
    return o;
}
}  // namespace

FuzzUi::FuzzUi() : ScriptedInteraction(NullStream()) {}

const SampleImage& Sample(int family) {
    static std::array<std::unique_ptr<SampleImage>, kFamilies + 1> samples;
    auto& s = samples.at(static_cast<std::size_t>(family));
    if (!s) s = std::make_unique<SampleImage>(BuildSample(OptionsOf(family, 1)));
    return *s;
}

namespace {
// The scratch folder, removed when the process ends normally (a finding keeps it).
struct ScratchDir {
    std::filesystem::path path;
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};
}  // namespace

std::string ScratchPath(const std::string& name) {
    static const ScratchDir dir{[] {
        // Saves flush to disk; in memory that costs nothing, on a busy disk it would
        // dominate every run.
        std::error_code ec;
        const std::filesystem::path shm = "/dev/shm";
        const auto base = std::filesystem::is_directory(shm, ec) && ::access("/dev/shm", W_OK) == 0
                              ? shm
                              : std::filesystem::temp_directory_path();
        auto d = base / ("brivant-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        return d;
    }()};
    return (dir.path / name).string();
}

void WriteScratch(const std::string& path, const std::uint8_t* data, std::size_t n) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw std::runtime_error("cannot write " + path);
    if (n > 0 && std::fwrite(data, 1, n, f) != n) {
        std::fclose(f);
        throw std::runtime_error("cannot write " + path);
    }
    std::fclose(f);
}

const Editor& Opened(int family, std::optional<Tab> tab) {
    static std::map<std::pair<int, int>, std::unique_ptr<Editor>> editors;
    auto& e = editors[{family, tab ? static_cast<int>(*tab) : -1}];
    if (!e) {
        e = std::make_unique<Editor>();
        FuzzUi ui;
        const std::string path = ScratchPath("sample" + std::to_string(family) + ".fls");
        const Bytes& bytes = Sample(family).bytes;
        WriteScratch(path, bytes.data(), bytes.size());
        OpenPath(*e, ui, path);
        if (e->PhoneType() != family) ChoosePhoneType(*e, ui, family);
        if (tab) TabChanged(*e, ui, *tab);
    }
    return *e;
}

Editor& Fresh(int family, std::optional<Tab> tab) {
    const Editor& base = Opened(family, tab);
    static std::map<std::pair<int, int>, std::unique_ptr<Editor>> work;
    auto& w = work[{family, tab ? static_cast<int>(*tab) : -1}];
    if (!w) {
        w = std::make_unique<Editor>(base);
        return *w;
    }
    Editor& e = *w;
    // Everything a run may change, assigned back so that the storage is reused.
    static_cast<SearchState&>(e) = base;
    if (e.MainHex.Data() != base.MainHex.Data()) {
        e.MainHex.SelectAll();
        e.MainHex.ReplaceSelected(base.MainHex.Data());
    }
    e.MainHex.SetModified(base.MainHex.Modified());
    e.MainHex.SetSelectionStart(1);
    e.phoneList = base.phoneList;
    e.ModelName = base.ModelName;
    e.UnitModelHex = base.UnitModelHex;
    e.FreeOffset = base.FreeOffset;
    e.PpmChanged = base.PpmChanged;
    e.ppm = base.ppm;
    e.fileNameField = base.fileNameField;
    e.activeTab = base.activeTab;
    e.mcuFreeField = base.mcuFreeField;
    e.ppmFreeField = base.ppmFreeField;
    e.tones = base.tones;
    e.texts = base.texts;
    e.menu = base.menu;
    e.security = base.security;
    e.patches = base.patches;
    e.graphics = base.graphics;
    e.ani = base.ani;
    return e;
}

const std::vector<std::int32_t>& StableSpots(int family) {
    static std::array<std::unique_ptr<std::vector<std::int32_t>>, kFamilies + 1> all;
    auto& spots = all.at(static_cast<std::size_t>(family));
    if (spots) return *spots;
    spots = std::make_unique<std::vector<std::int32_t>>();
    const Bytes& a = Sample(family).bytes;
    const Bytes b = BuildSample(OptionsOf(family, 7)).bytes;
    std::size_t i = 0;
    while (i < a.size()) {
        std::size_t run = 0;
        while (i + run < a.size() && a[i + run] == 0xFF && b[i + run] == 0xFF) ++run;
        if (run >= 8) {
            i += run;
            continue;
        }
        if (run > 0) {
            for (std::size_t k = 0; k < run; ++k)
                spots->push_back(static_cast<std::int32_t>(i + k));
            i += run;
            continue;
        }
        if (a[i] == b[i]) spots->push_back(static_cast<std::int32_t>(i));
        ++i;
    }
    return *spots;
}

namespace {
// Calls write(offset, bytes, length) for each edit.
template <typename Write>
void ForEachEdit(int family, const std::uint8_t* data, std::size_t n, Write write) {
    const auto& spots = StableSpots(family);
    if (spots.empty()) return;
    std::size_t i = 0;
    while (i + 4 <= n) {
        const std::size_t spot =
            (std::size_t{data[i]} << 16 | std::size_t{data[i + 1]} << 8 | data[i + 2]) %
            spots.size();
        const std::size_t len = std::min<std::size_t>(data[i + 3], n - i - 4);
        write(static_cast<std::size_t>(spots[spot]), data + i + 4, len);
        i += 4 + len;
    }
}
}  // namespace

void ApplyEdits(Bytes& image, int family, const std::uint8_t* data, std::size_t n) {
    ForEachEdit(family, data, n, [&](std::size_t at, const std::uint8_t* b, std::size_t len) {
        for (std::size_t k = 0; k < len && at + k < image.size(); ++k) image[at + k] = b[k];
    });
}

void ApplyEdits(HexBuffer& image, int family, const std::uint8_t* data, std::size_t n) {
    ForEachEdit(family, data, n, [&](std::size_t at, const std::uint8_t* b, std::size_t len) {
        const auto size = static_cast<std::size_t>(image.Size());
        if (at >= size) return;
        len = std::min(len, size - at);
        if (len > 0) image.WriteAt(static_cast<std::int32_t>(at), Bytes(b, b + len));
    });
}

Editor& Edited(const std::uint8_t* data, std::size_t n) {
    const int family = FamilyOf(data[0]);
    Editor& ed = Fresh(family);
    ApplyEdits(ed.MainHex, family, data + 1, n - 1);
    return ed;
}

}  // namespace brivant::fuzz
