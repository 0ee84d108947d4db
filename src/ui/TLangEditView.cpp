#include "ui/TLangEditView.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "texts/TLangEdit.h"
#include "ui/QtText.h"
#include "ui/WidgetHelpers.h"

namespace brivant {

TLangEditView::TLangEditView(TLangEdit& model, QWidget* parent) : QDialog(parent), model_(model) {
    setWindowTitle(kLangEditTitle);
    FitTitle(this);
    list_ = new QListWidget;
    list_->setObjectName("texts");
    text_ = new QLineEdit;
    text_->setObjectName("text");
    search_ = new QLineEdit;
    search_->setObjectName("search");
    go_ = new QPushButton;
    go_->setObjectName("go");
    entries_ = new QLabel;
    auto* ok = new QPushButton(tr("&OK"));
    ok->setObjectName("ok");
    ok->setDefault(true);
    auto* cancel = new QPushButton(tr("&Cancel"));
    cancel->setObjectName("cancel");

    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(new QLabel(tr("Search for:")));
    searchRow->addWidget(search_, 1);
    searchRow->addWidget(go_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(entries_);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addWidget(text_);
    layout->addLayout(searchRow);
    layout->addLayout(buttons);

    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (rendering_) return;
        model_.Select(row);
        render();
    });
    // textEdited fires for what the user types only, never for what the view puts there.
    connect(text_, &QLineEdit::textEdited, this, [this](const QString& t) {
        const auto text = TakeTyped(text_, t, model_.TextField());
        if (!text) return;
        model_.KeyTyped();
        model_.SetTextField(*text);
        if (model_.Selected() >= 0) list_->item(model_.Selected())->setText(t);
    });
    connect(search_, &QLineEdit::textEdited, this,
            [this](const QString& t) { model_.searchField = ToBytes(t); });
    connect(go_, &QPushButton::clicked, this, &TLangEditView::onSearch);
    // Enter in the search field searches; left to the dialog it would press "&OK" and
    // store the edits.
    search_->installEventFilter(this);
    connect(ok, &QPushButton::clicked, this, &TLangEditView::onOk);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    for (const auto& t : model_.Texts()) list_->addItem(FromImageText(t));
    search_->setText(FromBytes(model_.searchField));
    render();
    resize(420, 360);
}

bool TLangEditView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == search_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            onSearch();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TLangEditView::render() {
    rendering_ = true;
    list_->setCurrentRow(model_.Selected());
    text_->setText(FromBytes(model_.TextField()));
    go_->setText(QString::fromStdString(model_.SearchCaption()));
    entries_->setText(QString::fromStdString(model_.EntriesLabel()));
    rendering_ = false;
}

void TLangEditView::onSearch() {
    const auto message = model_.Search();
    render();
    if (message) QMessageBox::information(this, windowTitle(), QString::fromStdString(*message));
}

void TLangEditView::onOk() {
    std::string error;
    if (!model_.Ok(&error)) {
        QMessageBox::warning(this, windowTitle(), QString::fromStdString(error));
        return;
    }
    accept();
}

bool ShowLanguageEditor(QWidget* parent, TLangEdit& model) {
    TLangEditView view(model, parent);
    if (view.exec() == QDialog::Accepted) return true;
    model.Cancel();
    return false;
}

}  // namespace brivant
