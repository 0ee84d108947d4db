#include "ui/TonesPage.h"

#include <QLabel>

#include "tones/RingtoneCommands.h"
#include "ui/QtInteraction.h"

namespace brivant {

TonesPage::TonesPage(Shell& shell)
    : ListPage(shell, "tonesList", {tr("RingTone"), tr("ID"), tr("Length")}, "toneCount") {
    using N = ListView::Needs;
    ListView& l = *list_;
    QAction* change = l.addEntry(tr("&Change"), "toneChange", N::Row,
                                 [this](int row) { ChangeRingtone(ed(), ed().tones, ui(), row); });
    QAction* add = l.addEntry(tr("&Add"), "toneAdd", N::List,
                              [this](int) { AddRingtone(ed(), ed().tones, ui()); });
    l.addEntry(tr("&Retrieve"), "toneRetrieve", N::Row,
               [this](int row) { RetrieveRingtone(ed(), ed().tones, ui(), row); });
    QAction* del = l.addEntry(tr("&Delete"), "toneDelete", N::Row,
                              [this](int row) { DeleteRingtone(ed(), ed().tones, ui(), row); });
    l.addSeparator();
    l.addEntry(tr("Retrie&ve All"), "toneRetrieveAll", N::List,
               [this](int) { RetrieveAllRingtones(ed(), ui()); });
    l.addEntry(tr("&Load All"), "toneLoadAll", N::List,
               [this](int) { LoadAllRingtones(ed(), ed().tones, ui()); });
    // The 62XX/7110 alert tones sit at fixed rows of this list: no row may be added or taken
    // out there. The Delete key reaches the command, which refuses and says why.
    l.enableWhen(add, [this] { return !ed().Is62xx() && ed().tones.ringtoneAddEnabled; });
    l.enableWhen(del, [this] { return !ed().Is62xx(); });
    l.bindKey(ListView::Key::Enter, change);
    l.bindKey(ListView::Key::Delete, del);

    connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (!rendering()) ed().tones.selectedRingtone = list_->selectedRow();
    });
}

void TonesPage::render() {
    const ToneState& tones = ed().tones;
    ListView::Rows rows;
    for (const auto& r : tones.ringtones) rows.push_back(Cells(r.name, r.id, r.length));
    list_->setRows(rows);
    // Commands may pick the ringtone row themselves (the 62XX/7110 alert tones do); else
    // the list keeps its selection on a row that is there.
    const int pick = tones.selectedRingtone;
    if (pick >= 0 && pick < static_cast<int>(rows.size())) list_->selectRow(pick);
    count_->setText(FromCore(tones.ringtoneCount));
}

}  // namespace brivant
