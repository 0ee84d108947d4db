#pragma once

// The window tests' kit: the scripted port, sample images on disk, the window's controls by
// name, the lists and their context menus, and a way to answer a modal dialog from inside
// its event loop. Every test class registers itself with UI_TEST and runs from one program.

#include <QObject>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sample/SampleBuilder.h"
#include "support/TestSupport.h"

class QAction;
class QComboBox;
class QLineEdit;
class QMenu;
class QSignalSpy;
class QTreeWidget;

namespace brivant {
class TMain;
enum class Tab;
}  // namespace brivant

namespace brivant::uitest {

// The same scripted port, temporary folders and checks as the core tests.
using ScriptUi = test::FakeUi;
using test::ChecksumsVerify;
using test::Has;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// Writes a sample image built with `o` to `path`.
SampleImage WriteSample(const std::string& path, SampleOptions o = {});
// Writes a sample of the family to `path` and opens it in the window as a dropped file is.
SampleImage OpenSample(TMain& w, const std::string& path, int family);

// The control of that object name and type; a missing one ends the test run.
template <typename T>
T* Find(QWidget& w, const char* name) {
    T* c = w.findChild<T*>(QString::fromLatin1(name));
    if (!c) qFatal("no control %s", name);
    return c;
}
// Clicks the button of that name.
void Click(QWidget& w, const char* button);
// Replaces the field's text by typing, as a user does.
void Type(QLineEdit* field, const QString& text);
// Shows the tab and gives its list of that object name.
QTreeWidget* ShowTab(TMain& w, Tab tab, const char* list);

QStringList Items(QComboBox* box);
QStringList Headers(QTreeWidget* list);
// The rows as the list shows them, one "a|b|c" text each.
QStringList Rows(QTreeWidget* list);
void SelectRow(QTreeWidget* list, int row);
int SelectedRow(QTreeWidget* list);

// The context menu open on screen, or nullptr.
QMenu* VisibleMenu();
// Right-clicks the first row (or the empty list) and returns the menu that opened.
QMenu* ContextMenu(QTreeWidget* list);
// The entry of that caption; a missing one ends the test run.
QAction* MenuEntry(QMenu* menu, const QString& caption);
// A list's entry by its command name, wherever it sits in the menu.
QAction* Entry(QWidget* list, const char* command);
// The captions of a context menu in order: separators as "", submenu entries as ">caption".
QStringList Captions(QMenu* menu);
// The command names a spy on TMain::commandRan (or a recording runner) caught.
QStringList Names(const QSignalSpy& spy);

// A sealed chunk carries its own size in bytes 4-7 and its checksum in bytes 0-3.
bool Sealed(const std::string& pieceHex);

// Runs `answer` on the modal dialog the next statement opens, then makes sure that dialog
// is gone so that a failed check cannot leave the test waiting for a user.
void WhenModal(std::function<void(QWidget*)> answer);

// The test classes of the program, in the order they run.
using UiTestMaker = std::function<std::unique_ptr<QObject>()>;
std::vector<std::pair<std::string, UiTestMaker>>& UiTests();

template <typename T>
struct UiTestRegistration {
    explicit UiTestRegistration(const char* name) {
        UiTests().emplace_back(name, [] { return std::make_unique<T>(); });
    }
};

}  // namespace brivant::uitest

#define UI_TEST(Class) \
    static const ::brivant::uitest::UiTestRegistration<Class> uiTestRegistration##Class(#Class)
