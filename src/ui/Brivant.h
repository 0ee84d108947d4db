#pragma once

#include <QStringList>
#include <QWidget>
#include <functional>
#include <vector>

#include "app/Editor.h"

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QTimer;
class QToolButton;
class QTreeWidget;

namespace brivant {

class Interaction;
class TAboutBox;

inline constexpr const char* kMainCaption = "Brivant Pro v1.03 by Tamrek";
inline constexpr int kClientWidth = 543;
inline constexpr int kClientHeight = 345;

// The main window. It owns the editor state for the whole run, turns every control into a
// command on that state and renders the state back after each command; no widget holds
// anything the commands need to read.
class TMain : public QWidget {
    Q_OBJECT
  public:
    explicit TMain(Interaction& ui, QWidget* parent = nullptr);
    ~TMain() override;

    Editor& editor() { return ed_; }
    Interaction& interaction() { return ui_; }

    // The open flow without its dialog: the first command-line argument and dropped files.
    void openPath(const QString& path);
    // Shows the editor state; every command ends with it.
    void refresh();
    void centreOnScreen();

  signals:
    // Emitted as each command starts, with its name ("open", "toneChange", ...).
    void commandRan(const QString& name);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // One list of the notebook with its rows as last rendered.
    struct ListView {
        QTreeWidget* tree = nullptr;
        QMenu* menu = nullptr;
        std::vector<QStringList> shown;
    };

    void buildTopRow();
    QWidget* buildAlertTones();
    QWidget* buildSecurityCode();
    QWidget* buildFreeSpace();
    QWidget* buildMiscellaneous();
    QWidget* buildTonesTab();
    QWidget* buildGraphicsTab();
    QWidget* buildMenuTab();
    QWidget* buildLanguagesTab();
    QWidget* buildOperatorsTab();
    QTreeWidget* makeList(const char* name, const QStringList& headers,
                          const std::vector<int>& widths);
    QAction* addEntry(QMenu* menu, const QString& caption, const char* command,
                      void (TMain::*handler)(int), ListView* needsRow);

    // Runs one command: failures the user must see become an error box, then the window
    // shows the new state.
    void run(const char* name, const std::function<void()>& body);
    void renderList(ListView& list, const std::vector<QStringList>& rows);
    void updateListMenus();
    void showListMenu(ListView& list, const QPoint& pos);
    int selectedRow(const ListView& list) const;
    bool listKey(ListView& list, QKeyEvent* key);

    // Commands the core has today.
    void openCommand();
    void saveCommand();
    void adjustCommand();
    void phoneTypeChosen(int index);
    void tabChosen(int index);
    void aboutCommand();

