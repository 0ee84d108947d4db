#include "WindowSequence.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCryptographicHash>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <functional>
#include <memory>
#include <random>
#include <set>

#include "UiHarness.h"
#include "app/FileFlow.h"
#include "graphics/AniCommands.h"
#include "graphics/BitmapCatalog.h"
#include "graphics/TImagEdit.h"
#include "image/PhoneTypes.h"
#include "menu/MenuLevels.h"
#include "menu/TAddMenu.h"
#include "menu/TMenuEdit.h"
#include "ppm/PpmCopy.h"
#include "support/SequenceEngine.h"
#include "texts/TOpEdit.h"
#include "ui/Brivant.h"
#include "ui/ListView.h"

namespace brivant::uitest {

std::string WindowOutcome::Text() const {
    std::string t = "family " + family + ":";
    for (std::size_t i = 0; i < steps.size(); ++i)
        t += "\n  " + std::to_string(i + 1) + ". " + steps[i];
    if (finding) t += "\n  -> " + *finding;
    return t;
}

namespace {

// The image as the next save writes it: the chunk edits of the PPM copy put in.
Bytes Effective(const Editor& ed) {
    Session copy = ed;
    if (copy.PpmChanged && copy.ppm.split) {
        try {
            UpdatePPM(copy);
        } catch (const std::exception&) {
            // The save would refuse; the image stays what it is.
        }
    }
    return copy.MainHex.Data();
}

bool InStatusBar(const QWidget* w) {
    for (const QWidget* p = w; p; p = p->parentWidget())
        if (qobject_cast<const QStatusBar*>(p)) return true;
    return false;
}

// Everything the window shows of the image: lists, labels, previews, fields and selectors.
// The user's own choices in the command groups and the file's name are left out.
QStringList Snapshot(TMain& w) {
    QStringList s;
    for (ListView* l : w.findChildren<ListView*>())
        s << l->objectName() + ":" + Rows(l).join(QLatin1Char('\n'));
    for (QLabel* l : w.findChildren<QLabel*>()) {
        if (InStatusBar(l) || !l->isVisibleTo(&w)) continue;
        s << "label:" + l->text();
        const QPixmap p = l->pixmap();
        if (!p.isNull()) {
            const QImage img = p.toImage();
            s << "picture:" + QString::number(img.width()) + "x" + QString::number(img.height()) +
                     ":" +
                     QString::fromLatin1(QCryptographicHash::hash(
                                             QByteArrayView(img.constBits(), img.sizeInBytes()),
                                             QCryptographicHash::Md5)
                                             .toHex());
        }
    }
    static const QSet<QString> choices = {"fileName", "securityOffset0", "securityOffset1"};
    for (QLineEdit* e : w.findChildren<QLineEdit*>())
        if (!e->objectName().isEmpty() && !e->objectName().startsWith("qt_") &&
            !choices.contains(e->objectName()))
            s << e->objectName() + "=" + e->text();
    static const QSet<QString> groupChoices = {"alertTone", "misc"};
    for (QComboBox* c : w.findChildren<QComboBox*>())
        if (!groupChoices.contains(c->objectName()))
            s << c->objectName() + "=" + c->currentText() + "|" + Items(c).join(QLatin1Char(','));
    for (QSpinBox* b : w.findChildren<QSpinBox*>())
        s << b->objectName() + "=" + QString::number(b->value());
    return s;
}

std::string FirstDifference(QStringList a, QStringList b) {
    a.sort();
    b.sort();
    for (qsizetype i = 0; i < std::min(a.size(), b.size()); ++i)
        if (a[i] != b[i])
            return "shows \"" + a[i].left(200).toStdString() + "\" where a fresh window shows \"" +
                   b[i].left(200).toStdString() + "\"";
    if (a.size() != b.size())
        return "shows " + std::to_string(a.size()) + " items, not " + std::to_string(b.size());
    return {};
}

// The scripted user: the image is saved over its own file; every other file a command
// writes gets a name of its own, and an open question is answered with a file written
// before whose kind fits, or cancelled.
class EngineUi : public ScriptUi {
  public:
    std::function<std::optional<std::string>(const FileDialog&)> open, save;
    std::optional<std::string> askOpenFile(const FileDialog& d) override {
        openAsked.push_back(d);
        return open(d);
    }
    std::optional<std::string> askSaveFile(const FileDialog& d) override {
        saveAsked.push_back(d);
        return save(d);
    }
};

class Sequence {
  public:
    Sequence(std::uint32_t seed, int steps) : rng_(seed), steps_(steps) {
        const auto& families = sequence::kFamilies;
        family_ = families[seed % families.size()];
        // Every fourth run opens an image whose type is not detected: the type is chosen by
        // hand, and choosing another one is an action of its own.
        manual_ = (seed / families.size()) % 4 == 0;
        out_.family = PhoneTypeTexts()[static_cast<std::size_t>(family_)] +
                      (manual_ ? std::string(" (chosen by hand)") : std::string());
    }

