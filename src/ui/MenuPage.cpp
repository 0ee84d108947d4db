#include "ui/MenuPage.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QSignalBlocker>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/WidgetHelpers.h"

namespace brivant {

namespace {
constexpr const char* kMenuCountStart = "Menu Count: 0";
}

// The menu table's reading and editing come with the menus feature: until then the
// commands below run by name only, and the list keeps the rows it is given.
MenuPage::MenuPage(Shell& shell) : TabPage(shell) {
    language_ = new QComboBox;
    language_->setObjectName("menuLanguage");
    connect(language_, &QComboBox::currentIndexChanged, this, [this](int) {
        if (!rendering()) run("menuLanguageChosen", {});
    });
    back_ = new QToolButton;
    back_->setObjectName("menuBack");
    back_->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    back_->setToolTip(tr("Back"));
    // Only a submenu has a level to go back to.
    back_->setEnabled(false);
    connect(back_, &QToolButton::clicked, this, [this] { run("menuBack", {}); });
    count_ = new QLabel(QString::fromLatin1(kMenuCountStart));
    count_->setObjectName("menuCount");

    list_ = new ListView(runner(), "menuList",
                         {tr("Menu Item"), tr("Text Ptr"), tr("Function Ptr")}, {100, 80, 79});
    using N = ListView::Needs;
    ListView& l = *list_;
    QAction* edit = l.addEntry(tr("&Edit"), "menuEdit", N::Row, {});
    l.addEntry(tr("Edit &SubMenu"), "menuEditSubMenu", N::Row, {});
    l.addEntry(tr("&Add"), "menuAdd", N::List, {});
    QAction* del = l.addEntry(tr("&Delete"), "menuDelete", N::Row, {});
    l.addSeparator();
    QMenu* move = l.addSubmenu(tr("&Move"));
    QAction* up = l.addEntry(tr("&Up"), "menuMoveUp", N::Row, {}, move);
    QAction* down = l.addEntry(tr("&Down"), "menuMoveDown", N::Row, {}, move);
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
    QSignalBlocker block(language_);
    SetItems(language_, ed().texts.menuLanguages);
    list_->updateMenu();
}

}  // namespace brivant
