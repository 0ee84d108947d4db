#include "ui/TAddMenuView.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/UserError.h"
#include "menu/TAddMenu.h"
#include "texts/TextEscapes.h"
#include "ui/QtText.h"
#include "ui/WidgetHelpers.h"

namespace brivant {

TAddMenuView::TAddMenuView(TAddMenu& model, QWidget* parent) : QDialog(parent), model_(model) {
    setWindowTitle(QString::fromLatin1(TAddMenu::kTitle));
    FitTitle(this);
    setObjectName(QStringLiteral("TAddMenu"));
    auto* grid = new QGridLayout;
    nameBox_ = new QCheckBox(QString::fromLatin1(kMenuNameLabel));
    nameBox_->setObjectName(QStringLiteral("nameBox"));
    name_ = new QLineEdit;
    name_->setObjectName(QStringLiteral("menuName"));
    grid->addWidget(nameBox_, 0, 0);
    grid->addWidget(name_, 0, 1);
    // The text pointer's label is its check box.
    textPointerBox_ = new QCheckBox(QString::fromLatin1(kMenuFieldLabels[0]));
    textPointerBox_->setObjectName(QStringLiteral("textPointerBox"));
    form_.build(grid, 1, model.fields, textPointerBox_);
    form_.setReadOnly(MenuField::TipPointer, model.ReadOnly(MenuField::TipPointer));

    single_ = new QRadioButton(QString::fromLatin1(TAddMenu::kSingleMenu));
    single_->setObjectName(QStringLiteral("singleMenu"));
    withSub_ = new QRadioButton(QString::fromLatin1(TAddMenu::kWithSubMenu));
    withSub_->setObjectName(QStringLiteral("withSubMenu"));
    (model.withSubMenu ? withSub_ : single_)->setChecked(true);
    auto* kind = new QHBoxLayout;
    kind->addWidget(single_);
    kind->addWidget(withSub_);

    auto* buttons = OkCancelRow(this, TAddMenu::kOk, TAddMenu::kCancel, [this] { pressOk(); });

    connect(nameBox_, &QCheckBox::toggled, this, [this](bool on) {
        if (rendering_) return;
        store();
        model_.SetNameChecked(on);
        render();
    });
    connect(textPointerBox_, &QCheckBox::toggled, this, [this](bool on) {
        if (rendering_) return;
        store();
        model_.SetTextPointerChecked(on);
        render();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(kind);
    layout->addLayout(buttons);
    showMessage = [this](const QString& text) {
        QMessageBox::warning(this, QString::fromLatin1(TAddMenu::kTitle), text);
    };
    render();
    FocusRefused(form_, model.refused);
}

void TAddMenuView::store() {
    model_.name = ToBytes(name_->text());
    form_.store(model_.fields);
    model_.withSubMenu = withSub_->isChecked();
}

void TAddMenuView::render() {
    rendering_ = true;
    nameBox_->setChecked(model_.NameChecked());
    textPointerBox_->setChecked(model_.TextPointerChecked());
    name_->setText(FromBytes(model_.name));
    name_->setEnabled(model_.NameEnabled());
    form_.show(model_.fields);
    form_.field(MenuField::TextPointer)->setEnabled(model_.TextPointerEnabled());
    rendering_ = false;
}

void TAddMenuView::pressOk() {
    // A name the single-byte texts cannot hold is refused before the model sees it.
    std::string why;
    const QByteArray typed = name_->text().toUtf8();
    if (!Utf8ToTextBytes(std::string_view(typed.constData(), typed.size()), &why)) {
        showMessage(QString::fromStdString(Format(TAddMenu::kBadNameText, {why})));
        return;
    }
    store();
    if (const auto refusal = model_.PressOk()) {
        showMessage(QString::fromStdString(*refusal));
        return;
    }
    accept();
}

bool ShowAddMenu(QWidget* parent, TAddMenu& model) {
    TAddMenuView view(model, parent);
    return view.exec() == QDialog::Accepted && model.Accepted();
}

}  // namespace brivant
