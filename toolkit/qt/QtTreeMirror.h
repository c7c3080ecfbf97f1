#pragma once

#include "toolkit/UIDefs.h"
#include "toolkit/qt/QtControlLook.h"

#include <QPointer>

#include <cstdint>
#include <unordered_map>
#include <vector>

class CControlUI;
class CListUI;
class CPaintManagerUI;
class CWebBrowserUI;
class QWidget;
class QtControlWidget;
class QtListWidget;
class QtResources;

// Keeps the widgets of one window in step with its control tree. The tree decides everything
// (what exists, where it is, how it looks); a sync walks the visible part of the tree, creates
// the widgets that are missing, moves and restyles the others, and hides widgets whose controls
// are no longer shown. Rows of a list get widgets only while they are in view; a row that
// leaves the view loses its widgets, so a long list costs a screenful of widgets.
class QtTreeMirror {
public:
    QtTreeMirror(QWidget& window, QtResources& resources);
    ~QtTreeMirror();
    QtTreeMirror(const QtTreeMirror&) = delete;
    QtTreeMirror& operator=(const QtTreeMirror&) = delete;

    // Brings the widgets in line with manager's tree (the layout must be current).
    void Sync(CPaintManagerUI& manager);
    // control is being deleted: its widget goes too and stops reporting to it.
    void Forget(const CControlUI& control);
    // Drops every widget.
    void Clear();

    QtControlWidget* WidgetOf(const CControlUI& control) const;
    // Sends the browser's widget (if it has one) to url.
    void Navigate(const CWebBrowserUI& browser, const QString& url);
    std::size_t WidgetCount() const { return m_entries.size(); }
    // Puts the focusable widgets in Qt's focus chain in the order of their controls in the tree,
    // as the last mirror pass found them. Asked for when Tab is about to move the focus: the
    // order changes with every scroll of a list, and setting it costs more than the pass itself.
    void ApplyFocusChain();

private:
    struct Entry {
        QPointer<QtControlWidget> widget;
        QtControlLook::Kind kind = QtControlLook::Kind::Plain;
        std::uint32_t revision = 0;
        UIRect pos;
        unsigned generation = 0;
        bool inList = false; // the widget lives below a list's viewport
    };

    // One pass over what is in view (QtTreeMirror.cpp).
    class SyncPass;

    // Mirrors control into parent, where origin is the window position of parent's top-left
    // corner; returns its widget and whether that is new or was hidden before.
    QtControlWidget& SyncControl(
        CControlUI& control, CPaintManagerUI& manager, QWidget& parent, UIPoint origin, bool inList, bool& shownAgain);
    // Places the list's viewport and scroll bar; its rows are mirrored into the viewport.
    static void SyncList(CListUI& list, QtListWidget& widget);
    QtControlWidget* CreateWidget(CControlUI& control, QtControlLook::Kind kind, QWidget& parent);
    QtControlLook BuildLook(CControlUI& control, CPaintManagerUI& manager);
    static void Retire(QtControlWidget* widget);

    QWidget& m_window;
    QtResources& m_resources;
    std::unordered_map<const CControlUI*, Entry> m_entries;
    unsigned m_generation = 0;
    std::vector<QPointer<QWidget>> m_focusChain;   // the last pass's, in tree order
    std::vector<QPointer<QWidget>> m_appliedChain; // the last one given to Qt
};
