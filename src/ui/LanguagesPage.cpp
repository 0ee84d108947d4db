#include "ui/LanguagesPage.h"

#include <QLabel>

#include "texts/Languages.h"
#include "ui/QtInteraction.h"

namespace brivant {

LanguagesPage::LanguagesPage(Shell& shell)
    : ListPage(shell, "languagesList", {tr("Language"), tr("ID"), tr("Length")}, "languageCount") {
    using N = ListView::Needs;
    ListView& l = *list_;
    QAction* edit = l.addEntry(tr("&Edit"), "languageEdit", N::Row,
                               [this](int row) { EditLanguage(ed(), ed().texts, ui(), row); });
    l.addEntry(tr("&Add"), "languageAdd", N::List,
               [this](int) { AddLanguage(ed(), ed().texts, ui()); });
    l.addEntry(tr("&Retrieve"), "languageRetrieve", N::Row,
               [this](int row) { RetrieveLanguage(ed(), ed().texts, ui(), row); });
    QAction* del = l.addEntry(tr("&Delete"), "languageDelete", N::Row,
                              [this](int row) { DeleteLanguage(ed(), ed().texts, ui(), row); });
    l.addSeparator();
    l.addEntry(tr("Retrie&ve All"), "languageRetrieveAll", N::List,
               [this](int) { RetrieveAllLanguages(ed(), ui()); });
    l.addEntry(tr("&Load All"), "languageLoadAll", N::List,
               [this](int) { LoadAllLanguages(ed(), ed().texts, ui()); });
    // Language texts are edited differently in the 62XX/7110 layout and the entry is not
    // offered there; Enter still opens the editor.
    l.enableWhen(edit, [this] { return !ed().Is62xx(); });
    l.bindKey(ListView::Key::Enter, edit);
    l.bindKey(ListView::Key::Delete, del);
}

void LanguagesPage::render() {
    const TextState& texts = ed().texts;
    ListView::Rows rows;
    for (const auto& r : texts.languages) rows.push_back(Cells(r.language, r.id, r.length));
    list_->setRows(rows);
    count_->setText(FromCore(texts.languageCount));
}

}  // namespace brivant
