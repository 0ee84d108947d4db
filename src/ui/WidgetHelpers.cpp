#include "ui/WidgetHelpers.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLayout>
#include <QLineEdit>
#include <QStringList>

#include "ui/QtText.h"

namespace brivant {

QGroupBox* Group(const QString& title, QLayout* layout) {
    auto* g = new QGroupBox(title);
    layout->setContentsMargins(4, 2, 4, 3);
    layout->setSpacing(2);
    g->setLayout(layout);
    return g;
}

void SetTextIfChanged(QLineEdit* field, const QString& text) {
    if (field->text() != text) field->setText(text);
}

void SetItems(QComboBox* box, const std::vector<std::string>& items) {
    QStringList texts;
    for (const auto& s : items) texts << FromBytes(s);
    QStringList current;
    for (int i = 0; i < box->count(); ++i) current << box->itemText(i);
    if (current == texts) return;
    box->clear();
    box->addItems(texts);
}

}  // namespace brivant
