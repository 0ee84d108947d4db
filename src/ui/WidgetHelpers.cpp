#include "ui/WidgetHelpers.h"

#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>

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
    for (const auto& s : items) texts << FromBytes(s);
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
