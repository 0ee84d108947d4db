#include "ui/WidgetHelpers.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QStringList>
#include <algorithm>

#include "texts/TextEscapes.h"
#include "ui/QtText.h"

namespace brivant {

QGroupBox* Group(const QString& title, QLayout* layout) {
    auto* g = new QGroupBox(title);
    layout->setContentsMargins(4, 2, 4, 3);
    layout->setSpacing(2);
    g->setLayout(layout);
    return g;
}

void SetTextIfChanged(QLineEdit* field, const QString& text) {
    if (field->text() != text) field->setText(text);
}

void SetItems(QComboBox* box, const std::vector<std::string>& items) {
    QStringList texts;
    for (const auto& s : items) texts << FromImageText(s);
    QStringList current;
    for (int i = 0; i < box->count(); ++i) current << box->itemText(i);
    if (current == texts) return;
    box->clear();
    box->addItems(texts);
}

QHBoxLayout* OkCancelRow(QDialog* dialog, const char* okText, const char* cancelText,
                         std::function<void()> ok) {
    auto* okButton = new QPushButton(QString::fromLatin1(okText));
    okButton->setObjectName(QStringLiteral("ok"));
    okButton->setDefault(true);
    QObject::connect(okButton, &QPushButton::clicked, dialog, std::move(ok));
    auto* cancel = new QPushButton(QString::fromLatin1(cancelText));
    cancel->setObjectName(QStringLiteral("cancel"));
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(okButton);
    row->addWidget(cancel);
    return row;
}

void ShowReadOnly(QLineEdit* field, bool readOnly) {
    field->setReadOnly(readOnly);
    QPalette p = field->palette();
    p.setColor(QPalette::Base, readOnly ? p.color(QPalette::Window)
                                        : QApplication::palette(field).color(QPalette::Base));
    field->setPalette(p);
}

int TitleWidth(const QWidget* dialog, const QString& title) {
    // Room for the window icon and the three title-bar buttons of a common window manager.
    constexpr int kTitleBarExtras = 120;
    return QFontMetrics(dialog->font()).horizontalAdvance(title) + kTitleBarExtras;
}

namespace {
// Widens a dialog as it is shown, once its layout knows the room its controls need: a
// minimum set earlier would replace the layout's own and let it squeeze them.
class TitleFitter : public QObject {
  public:
    explicit TitleFitter(QDialog* dialog) : QObject(dialog), dialog_(dialog) {
        dialog->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Show) {
            if (QLayout* l = dialog_->layout()) l->activate();
            const int need = std::max(TitleWidth(dialog_, dialog_->windowTitle()),
                                      dialog_->minimumSizeHint().width());
            if (dialog_->minimumWidth() < need) dialog_->setMinimumWidth(need);
            if (dialog_->width() < need) dialog_->resize(need, dialog_->height());
        }
        return false;
    }

  private:
    QDialog* dialog_;
};
}  // namespace

void FitTitle(QDialog* dialog) {
    if (dialog->property("brivantTitleFitted").toBool()) return;
    dialog->setProperty("brivantTitleFitted", true);
    new TitleFitter(dialog);
}

std::optional<std::string> TakeTyped(QLineEdit* field, const QString& typed,
                                     const std::string& previous) {
    std::string why;
    const QByteArray utf8 = typed.toUtf8();
    auto bytes = Utf8ToTextBytes(std::string_view(utf8.constData(), utf8.size()), &why);
    if (bytes) return bytes;
    const int cursor = field->cursorPosition();
    field->setText(FromBytes(previous));
    field->setCursorPosition(std::min(cursor, static_cast<int>(field->text().size())));
    QWidget* window = field->window();
    QString text = QString::fromStdString(why);
    text[0] = text[0].toUpper();
    QMessageBox::warning(window, window->windowTitle(), text);
    return std::nullopt;
}

namespace {
class FocusIn : public QObject {
  public:
    FocusIn(QWidget* control, std::function<void()> shown)
        : QObject(control), shown_(std::move(shown)) {
        control->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::FocusIn) shown_();
        return false;
    }

  private:
    std::function<void()> shown_;
};
}  // namespace

void OnFocusIn(QWidget* control, std::function<void()> shown) {
    new FocusIn(control, std::move(shown));
}

}  // namespace brivant
