#include "UiHarness.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "core/HexText.h"
#include "core/Stream.h"
#include "ppm/Checksums.h"
#include "ui/Brivant.h"

namespace brivant::uitest {

void Type(QLineEdit* field, const QString& text) {
    field->setFocus();
    field->selectAll();
    if (text.isEmpty())
        QTest::keyClick(field, Qt::Key_Backspace);
    else
        QTest::keyClicks(field, text);
}

QTreeWidget* ShowTab(TMain& w, Tab tab, const char* list) {
    Find<QTabWidget>(w, "tabs")->setCurrentIndex(static_cast<int>(tab));
    return Find<QTreeWidget>(w, list);
}

SampleImage WriteSample(const std::string& path, SampleOptions o) {
    SampleImage s = BuildSample(o);
    WriteFile(path, s.bytes);
    return s;
}

SampleImage OpenSample(TMain& w, const std::string& path, int family) {
    SampleOptions o;
    o.family = family;
    SampleImage s = WriteSample(path, o);
    w.openPath(QString::fromStdString(path));
    return s;
}

void Click(QWidget& w, const char* button) {
    QTest::mouseClick(Find<QAbstractButton>(w, button), Qt::LeftButton);
}

QStringList Items(QComboBox* box) {
    QStringList s;
    for (int i = 0; i < box->count(); ++i) s << box->itemText(i);
    return s;
}

QStringList Headers(QTreeWidget* list) {
    QStringList s;
    for (int i = 0; i < list->columnCount(); ++i) s << list->headerItem()->text(i);
    return s;
}

QStringList Rows(QTreeWidget* list) {
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QStringList cells;
        for (int c = 0; c < list->columnCount(); ++c) cells << list->topLevelItem(i)->text(c);
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

void SelectRow(QTreeWidget* list, int row) {
    list->setFocus();
    list->clearSelection();
    list->topLevelItem(row)->setSelected(true);
    list->setCurrentItem(list->topLevelItem(row));
}

int SelectedRow(QTreeWidget* list) {
    const auto sel = list->selectedItems();
    return sel.isEmpty() ? -1 : list->indexOfTopLevelItem(sel.front());
}

QMenu* VisibleMenu() {
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<QMenu*>(top); m && m->isVisible()) return m;
    return nullptr;
}

QMenu* ContextMenu(QTreeWidget* list) {
    const QRect r =
        list->topLevelItemCount() > 0 ? list->visualItemRect(list->topLevelItem(0)) : QRect();
    const QPoint at = r.isValid() ? r.center() : QPoint(10, 5);
    QContextMenuEvent e(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
    QApplication::sendEvent(list->viewport(), &e);
    return VisibleMenu();
}

QAction* MenuEntry(QMenu* menu, const QString& caption) {
    for (QAction* a : menu->actions())
        if (a->text() == caption) return a;
    qFatal("no entry %s", qPrintable(caption));
    return nullptr;
}

QAction* Entry(QWidget* list, const char* command) {
    auto* a = list->findChild<QAction*>(QString::fromLatin1(command));
    if (!a) qFatal("no entry %s", command);
    return a;
}

QStringList Captions(QMenu* menu) {
    QStringList s;
    for (QAction* a : menu->actions()) {
        s << a->text();
        if (a->menu())
            for (QAction* sub : a->menu()->actions()) s << ">" + sub->text();
    }
    return s;
}

QStringList Names(const QSignalSpy& spy) {
    QStringList s;
    for (const auto& args : spy) s << args.at(0).toString();
    return s;
}

bool Sealed(const std::string& pieceHex) {
    const Bytes c = HexToBytes(pieceHex);
    if (c.size() < 36) return false;
    const auto sum = ChunkChecksum(c);
    return GetBE32(&c[4]) == c.size() && sum && GetBE32(&c[0]) == *sum;
}

void WhenModal(std::function<void(QWidget*)> answer) {
    auto* poll = new QTimer;
    poll->setInterval(0);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, answer = std::move(answer)] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w) return;
        poll->stop();
        poll->deleteLater();
        answer(w);
        if (w->isVisible()) w->close();
    });
    poll->start();
}

std::vector<std::pair<std::string, UiTestMaker>>& UiTests() {
    static std::vector<std::pair<std::string, UiTestMaker>> tests;
    return tests;
}

}  // namespace brivant::uitest
