#include "ui/TFadeLedsView.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "patches/TFadeLeds.h"
#include "ui/WidgetHelpers.h"

namespace brivant {

namespace {
QLineEdit* TimeField(const std::string& text, const char* name) {
    auto* field = new QLineEdit(QString::fromStdString(text));
    field->setObjectName(QString::fromLatin1(name));
    field->setMaxLength(TFadeLeds::kTimeDigits);
    field->setFixedWidth(60);
    return field;
}
}  // namespace

TFadeLedsView::TFadeLedsView(TFadeLeds& model, QWidget* parent) : QDialog(parent), model_(model) {
    setWindowTitle(QString::fromLatin1(TFadeLeds::kTitle));
    FitTitle(this);
    setObjectName(QStringLiteral("TFadeLeds"));

    fadeIn_ = TimeField(model.fadeIn, "fadeIn");
    fadeOut_ = TimeField(model.fadeOut, "fadeOut");
    auto* form = new QFormLayout;
    form->addRow(QString::fromLatin1(TFadeLeds::kFadeInLabel), fadeIn_);
    form->addRow(QString::fromLatin1(TFadeLeds::kFadeOutLabel), fadeOut_);

    auto* buttons = OkCancelRow(this, TFadeLeds::kOk, TFadeLeds::kCancel, [this] { PressOk(); });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    showMessage = [this](const QString& text) {
        QMessageBox::warning(this, QString::fromLatin1(TFadeLeds::kTitle), text);
    };
}

void TFadeLedsView::PressOk() {
    model_.fadeIn = fadeIn_->text().toStdString();
    model_.fadeOut = fadeOut_->text().toStdString();
    if (const auto message = model_.PressOk()) {
        showMessage(QString::fromStdString(*message));
        return;
    }
    accept();
}

void TFadeLedsView::done(int result) {
    if (result != QDialog::Accepted) model_.PressCancel();
    QDialog::done(result);
}

bool ShowFadeLedsDialog(QWidget* parent, TFadeLeds& model) {
    TFadeLedsView dialog(model, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace brivant