    // Feature commands, each reached only through run(); `row` is the selected list row where
    // the entry needs one. Those of features still to come are empty, so wiring one up is a
    // single call in its body.
    void onAlertToneDoIt(int tone);        // "&Do It": change or retrieve the chosen alert tone
    void onSecurityPatch(int);             // "&Patch Now!!!"
    void onSecurityBrowse(int field);      // browse buttons of the manual patch (0, 1)
    void onMiscDoIt(int entry);            // "Do I&t": fading LEDs (0) or inverted LCD (1)
    void onToneChange(int row);            // Tones: "&Change", Enter
    void onToneAdd(int row);               // Tones: "&Add"
    void onToneRetrieve(int row);          // Tones: "&Retrieve"
    void onToneDelete(int row);            // Tones: "&Delete", Delete
    void onToneRetrieveAll(int row);       // Tones: "Retrie&ve All"
    void onToneLoadAll(int row);           // Tones: "&Load All"
    void onBitmapEdit(int);                // Graphics "&Commands": "&Edit"
    void onBitmapLoad(int);                // Graphics "&Commands": "&Load"
    void onBitmapSave(int);                // Graphics "&Commands": "&Save"
    void onBitmapLoadAll(int);             // Graphics "&Commands": "&Load All"
    void onBitmapSaveAll(int);             // Graphics "&Commands": "&Save All"
    void onBitmapChosen(int index);        // "Bmp ID:" selector
    void onAnimationChosen(int index);     // "Ani ID:" selector
    void onFrameChanged(int frame);        // "Frame:" up-down
    void onFrameBitmapChosen(int index);   // the frame's "Bmp ID:" selector
    void onAnimateToggled(int on);         // "Animate"
    void onAnimationTick(int);             // the 300 ms animation timer
    void onMenuLanguageChosen(int index);  // Menu: "Language:" selector
    void onMenuBack(int);                  // Menu: back to the parent level
    void onMenuEdit(int row);              // Menu: "&Edit", Enter
    void onMenuEditSubMenu(int row);       // Menu: "Edit &SubMenu"
    void onMenuAdd(int row);               // Menu: "&Add"
    void onMenuDelete(int row);            // Menu: "&Delete", Delete
    void onMenuMoveUp(int row);            // Menu: "&Up", Ctrl+Up
    void onMenuMoveDown(int row);          // Menu: "&Down", Ctrl+Down
    void onLanguageEdit(int row);          // Languages: "&Edit", Enter
    void onLanguageAdd(int row);           // Languages: "&Add"
    void onLanguageRetrieve(int row);      // Languages: "&Retrieve"
    void onLanguageDelete(int row);        // Languages: "&Delete", Delete
    void onLanguageRetrieveAll(int row);   // Languages: "Retrie&ve All"
    void onLanguageLoadAll(int row);       // Languages: "&Load all"
    void onOperatorEdit(int row);          // Operators: "&Edit", Enter
    void onOperatorAddNew(int row);        // Operators: "&Add" / "&New..."
    void onOperatorAddFromFile(int row);   // Operators: "&Add" / "&Load from file"
    void onOperatorRetrieve(int row);      // Operators: "&Retrieve"
    void onOperatorDelete(int row);        // Operators: "&Delete", Delete
    void onOperatorRetrieveAll(int row);   // Operators: "Retrie&ve All"
    void onOperatorLoadAll(int row);       // Operators: "&Load All"

    Interaction& ui_;
    Editor ed_;
    TAboutBox* about_ = nullptr;

    // Top row.
    QLineEdit* fileField_ = nullptr;
    QToolButton* openButton_ = nullptr;
    QComboBox* phoneType_ = nullptr;
    QToolButton* saveButton_ = nullptr;
    QPushButton* aboutButton_ = nullptr;

    // "Alert Tones".
    QComboBox* alertTone_ = nullptr;
    QRadioButton* alertChange_ = nullptr;
    QRadioButton* alertRetrieve_ = nullptr;

    // "Security Code".
    QRadioButton* securityOption_[4] = {};
    QLineEdit* securityOffset_[2] = {};
    QToolButton* securityBrowse_[2] = {};
    QPushButton* patchButton_ = nullptr;

    // "Free Space".
    QRadioButton* toMcu_ = nullptr;
    QRadioButton* toPpm_ = nullptr;
    QLineEdit* mcuFree_ = nullptr;
    QLineEdit* ppmFree_ = nullptr;

    // "Miscellaneous".
    QComboBox* misc_ = nullptr;

    QTabWidget* tabs_ = nullptr;
    ListView tones_, menu_, languages_, operators_;
    QLabel* toneCount_ = nullptr;
    QLabel* languageCount_ = nullptr;
    QLabel* countryCount_ = nullptr;
    QLabel* menuCount_ = nullptr;
    QComboBox* menuLanguage_ = nullptr;
    QToolButton* menuBack_ = nullptr;
    QAction* toneAdd_ = nullptr;
    QAction* toneDelete_ = nullptr;
    QAction* languageEdit_ = nullptr;

    // Graphics tab.
    QComboBox* bmpId_ = nullptr;
    QLabel* bmpWidth_ = nullptr;
    QLabel* bmpHeight_ = nullptr;
    QLabel* preview_ = nullptr;
    QComboBox* aniId_ = nullptr;
    QLineEdit* aniLength_ = nullptr;
    QComboBox* frame_ = nullptr;
    QSpinBox* frameUpDown_ = nullptr;
    QComboBox* frameBmpId_ = nullptr;
    QCheckBox* animate_ = nullptr;
    QTimer* animation_ = nullptr;

    bool rendering_ = false;
};

}  // namespace brivant
