#include "ui/PictureImportView.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "graphics/BitmapPicture.h"
#include "ui/WidgetHelpers.h"

namespace brivant {

namespace {
constexpr const char* kTitle = "Black and White";
constexpr const char* kQuestion =
    "This picture is not black and white. How should its pixels be set?";
constexpr const char* kThreshold = "Set pixels darker than:";
constexpr const char* kDither = "Dither (Floyd-Steinberg)";
constexpr const char* kFit = "Scale to the bitmap's size";
}  // namespace

PictureImportView::PictureImportView(PictureImport& model, QWidget* parent)
    : QDialog(parent), model_(model) {
    setWindowTitle(QString::fromLatin1(kTitle));
    setObjectName(QStringLiteral("PictureImport"));
    threshold_ = new QRadioButton(QString::fromLatin1(kThreshold));
    threshold_->setObjectName(QStringLiteral("threshold"));
    level_ = new QSpinBox;
    level_->setObjectName(QStringLiteral("level"));
    level_->setRange(0, 255);
    level_->setValue(model.threshold.value_or(PictureImport::kDefaultThreshold));
    dither_ = new QRadioButton(QString::fromLatin1(kDither));
    dither_->setObjectName(QStringLiteral("dither"));
    (model.dither ? dither_ : threshold_)->setChecked(true);
    fit_ = new QCheckBox(QString::fromLatin1(kFit));
    fit_->setObjectName(QStringLiteral("fit"));
    fit_->setChecked(model.fit);

    auto* row = new QHBoxLayout;
    row->addWidget(threshold_);
    row->addWidget(level_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::fromLatin1(kQuestion)));
    layout->addLayout(row);
    layout->addWidget(dither_);
    layout->addWidget(fit_);
    layout->addLayout(OkCancelRow(this, "&OK", "&Cancel", [this] { accept(); }));
}

void PictureImportView::done(int result) {
    if (result == QDialog::Accepted) {
        model_.threshold = level_->value();
        model_.dither = dither_->isChecked();
        model_.fit = fit_->isChecked();
    }
    QDialog::done(result);
}

bool ShowPictureImport(QWidget* parent, PictureImport& model) {
    PictureImportView dialog(model, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace brivant
