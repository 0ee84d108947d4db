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
#include "support/TestSupport.h"

namespace brivant::uitest {

// The same scripted port and temporary folders as the core tests.
using ScriptUi = test::FakeUi;
using test::ChecksumsVerify;
using test::Has;
using test::TempDir;

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
