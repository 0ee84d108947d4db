#pragma once

#include <QString>
#include <functional>
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
// Runs `shown` whenever the control takes the input focus.
void OnFocusIn(QWidget* control, std::function<void()> shown);

}  // namespace brivant
