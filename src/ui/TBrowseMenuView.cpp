#include "ui/TBrowseMenuView.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "menu/MenuState.h"
#include "menu/TBrowseMenu.h"
#include "ui/QtText.h"
#include "ui/WidgetHelpers.h"

namespace brivant {

TBrowseMenuView::TBrowseMenuView(TBrowseMenu& model, QWidget* parent)
    : QDialog(parent), model_(model) {
    setObjectName("browseMenu");
    setWindowTitle(FromBytes(model_.Title()));
    FitTitle(this);
    language_ = new QComboBox;
    language_->setObjectName("language");
    for (const std::string& l : model_.Languages()) language_->addItem(FromImageText(l));
    back_ = new QToolButton;
    back_->setObjectName("back");
    back_->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    back_->setToolTip(tr("Back"));
    list_ = new QTreeWidget;
    list_->setObjectName("menuItems");
    list_->setColumnCount(1);
    list_->setHeaderLabels({QString::fromLatin1(kBrowseColumn)});
    list_->setColumnWidth(0, kBrowseColumnWidth);
    list_->setRootIsDecorated(false);
    list_->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* view = new QAction(tr(kViewSubMenu), list_);
    view->setObjectName("viewSubMenu");
    list_->addAction(view);
    auto* ok = new QPushButton(tr(kBrowseOk));
    ok->setObjectName("ok");
    ok->setDefault(true);
    auto* cancel = new QPushButton(tr(kBrowseCancel));
    cancel->setObjectName("cancel");
    auto* help = new QPushButton(tr(kBrowseHelp));
    help->setObjectName("help");

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(tr(kBrowseLanguageLabel)));
    top->addWidget(language_, 1);
    top->addWidget(back_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(help);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);

    connect(language_, &QComboBox::currentIndexChanged, this, [this](int k) {
        if (rendering_) return;
        model_.ChooseLanguage(k);
        render();
    });
    connect(back_, &QToolButton::clicked, this, [this] {
        model_.Back();
        render();
    });
    connect(list_, &QTreeWidget::currentItemChanged, this, [this] {
        if (!rendering_) model_.Select(list_->currentIndex().row());
    });
    connect(view, &QAction::triggered, this, &TBrowseMenuView::viewSubMenu);
    connect(ok, &QPushButton::clicked, this, [this] {
        if (model_.Ok()) accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] { model_.Help(); });
    render();
    resize(260, 320);
}

void TBrowseMenuView::viewSubMenu() {
    const int row = list_->currentIndex().row();
    if (row < 0) return;
    model_.ViewSubMenu(row);
    render();
}

void TBrowseMenuView::render() {
    rendering_ = true;
    language_->setCurrentIndex(model_.Language());
    back_->setEnabled(model_.BackEnabled());
    list_->clear();
    for (const MenuRow& r : model_.Rows()) {
        // The hidden second column of the list: the record the row hands over.
        auto* item = new QTreeWidgetItem(list_, {FromImageText(r.name)});
        item->setData(0, Qt::UserRole, QString::fromStdString(r.record));
    }
    if (model_.Selected() >= 0 && model_.Selected() < list_->topLevelItemCount())
        list_->setCurrentItem(list_->topLevelItem(model_.Selected()));
    list_->setContextMenuPolicy(model_.HasRows() ? Qt::ActionsContextMenu : Qt::NoContextMenu);
    rendering_ = false;
}

bool ShowBrowseMenu(QWidget* parent, TBrowseMenu& model) {
    TBrowseMenuView view(model, parent);
    return view.exec() == QDialog::Accepted && !model.Result().empty();
}

}  // namespace brivant
