#include "ui/OperatorsPage.h"

#include <QLabel>
#include <QMenu>

#include "texts/Operators.h"
#include "ui/QtInteraction.h"

namespace brivant {

OperatorsPage::OperatorsPage(Shell& shell)
    : ListPage(shell, "operatorsList", {tr("Countries"), tr("Code"), tr("#Operators")},
               "countryCount") {
    using N = ListView::Needs;
    ListView& l = *list_;
    QAction* edit = l.addEntry(tr("&Edit"), "operatorEdit", N::Row,
                               [this](int row) { EditOperators(ed(), ed().texts, ui(), row); });
    QMenu* add = l.addSubmenu(tr("&Add"));
    l.addEntry(
        tr("&New..."), "operatorAddNew", N::List,
        [this](int) { NewCountry(ed(), ed().texts, ui()); }, add);
    l.addEntry(
        tr("&Load from file"), "operatorAddFromFile", N::List,
        [this](int) { LoadCountry(ed(), ed().texts, ui()); }, add);
    l.addEntry(tr("&Retrieve"), "operatorRetrieve", N::Row,
               [this](int row) { RetrieveCountry(ed(), ed().texts, ui(), row); });
    QAction* del = l.addEntry(tr("&Delete"), "operatorDelete", N::Row,
                              [this](int row) { DeleteCountry(ed(), ed().texts, ui(), row); });
    l.addSeparator();
    l.addEntry(tr("Retrie&ve All"), "operatorRetrieveAll", N::List,
               [this](int) { RetrieveAllOperators(ed(), ui()); });
    l.addEntry(tr("&Load All"), "operatorLoadAll", N::List,
               [this](int) { LoadAllOperators(ed(), ed().texts, ui()); });
    l.bindKey(ListView::Key::Enter, edit);
    l.bindKey(ListView::Key::Delete, del);
}

void OperatorsPage::render() {
    const TextState& texts = ed().texts;
    ListView::Rows rows;
    for (const auto& r : texts.countries) rows.push_back(Cells(r.country, r.code, r.operators));
    list_->setRows(rows);
    count_->setText(FromCore(texts.countryCount));
}

}  // namespace brivant
