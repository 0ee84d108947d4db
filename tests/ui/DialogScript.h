#pragma once

// For the window tests of the feature tabs: the scripted port answers the dialogs that have
// a model of their own as well, and a few ways to look at a list and at a chunk piece.

#include <QContextMenuEvent>
#include <QMenu>
#include <QStringList>
#include <QTreeWidget>
#include <functional>
#include <string>

#include "UiHarness.h"
#include "core/HexText.h"
#include "ppm/Checksums.h"
#include "ppm/PpmCopy.h"
#include "texts/TLangEdit.h"
#include "texts/TOpEdit.h"
#include "tones/ToptionFrm.h"
#include "ui/Brivant.h"

namespace brivant::uitest {

// The scripted port answers the dialogs with models through its hooks (without a hook the
// dialog counts as closed) and counts how often each was shown.
using DialogUi = ScriptUi;

template <typename T>
T* Find(QWidget& w, const char* name) {
    T* c = w.findChild<T*>(QString::fromLatin1(name));
    if (!c) qFatal("no control %s", name);
    return c;
}

inline SampleImage OpenSample(TMain& w, const std::string& path, int family) {
    SampleOptions o;
    o.family = family;
    SampleImage s = WriteSample(path, o);
    w.openPath(QString::fromStdString(path));
    return s;
}

// The rows as the list shows them, one "a|b|c" text each.
inline QStringList Rows(QTreeWidget* t) {
    QStringList rows;
    for (int i = 0; i < t->topLevelItemCount(); ++i) {
        QStringList cells;
        for (int c = 0; c < t->columnCount(); ++c) cells << t->topLevelItem(i)->text(c);
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

inline void SelectRow(QTreeWidget* t, int row) {
    t->setFocus();
    t->clearSelection();
    t->topLevelItem(row)->setSelected(true);
    t->setCurrentItem(t->topLevelItem(row));
}

inline int SelectedRow(QTreeWidget* t) {
    const auto sel = t->selectedItems();
    return sel.isEmpty() ? -1 : t->indexOfTopLevelItem(sel.front());
}

// A sealed chunk carries its own size in bytes 4-7 and its checksum in bytes 0-3.
inline bool Sealed(const std::string& pieceHex) {
    const Bytes c = HexToBytes(pieceHex);
    if (c.size() < 36) return false;
    const auto sum = ChunkChecksum(c);
    return GetBE32(&c[4]) == c.size() && sum && GetBE32(&c[0]) == *sum;
}

inline QMenu* VisibleMenu() {
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<QMenu*>(top); m && m->isVisible()) return m;
    return nullptr;
}

// Right-clicks the first row and returns the context menu that opened (or nullptr).
inline QMenu* ContextMenu(QTreeWidget* t) {
    const QRect r = t->visualItemRect(t->topLevelItem(0));
    const QPoint at = r.isValid() ? r.center() : QPoint(10, 5);
    QContextMenuEvent e(QContextMenuEvent::Mouse, at, t->viewport()->mapToGlobal(at));
    QApplication::sendEvent(t->viewport(), &e);
    return VisibleMenu();
}

inline QAction* MenuEntry(QMenu* m, const QString& caption) {
    for (QAction* a : m->actions())
        if (a->text() == caption) return a;
    qFatal("no entry %s", qPrintable(caption));
    return nullptr;
}

}  // namespace brivant::uitest
