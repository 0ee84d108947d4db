#include "ui/TMenuEditView.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QVBoxLayout>

#include "menu/TMenuEdit.h"
#include "ui/QtText.h"
#include "ui/WidgetHelpers.h"

namespace brivant {

TMenuEditView::TMenuEditView(TMenuEdit& model, QWidget* parent) : QDialog(parent), model_(model) {
    setWindowTitle(QString::fromLatin1(TMenuEdit::kTitle));
    FitTitle(this);
    setObjectName(QStringLiteral("TMenuEdit"));
    auto* grid = new QGridLayout;
    auto* name = new QLineEdit(FromImageText(model.Name()));
    name->setObjectName(QStringLiteral("menuName"));
    ShowReadOnly(name);
    grid->addWidget(new QLabel(QString::fromLatin1(kMenuNameLabel)), 0, 0);
    grid->addWidget(name, 0, 1);
    form_.build(grid, 1, model.fields);
    form_.setReadOnly(MenuField::TipPointer, model.ReadOnly(MenuField::TipPointer));

    auto* buttons = OkCancelRow(this, TMenuEdit::kOk, TMenuEdit::kCancel, [this] { pressOk(); });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    showMessage = [this](const QString& text) {
        QMessageBox::warning(this, QString::fromLatin1(TMenuEdit::kTitle), text);
    };
    FocusRefused(form_, model.refused);
}

void TMenuEditView::pressOk() {
    form_.store(model_.fields);
    if (const auto refusal = model_.PressOk()) {
        showMessage(QString::fromStdString(*refusal));
        return;
    }
    accept();
}

bool ShowMenuEditor(QWidget* parent, TMenuEdit& model) {
    TMenuEditView view(model, parent);
    return view.exec() == QDialog::Accepted && model.Accepted();
}

}  // namespace brivant
