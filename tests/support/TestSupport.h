#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/Editor.h"
#include "core/DialogAnswers.h"
#include "core/Interaction.h"
#include "sample/SampleBuilder.h"

namespace brivant::test {

// Phone type numbers of the families the tests use most.
inline constexpr int k61xx = 2;
inline constexpr int k3210 = 3;
inline constexpr int k3310 = 4;
inline constexpr int k3330 = 5;
inline constexpr int k3410 = 8;
inline constexpr int k8210 = 10;
inline constexpr int kType62xx = 18;  // k62xx names its entry text

// A scripted port that records every question and message.
class FakeUi : public Interaction {
  public:
    std::deque<std::optional<std::string>> openAnswers, saveAnswers, textAnswers;
    std::deque<bool> checksumAnswers;
    // Unanswered, the save-changes question is cancelled.
    std::deque<SaveChoice> saveChangesAnswers;
    std::vector<std::string> saveChangesAsked;
    std::vector<FileDialog> openAsked, saveAsked;
    std::vector<std::pair<std::string, std::string>> textAsked;  // title, prompt
    std::vector<std::pair<std::string, MessageKind>> told;
    // The dialogs with models: a test sets what the user does in them (default: Cancel).
    DialogAnswers dialogs;
    std::vector<std::string> checksumAsked;

    std::optional<std::string> askOpenFile(const FileDialog& d) override;
    std::optional<std::string> askSaveFile(const FileDialog& d) override;
    void tell(const std::string& text, MessageKind kind) override;
    std::optional<std::string> askText(const std::string& title, const std::string& prompt,
                                       const std::string& initial) override;
    bool confirmChecksum(const std::string& path) override;
    SaveChoice askSaveChanges(const std::string& question) override;
    bool askDialog(DialogModel& m) override { return dialogs.Answer(m); }

    std::vector<std::string> Messages() const;
    std::string Last() const { return told.empty() ? "" : told.back().first; }
    MessageKind LastKind() const { return told.empty() ? MessageKind::Info : told.back().second; }
};

// A folder of its own for each test, removed afterwards.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    std::string Path(const std::string& name) const;

  private:
    std::filesystem::path dir_;
};

Bytes ReadFile(const std::string& path);
void WriteFile(const std::string& path, const Bytes& data);
// Bytes read as text.
inline std::string Text(const Bytes& b) {
    return std::string(b.begin(), b.end());
}
// Writes `text` as the whole file.
inline void WriteText(const std::string& path, const std::string& text) {
    WriteFile(path, Bytes(text.begin(), text.end()));
}
// The status a shell gives for `command` (-1 when it did not exit).
int Shell(const std::string& command);
// n bytes of a small linear congruential generator: the same for the same seed everywhere.
Bytes NoiseBytes(std::size_t n, std::uint32_t seed);

// One in-process run of the command line.
struct CliRun {
    int status;
    std::string out, err;
};
CliRun Cli(std::vector<std::string> args);
bool Has(const std::string& text, const std::string& part);
// The MCU checksum (both copies) and the file check value of an image are right.
bool ChecksumsVerify(const Bytes& image);

// Builds a sample, writes it to `path` and opens it through the open flow.
SampleImage OpenSample(Editor& ed, FakeUi& ui, const std::string& path, SampleOptions o = {});

// A sample image of one family in a folder of its own, opened through the open flow; with a
// tab, that tab shown too, as the window has it once the user switched there.
struct SampleFixture {
    TempDir dir;
    Editor ed;
    FakeUi ui;
    SampleImage sample;

    explicit SampleFixture(int family = 4, SampleOptions o = {});
    SampleFixture(int family, Tab tab);

    // Writes a file of these bytes into the folder; its path.
    std::string File(const std::string& name, const Bytes& bytes) const;
    // A piece of the PPM copy as bytes, and whether its stored checksum is the computed one.
    Bytes Chunk(Piece p) const;
    bool ChecksumOk(Piece p) const;
};

// The text of the UserError that `f` throws; empty when it throws none.
std::string ErrorOf(const std::function<void()>& f);

}  // namespace brivant::test
