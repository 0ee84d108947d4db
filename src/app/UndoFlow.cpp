#include "app/UndoFlow.h"

#include <map>

#include "app/Editor.h"
#include "app/FileFlow.h"
#include "core/Interaction.h"
#include "core/PrintableText.h"
#include "core/UserError.h"
#include "graphics/AniCommands.h"
#include "graphics/BitmapCatalog.h"
#include "menu/MenuLevels.h"
#include "patches/Miscellaneous.h"
#include "ppm/FreeSpace.h"
#include "ppm/PpmCopy.h"
#include "tones/AlertTones.h"

namespace brivant {

namespace {

// Passes every question on and notes whether the save flow ended in its success message,
// which it shows only once the file was written and its checksums repaired.
class SaveWatch : public Interaction {
  public:
    explicit SaveWatch(Interaction& ui) : ui_(ui) {}
    bool saved = false;

    std::optional<std::string> askOpenFile(const FileDialog& d) override {
        return ui_.askOpenFile(d);
    }
    std::optional<std::string> askSaveFile(const FileDialog& d) override {
        return ui_.askSaveFile(d);
    }
    void tell(const std::string& text, MessageKind kind) override {
        if (kind == MessageKind::Info && text == kSaved) saved = true;
        ui_.tell(text, kind);
    }
    std::optional<std::string> askText(const std::string& title, const std::string& prompt,
                                       const std::string& initial) override {
        return ui_.askText(title, prompt, initial);
    }
    bool confirmChecksum(const std::string& path) override { return ui_.confirmChecksum(path); }
    SaveChoice askSaveChanges(const std::string& q) override { return ui_.askSaveChanges(q); }
    bool askDialog(DialogModel& model) override { return ui_.askDialog(model); }