    WindowOutcome Run() {
        SampleOptions o;
        o.family = family_;
        o.size = sequence::kSampleSize;
        o.seed = static_cast<std::uint32_t>(rng_());
        if (manual_) o.designation = kNoDesignation;
        path_ = dir_.Path("image.fls");
        WriteSample(path_, o);
        w_ = std::make_unique<TMain>(ui_);
        w_->show();
        w_->activateWindow();
        fresh_ = std::make_unique<TMain>(freshUi_);
        Answer();
        Open();
        if (Check()) return out_;
        for (int i = 0; i < steps_; ++i) {
            const Bytes before = Effective(w_->editor());
            Act();
            if (Check()) return out_;
            if (Effective(w_->editor()) != before && UndoRedo()) return out_;
        }
        return out_;
    }

  private:
    int Pick(int n) { return n <= 0 ? 0 : static_cast<int>(rng_() % static_cast<unsigned>(n)); }
    bool Coin() { return Pick(2) == 0; }
    Editor& ed() { return w_->editor(); }
    QTabWidget* tabs() { return Find<QTabWidget>(*w_, "tabs"); }
    ListView* List() {
        QWidget* page = tabs()->currentWidget();
        return page ? page->findChild<ListView*>() : nullptr;
    }
    void Note(std::string step) { out_.steps.push_back(std::move(step)); }
    bool Fail(std::string what) {
        out_.finding = std::move(what);
        return true;
    }

    void Open() {
        w_->openPath(QString::fromStdString(path_));
        saved_ = Effective(ed());
        visited_ = {0};
    }

    // The dialogs' answers, drawn afresh at each question: OK with good or refused values,
    // or Cancel.
    void Answer() {
        ui_.save = [this](const FileDialog& d) -> std::optional<std::string> {
            if (d.title == kSaveTitle) return path_;
            if (Pick(5) == 0) return std::nullopt;
            const std::string ext = d.defaultExt.empty() ? "bin" : d.defaultExt;
            const std::string file = dir_.Path("out" + std::to_string(written_.size()) + "." + ext);
            written_.push_back(file);
            return file;
        };
        ui_.open = [this](const FileDialog& d) -> std::optional<std::string> {
            std::vector<std::string> fit;
            for (const std::string& f : written_) {
                const std::string ext = f.substr(f.rfind('.'));
                if (d.filter.find("*" + ext) != std::string::npos && std::filesystem::exists(f))
                    fit.push_back(f);
            }
            if (fit.empty() || Pick(4) == 0) return std::nullopt;
            return fit[static_cast<std::size_t>(Pick(static_cast<int>(fit.size())))];
        };
        ui_.dialogs.On<TMenuEdit>() = [this](TMenuEdit& d) {
            switch (Pick(4)) {
                case 0:
                    return false;
                case 1:
                    d.fields[static_cast<std::size_t>(MenuField::FuncId)] =
                        IntToHex(static_cast<std::uint32_t>(Pick(0x10000)), 4);
                    break;
                case 2:  // leads outside the image: refused, and the dialog comes back
                    d.fields[static_cast<std::size_t>(MenuField::TextPointer)] = "7FFFFFF0";
                    break;
                default:
                    d.fields[static_cast<std::size_t>(MenuField::BmpId)] = "12";  // too short
                    break;
            }
            return !d.PressOk();
        };
        ui_.dialogs.On<TAddMenu>() = [this](TAddMenu& d) {
            if (Pick(3) == 0) return false;
            d.name = "Item " + std::to_string(Pick(100));
            d.withSubMenu = Coin();
            if (Pick(4) == 0) {
                d.SetTextPointerChecked(true);
                d.fields[static_cast<std::size_t>(MenuField::TextPointer)] = "7FFFFFF0";
            }
            return !d.PressOk();
        };
        ui_.dialogs.On<TImagEdit>() = [this](TImagEdit& d) {
            switch (Pick(4)) {
                case 0:
                    d.Cancel();
                    return false;
                case 1:
                    d.Invert();
                    break;
                case 2:
                    d.SetWidth(d.Width() + 1);
                    break;
                default:
                    d.SetHeight(std::max(1, d.Height() - 1));
                    break;
            }
            d.Ok();
            return true;
        };
        ui_.dialogs.On<TOpEdit>() = [this](TOpEdit& d) {
            if (Pick(3) == 0) return false;
            d.Select(-1);
            d.SetName(Coin() ? "Op" : "");
            d.SetCode(Coin() ? "12" : "1x");
            d.Add();
            std::string error;
            return d.Ok(&error);
        };
    }

