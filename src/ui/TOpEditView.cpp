#include "ui/TOpEditView.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "texts/TOpEdit.h"
#include "ui/QtText.h"
#include "ui/WidgetHelpers.h"

namespace brivant {

TOpEditView::TOpEditView(TOpEdit& model, QWidget* parent) : QDialog(parent), model_(model) {
    setWindowTitle(kOpEditTitle);
    FitTitle(this);
    list_ = new QListWidget;
    list_->setObjectName("operators");
    name_ = new QLineEdit;
    name_->setObjectName("name");
    country_ = new QLineEdit(FromBytes(model_.CountryCode()));
    country_->setObjectName("countryCode");
    ShowReadOnly(country_);
    country_->setMaximumWidth(50);
    network_ = new QLineEdit;
    network_->setObjectName("networkCode");
    network_->setMaxLength(2);
    network_->setMaximumWidth(40);
    auto* add = new QPushButton(tr("&Add"));
    add->setObjectName("add");
    auto* del = new QPushButton(tr("&Delete"));
    del->setObjectName("delete");
    auto* ok = new QPushButton(tr("&OK"));
    ok->setObjectName("ok");
    ok->setDefault(true);
    auto* cancel = new QPushButton(tr("&Cancel"));
    cancel->setObjectName("cancel");

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(tr("Name:")), 0, 0);
    fields->addWidget(name_, 0, 1, 1, 3);
    fields->addWidget(new QLabel(tr("Code:")), 1, 0);
    fields->addWidget(country_, 1, 1);
    fields->addWidget(new QLabel(tr("-")), 1, 2);
    fields->addWidget(network_, 1, 3, Qt::AlignLeft);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(del);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Operators:")));
    layout->addWidget(list_, 1);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (rendering_) return;
        model_.Select(row);
        render();
    });
    connect(name_, &QLineEdit::textEdited, this, [this](const QString& t) {
        const auto name = TakeTyped(name_, t, model_.NameField());
        if (!name) return;
        model_.SetName(*name);
        if (model_.Selected() >= 0) list_->item(model_.Selected())->setText(t);
    });
    connect(network_, &QLineEdit::textEdited, this,
            [this](const QString& t) { model_.SetCode(ToBytes(t)); });
    connect(add, &QPushButton::clicked, this, [this] {
        std::string error;
        if (!model_.Add(&error)) {
            QMessageBox::warning(this, windowTitle(), QString::fromStdString(error));
            // What was typed stays; the focus goes where it must be mended.
            (model_.NameField().empty() ? name_ : network_)->setFocus();
            return;
        }
        render();
        name_->setFocus();
        name_->selectAll();
    });
    connect(del, &QPushButton::clicked, this, [this] {
        model_.Delete();
        render();
    });
    connect(ok, &QPushButton::clicked, this, &TOpEditView::onOk);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    render();
    resize(320, 300);
}

void TOpEditView::render() {
    rendering_ = true;
    list_->clear();
    for (const auto& o : model_.Operators()) list_->addItem(FromImageText(o.name));
    list_->setCurrentRow(model_.Selected());
    name_->setText(FromBytes(model_.NameField()));
    network_->setText(FromBytes(model_.CodeField()));
    rendering_ = false;
}

void TOpEditView::onOk() {
    std::string error;
    if (!model_.Ok(&error)) {
        QMessageBox::warning(this, windowTitle(), QString::fromStdString(error));
        return;
    }
    accept();
}

bool ShowOperatorsEditor(QWidget* parent, TOpEdit& model) {
    TOpEditView view(model, parent);
    if (view.exec() == QDialog::Accepted && model.Accepted()) return true;
    model.Cancel();
    return false;
}

}  // namespace brivant