  private:
    Interaction& ui_;
};

template <typename Rows, typename Name>
std::string RowName(const Rows& rows, int row, Name name) {
    if (row < 0 || row >= static_cast<int>(rows.size())) return {};
    return name(rows[static_cast<std::size_t>(row)]);
}

std::string Quoted(const char* text, const std::string& name) {
    // A name read from the image may hold control bytes; the status line is one line.
    return Format(text, {"\"" + PrintableText(name) + "\""});
}

using Describer = std::function<std::string(const Editor&, int row)>;

Describer Fixed(const char* text) {
    return [text](const Editor&, int) { return std::string(text); };
}
Describer Ringtone(const char* text) {
    return [text](const Editor& ed, int row) {
        return Quoted(text, RowName(ed.tones.ringtones, row, [](auto& r) { return r.name; }));
    };
}
Describer Language(const char* text) {
    return [text](const Editor& ed, int row) {
        return Quoted(text, RowName(ed.texts.languages, row, [](auto& r) { return r.language; }));
    };
}
Describer Country(const char* text) {
    return [text](const Editor& ed, int row) {
        return Quoted(text, RowName(ed.texts.countries, row, [](auto& r) { return r.country; }));
    };
}
Describer MenuItem(const char* text) {
    return [text](const Editor& ed, int row) {
        return Quoted(text, RowName(ed.menu.tab.rows, row, [](auto& r) { return r.name; }));
    };
}
Describer Bitmap(const char* text) {
    return [text](const Editor& ed, int) {
        return Format(text, {ed.graphics.current >= 0 ? BitmapIdText(ed.graphics.current) : ""});
    };
}
Describer Animation(const char* text) {
    return [text](const Editor& ed, int) { return Format(text, {std::to_string(ed.ani.current)}); };
}

const char* const kSecurityChoices[] = {"Whole Messages Menu", "Inbox", "Outbox", "Manual"};

const std::map<std::string_view, Describer>& Describers() {
    static const std::map<std::string_view, Describer> table = {
        {"toneChange", Ringtone("Change ringtone %s")},
        {"toneAdd", Fixed("Add ringtone")},
        {"toneDelete", Ringtone("Delete ringtone %s")},
        {"toneLoadAll", Fixed("Load all ringtones")},
        {"languageEdit", Language("Edit language %s")},
        {"languageAdd", Fixed("Add language")},
        {"languageDelete", Language("Delete language %s")},
        {"languageLoadAll", Fixed("Load all languages")},
        {"operatorEdit", Country("Edit operators of %s")},
        {"operatorAddNew", Fixed("Add country")},
        {"operatorAddFromFile", Fixed("Load country from file")},
        {"operatorDelete", Country("Delete country %s")},
        {"operatorLoadAll", Fixed("Load all operators")},
        {"menuEdit", MenuItem("Edit menu item %s")},
        {"menuAdd", Fixed("Add menu item")},
        {"menuDelete", MenuItem("Delete menu item %s")},
        {"menuMoveUp", MenuItem("Move menu item %s up")},
        {"menuMoveDown", MenuItem("Move menu item %s down")},
        {"bitmapEdit", Bitmap("Edit bitmap %s")},
        {"bitmapLoad", Bitmap("Load bitmap %s")},
        {"bitmapLoadAll", Fixed("Load all bitmaps")},
        {"frameCountChanged", Animation("Change the length of animation %s")},
        {"frameBitmapChosen", Animation("Change a frame of animation %s")},
        {"frameChanged", Animation("Write animation %s")},
        {"animationChosen", Animation("Write animation %s")},
        {"animationTick", Animation("Write animation %s")},
        {"alertTone",
         [](const Editor& ed, int) {
             const int k = ed.tones.alertKind;
             const std::string name = k >= 0 && k < kAlertKindCount
                                          ? AlertKinds()[static_cast<std::size_t>(k)].entry
                                          : "";
             return Quoted("Change alert tone %s", name);
         }},
        {"securityPatch",
         [](const Editor& ed, int) {
             const int o = ed.security.securityOption;
             return Format("Patch security code (%s)",
                           {o >= 0 && o < 4 ? kSecurityChoices[o] : ""});
         }},
        {"misc",
         [](const Editor& ed, int) {
             const int m = ed.patches.miscEntry;
             return Format("Patch %s", {m >= 0 && m < static_cast<int>(kMiscEntries.size())
                                            ? kMiscEntries[static_cast<std::size_t>(m)]
                                            : ""});
         }},
    };
    return table;
}

}  // namespace

std::string DescribeStep(const Editor& ed, std::string_view command, int row) {
    const auto& table = Describers();
    const auto it = table.find(command);
    return it != table.end() ? it->second(ed, row) : std::string(command);
}

bool EndStep(Editor& ed, const std::string& description) {
    // Whatever the command wrote (code and data at FreeOffset, chunks, moved space), the
    // figures shown are those of the image as it now stands and as the next save leaves it.
    RecountFreeSpace(ed);
    return ed.history.Commit(ed, description);
}

void RunStep(Editor& ed, const std::string& description, const std::function<void()>& body) {
    ed.history.Begin(ed);
    try {
        body();
    } catch (...) {
        // What a failed command changed before it stopped is a step like any other.
        EndStep(ed, description);
        throw;
    }
    EndStep(ed, description);
}

void RereadImage(Editor& ed, Interaction& ui) {
    // What the user chose is no reading of the image: the command groups keep their
    // choices, and every tab read before comes back on the same language, menu level,
    // bitmap and animation, read again from the bytes as they now stand.
    const SecurityState security = ed.security;
    const int ringtone = ed.tones.selectedRingtone;
    const int menuLanguage = ed.menu.language;
    const std::vector<std::int32_t> menuPath = MenuPath(ed.menu.tab);
    const int bitmap = ed.graphics.current;
    const int animation = ed.ani.current;
    const int frame = ed.ani.frame;
    const bool animate = ed.ani.animate;
    const bool languagesRead = !ed.texts.languages.empty();
    const bool operatorsRead = !ed.texts.countries.empty();
    const bool menuRead = !ed.texts.menuLanguages.empty();
    const bool graphicsRead = ed.graphics.built;
    for (const Feature& f : ed.features)
        if (f.opened) f.opened(ed);
    ed.security = security;
    if (ed.MainHex.Empty()) return;
    if (ed.PhoneType() == 0) {
        // Without a type nothing is read, the free space neither.
        ed.mcuFreeField.clear();
        ed.ppmFreeField.clear();
        return;
    }
    RecountFreeSpace(ed);
    for (const Feature& f : ed.features)
        if (f.typeChosen) f.typeChosen(ed, ui);
    ed.security = security;  // "&Patch Now!!!" stays as the last patch left it
    ed.tones.selectedRingtone = ringtone;
    const auto read = [&](Tab tab) {
        if (tab == ed.activeTab) return;
        for (const Feature& f : ed.features)
            if (f.tab == tab && f.tabShown) f.tabShown(ed, ui);
    };
    if (languagesRead) read(Tab::Languages);
    if (operatorsRead) read(Tab::Operators);
    if (menuRead) read(Tab::Menu);
    if (graphicsRead) read(Tab::Graphics);
    TabChanged(ed, ui, ed.activeTab);

    if (!ed.texts.menuLanguages.empty() && menuLanguage > 0 &&
        menuLanguage < static_cast<int>(ed.texts.menuLanguages.size())) {
        ChooseMenuLanguage(ed, ed.menu, ed.texts, ui, menuLanguage);
        WalkMenuPath(ed, ed.menu, ed.texts, ui, menuPath);
    }
    if (ed.graphics.built) {
        if (animation >= 0 && animation < static_cast<int>(ed.ani.catalog.size())) {
            ShowAnimation(ed, ed.ani, ed.graphics, ui, animation);
            if (frame > 0 && frame < static_cast<int>(ed.ani.frames.size()))
                ShowFrame(ed, ed.ani, ed.graphics, ui, frame, false);
        }
        // A bitmap chosen after the animation stays the one on show.
        if (bitmap >= 0 && bitmap < static_cast<int>(ed.graphics.bitmaps.size()) &&
            ed.graphics.current != bitmap)
            SelectBitmap(ed, ed.graphics, bitmap);
        ed.ani.animate = animate && ed.ani.enabled;
    }
}

std::string UndoCommand(Editor& ed, Interaction& ui) {
    const auto done = ed.history.Undo(ed);
    if (!done) return kNothingToUndo;
    RereadImage(ed, ui);
    return Format(kUndone, {*done});
}

std::string RedoCommand(Editor& ed, Interaction& ui) {
    const auto done = ed.history.Redo(ed);
    if (!done) return kNothingToRedo;
    RereadImage(ed, ui);
    return Format(kRedone, {*done});
}

bool HasUnsavedWork(const Editor& ed) {
    return !ed.MainHex.Empty() && ed.history.Unsaved(ed);
}

bool SaveImage(Editor& ed, Interaction& ui) {
    SaveWatch watch(ui);
    ed.history.BeginSave(ed);
    try {
        SaveCommand(ed, watch);
    } catch (...) {
        ed.history.EndSave(ed);
        throw;
    }
    ed.history.EndSave(ed);
    if (watch.saved) ed.history.MarkSaved(ed);
    return watch.saved;
}

bool SettleUnsaved(Editor& ed, Interaction& ui, const std::string& question) {
    if (!HasUnsavedWork(ed)) return true;
    switch (ui.askSaveChanges(question)) {
        case SaveChoice::Save:
            return SaveImage(ed, ui);
        case SaveChoice::Discard:
            return true;
        case SaveChoice::Cancel:
            break;
    }
    return false;
}

bool SettleBeforeTypeChange(Editor& ed, Interaction& ui) {
    if (!HasUnsavedWork(ed)) return true;
    switch (ui.askSaveChanges(kSaveBeforeType)) {
        case SaveChoice::Save:
            return SaveImage(ed, ui);
        case SaveChoice::Discard:
            // The edits are taken back step by step, as far as the history reaches; the
            // type chosen next then reads the image as its file holds it.
            while (HasUnsavedWork(ed) && ed.history.Undo(ed)) {
            }
            RereadImage(ed, ui);
            return true;
        case SaveChoice::Cancel:
            break;
    }
    return false;
}

}  // namespace brivant