    void PrepareAnswers() {
        ui_.textAnswers.clear();
        ui_.saveChangesAnswers.clear();
        static const std::optional<std::string> texts[] = {"4096", "x", std::nullopt, "FR", "208"};
        for (int i = 0; i < 4; ++i) ui_.textAnswers.push_back(texts[Pick(5)]);
        const SaveChoice choices[] = {SaveChoice::Save, SaveChoice::Discard, SaveChoice::Cancel};
        ui_.saveChangesAnswers.push_back(choices[Pick(3)]);
    }

    void Act() {
        PrepareAnswers();
        ListView* list = List();
        const int rows = list ? list->topLevelItemCount() : 0;
        switch (Pick(13)) {
            case 0: {
                const int t = Pick(5);
                Note("tab " + std::to_string(t));
                tabs()->setCurrentIndex(t);
                visited_.insert(t);
                break;
            }
            case 1:
                if (rows == 0) return Act();
                {
                    const int r = Pick(rows);
                    Note("row " + std::to_string(r));
                    SelectRow(list, r);
                }
                break;
            case 2: {
                auto* language = Find<QComboBox>(*w_, "menuLanguage");
                if (tabs()->currentIndex() != static_cast<int>(Tab::Menu) || language->count() < 2)
                    return Act();
                const int k = Pick(language->count());
                Note("menu language " + std::to_string(k));
                language->setCurrentIndex(k);
                break;
            }
            case 3: {
                if (tabs()->currentIndex() != static_cast<int>(Tab::Menu)) return Act();
                auto* back = Find<QToolButton>(*w_, "menuBack");
                if (list->selectedRow() >= 0 && SubMenuEnabled(ed().menu, list->selectedRow())) {
                    Note("Edit SubMenu on row " + std::to_string(list->selectedRow()));
                    list->updateMenu();
                    Entry(list, "menuEditSubMenu")->trigger();
                } else if (back->isEnabled()) {
                    Note("back");
                    back->click();
                } else {
                    return Act();
                }
                break;
            }
            case 4:
            case 5: {
                if (!list) return Act();
                static const std::pair<const char*, std::pair<Qt::Key, Qt::KeyboardModifiers>>
                    keys[] = {{"Enter", {Qt::Key_Return, Qt::NoModifier}},
                              {"Delete", {Qt::Key_Delete, Qt::NoModifier}},
                              {"Ctrl+Up", {Qt::Key_Up, Qt::ControlModifier}},
                              {"Ctrl+Down", {Qt::Key_Down, Qt::ControlModifier}}};
                const auto& [name, key] = keys[Pick(4)];
                Note(std::string(name) + " on row " + std::to_string(list->selectedRow()));
                list->setFocus();
                QTest::keyClick(list, key.first, key.second);
                break;
            }
            case 6: {
                const bool back = Coin();
                Note(back ? "Ctrl+Z" : "Ctrl+Y");
                QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget()
                                                              : static_cast<QWidget*>(w_.get());
                QTest::keyClick(target, back ? Qt::Key_Z : Qt::Key_Y, Qt::ControlModifier);
                break;
            }
            case 7:
            case 8: {
                if (!list || rows == 0) return Act();
                list->updateMenu();
                std::vector<QAction*> entries;
                std::function<void(QMenu*)> collect = [&](QMenu* m) {
                    for (QAction* a : m->actions()) {
                        if (a->menu())
                            collect(a->menu());
                        else if (a->isEnabled() && !a->isSeparator() &&
                                 !a->objectName().isEmpty() && a->objectName() != "undoAction" &&
                                 a->objectName() != "redoAction")
                            entries.push_back(a);
                    }
                };
                collect(list->contextMenu());
                if (entries.empty()) return Act();
                QAction* a =
                    entries[static_cast<std::size_t>(Pick(static_cast<int>(entries.size())))];
                Note("entry " + a->objectName().toStdString() + " on row " +
                     std::to_string(list->selectedRow()));
                a->trigger();
                Written();
                break;
            }
            case 9: {
                static const char* const buttons[] = {"patchButton", "adjustButton", "miscDoIt",
                                                      "alertDoIt"};
                const char* b = buttons[Pick(4)];
                auto* button = Find<QPushButton>(*w_, b);
                if (!button->isEnabled() || !button->isVisibleTo(w_.get())) return Act();
                if (std::string(b) == "patchButton")
                    Find<QRadioButton>(*w_, ("securityOption" + std::to_string(Pick(3))).c_str())
                        ->click();
                if (std::string(b) == "adjustButton")
                    Find<QRadioButton>(*w_, Coin() ? "adjustMcu" : "adjustPpm")->click();
                if (std::string(b) == "alertDoIt") {
                    Find<QComboBox>(*w_, "alertTone")->setCurrentIndex(Pick(8));
                    Find<QRadioButton>(*w_, Coin() ? "alertChange" : "alertRetrieve")->click();
                }
                Note(std::string("button ") + b);
                button->click();
                Written();
                break;
            }
            case 10: {
                if (tabs()->currentIndex() != static_cast<int>(Tab::Graphics)) return Act();
                static const char* const entries[] = {"bitmapEdit", "bitmapSave", "bitmapLoad"};
                const char* e = entries[Pick(3)];
                auto* id = Find<QComboBox>(*w_, "bmpId");
                if (id->isEnabled() && id->count() > 0 && Coin()) {
                    const int k = Pick(id->count());
                    Note("bitmap " + std::to_string(k));
                    id->setCurrentIndex(k);
                    break;
                }
                if (!Find<QWidget>(*w_, "graphicsCommands")->isEnabled()) return Act();
                Note(std::string("graphics ") + e);
                Find<QAction>(*w_, e)->trigger();
                Written();
                break;
            }
            case 11: {
                auto* type = Find<QComboBox>(*w_, "phoneType");
                if (!type->isEnabled()) return Act();
                const int k = Pick(type->count());
                Note("phone type " + type->itemText(k).toStdString() + " (" +
                     (ui_.saveChangesAnswers.front() == SaveChoice::Save      ? "save"
                      : ui_.saveChangesAnswers.front() == SaveChoice::Discard ? "discard"
                                                                              : "cancel") +
                     " if asked)");
                type->setCurrentIndex(k);
                Saved();
                break;
            }
            default: {
                const bool reopen = Coin();
                Note(reopen ? "save and reopen" : "save");
                Click(*w_, "saveButton");
                if (!Saved()) break;
                if (reopen) Open();
                break;
            }
        }
    }

