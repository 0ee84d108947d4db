#pragma once

// Shared by the window tests: a scripted port that records what the window asked and told,
// sample images on disk, and a way to answer a modal dialog from inside its event loop.

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/Interaction.h"
#include "sample/SampleBuilder.h"

namespace brivant::uitest {

class ScriptUi : public Interaction {
  public:
    std::deque<std::optional<std::string>> openAnswers, saveAnswers, textAnswers;
    std::deque<bool> checksumAnswers;
    std::vector<FileDialog> openAsked, saveAsked;
    std::vector<std::pair<std::string, std::string>> textAsked;  // title, prompt
    std::vector<std::pair<std::string, MessageKind>> told;
    std::vector<std::string> checksumAsked;

    std::optional<std::string> askOpenFile(const FileDialog& d) override {
        openAsked.push_back(d);
        return Pop(openAnswers);
    }
    std::optional<std::string> askSaveFile(const FileDialog& d) override {
        saveAsked.push_back(d);
        return Pop(saveAnswers);
    }
    void tell(const std::string& text, MessageKind kind) override { told.emplace_back(text, kind); }
    std::optional<std::string> askText(const std::string& title, const std::string& prompt,
                                       const std::string&) override {
        textAsked.emplace_back(title, prompt);
        return Pop(textAnswers);
    }
    bool confirmChecksum(const std::string& path) override {
        checksumAsked.push_back(path);
        if (checksumAnswers.empty()) return true;
        const bool b = checksumAnswers.front();
        checksumAnswers.pop_front();
        return b;
    }

    std::vector<std::string> Messages() const {
        std::vector<std::string> m;
        for (const auto& t : told) m.push_back(t.first);
        return m;
    }
    std::string Last() const { return told.empty() ? std::string() : told.back().first; }
    MessageKind LastKind() const { return told.empty() ? MessageKind::Info : told.back().second; }

  private:
    static std::optional<std::string> Pop(std::deque<std::optional<std::string>>& q) {
        if (q.empty()) return std::nullopt;
        auto v = q.front();
        q.pop_front();
        return v;
    }
};

class TempDir {
  public:
    TempDir() {
        std::random_device rd;
        dir_ = std::filesystem::temp_directory_path() /
               ("brivant-ui-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(dir_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  private:
    std::filesystem::path dir_;
};

inline Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const Bytes& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()),
              static_cast<std::streamsize>(data.size()));
}

inline SampleImage WriteSample(const std::string& path, SampleOptions o = {}) {
    SampleImage s = BuildSample(o);
    WriteBytes(path, s.bytes);
    return s;
}

// Runs `answer` on the modal dialog the next statement opens, then makes sure that dialog
// is gone so that a failed check cannot leave the test waiting for a user.
inline void WhenModal(std::function<void(QWidget*)> answer) {
    auto* poll = new QTimer;
    poll->setInterval(0);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, answer = std::move(answer)] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w) return;
        poll->stop();
        poll->deleteLater();
        answer(w);
        if (w->isVisible()) w->close();
    });
    poll->start();
}

}  // namespace brivant::uitest
