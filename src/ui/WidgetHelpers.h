#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QDialog;
class QHBoxLayout;
class QGroupBox;
class QLayout;
class QLineEdit;
class QWidget;

namespace brivant {

// A titled group around `layout`, spaced to fit the window's small size.
QGroupBox* Group(const QString& title, QLayout* layout);
// Shows `text` unless the field already does: rewriting it would move the cursor of a user
// who is typing in it.
void SetTextIfChanged(QLineEdit* field, const QString& text);
// Fills a selector with stored names (one byte per character), leaving it alone when it
// already shows them, so that its current entry stays.
void SetItems(QComboBox* box, const std::vector<std::string>& items);
// The "&OK" / "&Cancel" row of a dialog (buttons named "ok" and "cancel", OK the default):
// OK runs `ok`, Cancel rejects the dialog.
QHBoxLayout* OkCancelRow(QDialog* dialog, const char* okText, const char* cancelText,
                         std::function<void()> ok);
// A field the user may read and copy but not change, drawn on the window's colour so that
// it does not look like a place to type.
void ShowReadOnly(QLineEdit* field, bool readOnly = true);
// The width a dialog needs for its title bar to show `title` whole: the text plus the
// window manager's icon and buttons.
int TitleWidth(const QWidget* dialog, const QString& title);
// Widens the dialog, if need be, so that its title is never cut.
void FitTitle(QDialog* dialog);
// What the user typed into `field`, one byte a character, when a phone text can hold it.
// Otherwise the field gets `previous` back, the user is told which character cannot be
// stored and how to write it, and nothing is returned.
std::optional<std::string> TakeTyped(QLineEdit* field, const QString& typed,
                                     const std::string& previous);
// Runs `shown` whenever the control takes the input focus.
void OnFocusIn(QWidget* control, std::function<void()> shown);

}  // namespace brivant
