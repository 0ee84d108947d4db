#include "ui/TInvertFrmView.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "patches/TInvertFrm.h"
#include "ui/WidgetHelpers.h"

namespace brivant {

TInvertFrmView::TInvertFrmView(TInvertFrm& model, QWidget* parent)
    : QDialog(parent), model_(model) {
    setWindowTitle(QString::fromLatin1(TInvertFrm::kTitle));
    FitTitle(this);
    setObjectName(QStringLiteral("TInvertFrm"));

    nonBlinking_ = new QRadioButton(QString::fromLatin1(TInvertFrm::kNonBlinking));
    nonBlinking_->setObjectName(QStringLiteral("nonBlinking"));
    blinking_ = new QRadioButton(QString::fromLatin1(TInvertFrm::kBlinking));
    blinking_->setObjectName(QStringLiteral("blinking"));
    (model.choice == TInvertFrm::kBlinkingMode ? blinking_ : nonBlinking_)->setChecked(true);

    auto* buttons = OkCancelRow(this, TInvertFrm::kOk, TInvertFrm::kCancel, [this] { accept(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(nonBlinking_);
    layout->addWidget(blinking_);
    layout->addLayout(buttons);
}

void TInvertFrmView::done(int result) {
    if (result == QDialog::Accepted) {
        model_.choice =
            blinking_->isChecked() ? TInvertFrm::kBlinkingMode : TInvertFrm::kNonBlinkingMode;
        model_.PressOk();
    } else {
        model_.PressCancel();
    }
    QDialog::done(result);
}

bool ShowInvertDialog(QWidget* parent, TInvertFrm& model) {
    TInvertFrmView dialog(model, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace brivant
