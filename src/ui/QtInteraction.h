#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>

#include "core/Interaction.h"
#include "ui/TCheckfrmView.h"

class QWidget;

namespace brivant {

// The window's way of asking and telling: Qt's file dialogs, message boxes, the text
// prompt and the "Update Checksum" dialog.
class QtInteraction : public Interaction {
  public:
    QtInteraction();
    ~QtInteraction() override;

    // The window the dialogs belong to; creates the dialogs this port owns.
    void attach(QWidget* window);
    TCheckfrmView* checksumDialog() const { return checks_.data(); }
    // The path of the image open in the window (empty for none): file dialogs start in its
    // folder, or else in the folder last used.
    std::function<std::string()> currentImage;
    // The folder a file dialog starts in.
    QString startFolder() const;

    std::optional<std::string> askOpenFile(const FileDialog& dialog) override;
    std::optional<std::string> askSaveFile(const FileDialog& dialog) override;
    void tell(const std::string& text, MessageKind kind) override;
    std::optional<std::string> askText(const std::string& title, const std::string& prompt,
                                       const std::string& initial) override;
    bool confirmChecksum(const std::string& path) override;
    SaveChoice askSaveChanges(const std::string& question) override;
    bool askDialog(DialogModel& model) override;

  private:
    std::optional<std::string> askFile(const FileDialog& dialog, bool save);

    QWidget* window_ = nullptr;
    QString lastFolder_;
    QPointer<TCheckfrmView> checks_;
};

// The program's "Text (*.x)|*.x|Other (*.y)|*.y" filters in the form Qt's file dialogs take:
// one entry per pair, the visible text kept as it stands and the patterns in parentheses.
QStringList QtNameFilters(const std::string& filter);

// Texts from the core: file names and messages are UTF-8, texts read out of an image are
// single bytes per character; either way every byte ends up visible.
QString FromCore(const std::string& text);
// The line breaks the fixed texts carry ("\r\n", "\n\r") as one line feed.
QString ForDisplay(const std::string& text);
// A path as the core takes it (the local 8-bit file-name encoding).
std::string ToCorePath(const QString& path);
QString FromCorePath(const std::string& path);

inline constexpr const char* kAppTitle = "Brivant Pro by Tamrek";

}  // namespace brivant