    // A save that went through makes these bytes the saved ones.
    bool Saved() {
        const bool saved = std::any_of(ui_.told.begin(), ui_.told.end(),
                                       [](const auto& t) { return t.first == kSaved; });
        ui_.told.clear();
        if (!saved) return false;
        saved_ = Effective(ed());
        return true;
    }

    // A command may have saved the image (the Save of a save-changes question).
    void Written() { Saved(); }

    // The same choices in a freshly opened window on the current bytes.
    QStringList FreshView() {
        Editor& e = ed();
        WriteFile(dir_.Path("fresh.fls"), Effective(e));
        fresh_->openPath(QString::fromStdString(dir_.Path("fresh.fls")));
        Editor& f = fresh_->editor();
        auto* type = Find<QComboBox>(*fresh_, "phoneType");
        if (f.PhoneType() != e.PhoneType() && type->isEnabled())
            type->setCurrentIndex(e.PhoneType());
        // The tabs the window has read, read in the fresh one too.
        auto* tabs2 = Find<QTabWidget>(*fresh_, "tabs");
        std::vector<Tab> read;
        if (!e.texts.languages.empty()) read.push_back(Tab::Languages);
        if (!e.texts.countries.empty()) read.push_back(Tab::Operators);
        if (!e.texts.menuLanguages.empty()) read.push_back(Tab::Menu);
        if (e.graphics.built) read.push_back(Tab::Graphics);
        for (const Tab t : read)
            if (static_cast<int>(t) != tabs()->currentIndex())
                tabs2->setCurrentIndex(static_cast<int>(t));
        tabs2->setCurrentIndex(tabs()->currentIndex());
        if (e.menu.language > 0 &&
            e.menu.language < Find<QComboBox>(*fresh_, "menuLanguage")->count()) {
            Find<QComboBox>(*fresh_, "menuLanguage")->setCurrentIndex(e.menu.language);
            const std::vector<std::int32_t> path = MenuPath(e.menu.tab);
            fresh_->run("walk", [&] { WalkMenuPath(f, f.menu, f.texts, freshUi_, path); });
        }
        if (f.graphics.built) {
            fresh_->run("graphics", [&] {
                if (e.ani.current >= 0 && e.ani.current < static_cast<int>(f.ani.catalog.size())) {
                    ShowAnimation(f, f.ani, f.graphics, freshUi_, e.ani.current);
                    if (e.ani.frame > 0 && e.ani.frame < static_cast<int>(f.ani.frames.size()))
                        ShowFrame(f, f.ani, f.graphics, freshUi_, e.ani.frame, false);
                }
                if (e.graphics.current >= 0 &&
                    e.graphics.current < static_cast<int>(f.graphics.bitmaps.size()) &&
                    f.graphics.current != e.graphics.current)
                    SelectBitmap(f, f.graphics, e.graphics.current);
            });
        }
        return Snapshot(*fresh_);
    }

