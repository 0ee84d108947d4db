#include "ui/TCheckfrmView.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ppm/Checksums.h"

namespace brivant {

TCheckfrmView::TCheckfrmView(QWidget* parent) : QDialog(parent) {
    setObjectName("TCheckfrmView");
    setWindowTitle(QString::fromLatin1(kChecksumTitle));
    setModal(true);

    updateAll_ = new QRadioButton(QString::fromLatin1(kChecksumOption), this);
    updateAll_->setObjectName("updateAll");
    updateAll_->setChecked(true);

    // Only the save command fills it; the user never edits the target of the repair.
    path_ = new QLineEdit(this);
    path_->setObjectName("checksumPath");
    path_->setReadOnly(true);
    path_->setVisible(false);

    auto* ok = new QPushButton(tr("&OK"), this);
    ok->setObjectName("checksumOk");
    ok->setDefault(true);
    auto* cancel = new QPushButton(tr("&Cancel"), this);
    cancel->setObjectName("checksumCancel");
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(updateAll_);
    layout->addWidget(path_);
    layout->addLayout(buttons);
    setFixedSize(sizeHint());
}

void TCheckfrmView::setPath(const QString& path) {
    path_->setText(path);
}
QString TCheckfrmView::path() const {
    return path_->text();
}

}  // namespace brivant
