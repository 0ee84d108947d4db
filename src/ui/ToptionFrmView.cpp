#include "ui/ToptionFrmView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "tones/ToptionFrm.h"
#include "ui/WidgetHelpers.h"

namespace brivant {

ToptionFrmView::ToptionFrmView(ToptionFrm& model, QWidget* parent)
    : QDialog(parent), model_(model) {
    setWindowTitle(QString::fromLatin1(ToptionFrm::kTitle));
    setObjectName(QStringLiteral("ToptionFrm"));

    count_ = new QLineEdit(QString::fromStdString(model.count));
    count_->setObjectName(QStringLiteral("count"));
    count_->setMaxLength(ToptionFrm::kCountMaxLength);
    count_->setFixedWidth(40);
    auto* repeat = new QHBoxLayout;
    repeat->addWidget(new QLabel(QString::fromLatin1(ToptionFrm::kRepeat)));
    repeat->addWidget(count_);
    repeat->addWidget(new QLabel(QString::fromLatin1(ToptionFrm::kTimes)));
    repeat->addStretch();

    normal_ = new QRadioButton(QString::fromLatin1(ToptionFrm::kNormal));
    normal_->setObjectName(QStringLiteral("normal"));
    ascending_ = new QRadioButton(QString::fromLatin1(ToptionFrm::kAscendingText));
    ascending_->setObjectName(QStringLiteral("ascending"));
    (model.ascending ? ascending_ : normal_)->setChecked(true);
    auto* mode = new QHBoxLayout;
    mode->addWidget(normal_);
    mode->addWidget(ascending_);

    auto* buttons = OkCancelRow(this, ToptionFrm::kOk, ToptionFrm::kCancel, [this] { PressOk(); });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(repeat);
    layout->addLayout(mode);
    layout->addLayout(buttons);
    FitTitle(this);

    showMessage = [this](const QString& text) {
        QMessageBox::warning(this, QString::fromLatin1(ToptionFrm::kTitle), text);
    };
}

void ToptionFrmView::StoreFields() {
    model_.count = count_->text().toStdString();
    model_.ascending = ascending_->isChecked();
}

void ToptionFrmView::PressOk() {
    StoreFields();
    if (const auto message = model_.PressOk()) {
        showMessage(QString::fromStdString(*message));
        if (model_.countNeedsFocus) {
            count_->setFocus();
            count_->selectAll();
        }
        return;
    }
    accept();
}

bool ShowOptionsDialog(QWidget* parent, ToptionFrm& model) {
    ToptionFrmView dialog(model, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace brivant
