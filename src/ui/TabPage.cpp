#include "ui/TabPage.h"

#include <QLabel>
#include <QVBoxLayout>

namespace brivant {

ListPage::ListPage(Shell& shell, const char* list, const QStringList& headers, const char* count)
    : TabPage(shell) {
    list_ = new ListView(runner(), list, headers, {100, 80, 80});
    count_ = new QLabel;
    count_->setObjectName(QString::fromLatin1(count));
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(3, 3, 3, 3);
    v->setSpacing(2);
    v->addWidget(list_, 1);
    v->addWidget(count_);
}

}  // namespace brivant
