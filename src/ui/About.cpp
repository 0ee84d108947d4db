#include "ui/About.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace brivant {

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName("TAboutBox");
    setWindowTitle(tr("About"));
    setModal(true);

    auto* version = new QLabel(QString::fromLatin1(kAboutVersion), this);
    version->setObjectName("aboutVersion");
    QFont bold = version->font();
    bold.setBold(true);
    version->setFont(bold);
    auto* purpose = new QLabel(QString::fromLatin1(kAboutPurpose), this);
    purpose->setObjectName("aboutPurpose");
    purpose->setWordWrap(true);

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setObjectName("aboutOk");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(version);
    layout->addWidget(purpose);
    layout->addLayout(buttons);
    purpose->setFixedWidth(280);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace brivant
