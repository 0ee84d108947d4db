#include "ui/TCheckfrmView.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "ppm/Checksums.h"
#include "ui/WidgetHelpers.h"

namespace brivant {

TCheckfrmView::TCheckfrmView(QWidget* parent) : QDialog(parent) {
    setObjectName("TCheckfrmView");
    setWindowTitle(QString::fromLatin1(kChecksumTitle));
    setModal(true);

    question_ = new QLabel(this);
    question_->setObjectName("updateAll");

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
    layout->addWidget(question_);
    layout->addWidget(path_);
    layout->addLayout(buttons);
    setPath({});
}

void TCheckfrmView::setPath(const QString& path) {
    path_->setText(path);
    const QString name = QFileInfo(path).fileName();
    question_->setText(QString::fromLatin1(kQuestion).arg(
        name.isEmpty() ? QStringLiteral("the saved file") : name));
    // Sized anew for each name, never narrower than the title.
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    adjustSize();
    setFixedSize(std::max(sizeHint().width(), TitleWidth(this, windowTitle())),
                 sizeHint().height());
}
QString TCheckfrmView::path() const {
    return path_->text();
}

}  // namespace brivant