    bool Check() {
        if (QWidget* modal = QApplication::activeModalWidget())
            return Fail("a dialog was left open: " + modal->windowTitle().toStdString());
        if (VisibleMenu()) return Fail("a menu was left open");
        for (ListView* l : w_->findChildren<ListView*>())
            if (l->selectedRow() >= l->topLevelItemCount())
                return Fail(l->objectName().toStdString() + " selects a row it does not have");
        const bool star = w_->windowTitle().startsWith(QLatin1Char('*'));
        const bool differs = Effective(ed()) != saved_;
        if (star != differs)
            return Fail(star ? "the title says unsaved, but the bytes are those last saved"
                             : "the bytes differ from those last saved, but the title has no *");
        const QStringList shown = Snapshot(*w_);
        const QStringList fresh = FreshView();
        if (const std::string d = FirstDifference(shown, fresh); !d.empty())
            return Fail("the window " + d);
        return false;
    }

    bool UndoRedo() {
        if (!ed().history.CanUndo()) return false;
        const Bytes bytes = Effective(ed());
        const QStringList view = Snapshot(*w_);
        w_->undo();
        w_->redo();
        if (Effective(ed()) != bytes) return Fail("undo then redo gives other bytes");
        const QStringList again = Snapshot(*w_);
        if (const std::string d = FirstDifference(again, view); !d.empty())
            return Fail("after undo then redo the window " + d);
        return false;
    }

    std::mt19937 rng_;
    int steps_;
    int family_ = 4;
    bool manual_ = false;
    TempDir dir_;
    std::string path_;
    EngineUi ui_;
    ScriptUi freshUi_;
    std::unique_ptr<TMain> w_;
    std::unique_ptr<TMain> fresh_;
    Bytes saved_;
    std::set<int> visited_;
    std::vector<std::string> written_;
    WindowOutcome out_;
};

}  // namespace

WindowOutcome RunWindowSequence(std::uint32_t seed, int steps) {
    Sequence s(seed, std::clamp(steps, 1, kMaxWindowSteps));
    return s.Run();
}

}  // namespace brivant::uitest
