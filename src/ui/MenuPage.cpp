#include "ui/MenuPage.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QSignalBlocker>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "menu/MenuEdit.h"
#include "menu/MenuLevels.h"
#include "ui/WidgetHelpers.h"

namespace brivant {

// The menu tree one level at a time, and the commands that edit the level shown.
MenuPage::MenuPage(Shell& shell) : TabPage(shell) {
    language_ = new QComboBox;
    language_->setObjectName("menuLanguage");
    connect(language_, &QComboBox::currentIndexChanged, this, [this](int k) {
        if (rendering() || k < 0) return;
        run("menuLanguageChosen",
            [this, k] { ChooseMenuLanguage(ed(), ed().menu, ed().texts, ui(), k); });
    });
    back_ = new QToolButton;
    back_->setObjectName("menuBack");
    back_->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    back_->setToolTip(tr("Back"));
    // Only a submenu has a level to go back to.
    back_->setEnabled(false);
    connect(back_, &QToolButton::clicked, this, [this] {
        run("menuBack", [this] { LeaveSubMenu(ed(), ed().menu, ed().texts, ui()); });
    });
    count_ = new QLabel(FromBytes(std::string(kMenuCountLabel) + "0"));
    count_->setObjectName("menuCount");

    list_ = new ListView(runner(), "menuList",
                         {tr("Menu Item"), tr("Text Ptr"), tr("Function Ptr")}, {100, 80, 79});
    using N = ListView::Needs;
    ListView& l = *list_;
    QAction* edit = l.addEntry(tr("&Edit"), "menuEdit", N::Row,
                               [this](int row) { EditMenuItem(ed(), ed().menu, ui(), row); });
    QAction* sub = l.addEntry(tr("Edit &SubMenu"), "menuEditSubMenu", N::Row, [this](int row) {
        EnterSubMenu(ed(), ed().menu, ed().texts, ui(), row);
    });
    // Offered only for an item whose record opens a submenu.
    l.enableWhen(sub, [this] { return SubMenuEnabled(ed().menu, list_->selectedRow()); });
    l.addEntry(tr("&Add"), "menuAdd", N::List,
               [this](int) { AddMenuItem(ed(), ed().menu, ed().texts, ui()); });
    QAction* del = l.addEntry(tr("&Delete"), "menuDelete", N::Row,
                              [this](int row) { DeleteMenuItem(ed(), ed().menu, ui(), row); });
    l.addSeparator();
    QMenu* move = l.addSubmenu(tr("&Move"));
    // The moved item stays selected.
    QAction* up = l.addEntry(
        tr("&Up"), "menuMoveUp", N::Row,
        [this](int row) { select_ = MoveMenuItem(ed(), ed().menu, row, true); }, move);
    QAction* down = l.addEntry(
        tr("&Down"), "menuMoveDown", N::Row,
        [this](int row) { select_ = MoveMenuItem(ed(), ed().menu, row, false); }, move);
    l.bindKey(ListView::Key::Enter, edit);
    l.bindKey(ListView::Key::Delete, del);
    l.bindKey(ListView::Key::CtrlUp, up);
    l.bindKey(ListView::Key::CtrlDown, down);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(tr("Language:")));
    top->addWidget(language_, 1);
    top->addWidget(back_);
    top->addWidget(count_);
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(3, 3, 3, 3);
    v->setSpacing(2);
    v->addLayout(top);
    v->addWidget(list_, 1);
}

void MenuPage::render() {
    const MenuState& m = ed().menu;
    QSignalBlocker block(language_);
    SetItems(language_, ed().texts.menuLanguages);
    language_->setCurrentIndex(language_->count() > 0 ? m.language : -1);
    back_->setEnabled(m.tab.backEnabled);
    count_->setText(FromBytes(m.menuCount));
    ListView::Rows rows;
    for (const MenuRow& r : m.tab.rows) rows.push_back(Cells(r.name, r.textPointer, r.funcPointer));
    list_->setRows(rows);
    if (select_ >= 0) list_->selectRow(select_);
    select_ = -1;
    list_->updateMenu();
}

}  // namespace brivant
