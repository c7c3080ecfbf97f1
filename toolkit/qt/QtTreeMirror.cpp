#include "toolkit/qt/QtTreeMirror.h"

#include "toolkit/AccessibleDescription.h"
#include "toolkit/CButtonUI.h"
#include "toolkit/CContainerUI.h"
#include "toolkit/CEditUI.h"
#include "toolkit/CLabelUI.h"
#include "toolkit/CListUI.h"
#include "toolkit/COptionUI.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/CProgressUI.h"
#include "toolkit/CWebBrowserEventHandler.h"
#include "toolkit/CWebBrowserUI.h"
#include "toolkit/qt/QtEditWidget.h"
#include "toolkit/qt/QtListWidget.h"
#include "toolkit/qt/QtResources.h"
#include "toolkit/qt/QtText.h"
#include "toolkit/qt/QtWebWidget.h"

#include <QLineEdit>
#include <QWidget>

#include <algorithm>

#include <vector>

namespace {

using Kind = QtControlLook::Kind;

Kind KindOf(CControlUI& control)
{
    if (dynamic_cast<CWebBrowserUI*>(&control))
        return Kind::Web;
    if (dynamic_cast<CListUI*>(&control))
        return Kind::List;
    if (dynamic_cast<CEditUI*>(&control))
        return Kind::Edit;
    if (dynamic_cast<COptionUI*>(&control))
        return Kind::Option;
    if (dynamic_cast<CButtonUI*>(&control))
        return Kind::Button;
    if (dynamic_cast<CProgressUI*>(&control))
        return Kind::Progress;
    if (dynamic_cast<CLabelUI*>(&control))
        return Kind::Text;
    return Kind::Plain;
}

int QtTextFlags(std::uint32_t style)
{
    int flags = 0;
    if (style & kAlignCenter) {
        flags |= Qt::AlignHCenter;
    } else if (style & kAlignRight) {
        flags |= Qt::AlignRight;
    } else {
        flags |= Qt::AlignLeft;
    }
    if (style & kAlignVCenter) {
        flags |= Qt::AlignVCenter;
    } else if (style & kAlignBottom) {
        flags |= Qt::AlignBottom;
    } else {
        flags |= Qt::AlignTop;
    }
    if (style & kAlignWordBreak)
        flags |= Qt::TextWordWrap;
    return flags;
}

QRect Relative(const UIRect& rect, UIPoint origin)
{
    return QRect(rect.left - origin.x, rect.top - origin.y, rect.Width(), rect.Height());
}

// Whether the web view should draw a sunken 3-D border: only when the browser's host asks for one.
bool WantsSunkenFrame(CWebBrowserUI& browser)
{
    CWebBrowserEventHandler* handler = browser.GetWebBrowserEventHandler();
    if (!handler)
        return false;
    DocHostUIInfo info;
    handler->GetHostInfo(&browser, &info);
    return (info.flags & kDocHostUIFlagNo3DBorder) == 0;
}

} // namespace

QtTreeMirror::QtTreeMirror(QWidget& window, QtResources& resources) : m_window(window), m_resources(resources) { }

QtTreeMirror::~QtTreeMirror()
{
    Clear();
}

void QtTreeMirror::Clear()
{
    for (auto& [control, entry] : m_entries)
        Retire(entry.widget);
    m_entries.clear();
}

void QtTreeMirror::Retire(QtControlWidget* widget)
{
    if (!widget)
        return;
    widget->Detach();
    widget->hide();
    widget->deleteLater();
}

void QtTreeMirror::ApplyFocusChain()
{
    // Widgets gone since the pass (rows scrolled away) drop out.
    std::vector<QWidget*> chain;
    chain.reserve(m_focusChain.size());
    for (const QPointer<QWidget>& widget : m_focusChain) {
        if (widget)
            chain.push_back(widget.data());
    }
    const bool same = chain.size() == m_appliedChain.size()
        && std::equal(chain.begin(), chain.end(), m_appliedChain.begin(),
            [](QWidget* shown, const QPointer<QWidget>& applied) { return shown == applied.data(); });
    if (same)
        return;
    for (std::size_t i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
    m_appliedChain.assign(chain.begin(), chain.end());
}

QtControlWidget* QtTreeMirror::WidgetOf(const CControlUI& control) const
{
    auto found = m_entries.find(&control);
    if (found == m_entries.end() || !found->second.widget || found->second.generation != m_generation)
        return nullptr;
    return found->second.widget;
}

void QtTreeMirror::Forget(const CControlUI& control)
{
    auto found = m_entries.find(&control);
    if (found == m_entries.end())
        return;
    Retire(found->second.widget);
    m_entries.erase(found);
}

void QtTreeMirror::Navigate(const CWebBrowserUI& browser, const QString& url)
{
    auto found = m_entries.find(&browser);
    if (found == m_entries.end() || !found->second.widget)
        return;
    if (auto* web = dynamic_cast<QtWebWidget*>(found->second.widget.data()))
        web->Navigate(url);
}

void QtTreeMirror::Sync(CPaintManagerUI& manager)
{
    ++m_generation;
    m_focusChain.clear();
    if (CControlUI* root = manager.GetRoot())
        SyncControl(*root, manager, m_window, UIPoint{0, 0}, false);

    // Widgets of controls that are no longer shown: rows that left a list's view go for good,
    // everything else is only hidden (web views and edits keep their state).
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        Entry& entry = it->second;
        if (!entry.widget) {
            it = m_entries.erase(it);
            continue;
        }
        if (entry.generation != m_generation) {
            if (entry.inList) {
                Retire(entry.widget);
                it = m_entries.erase(it);
                continue;
            }
            if (!entry.widget->isHidden())
                entry.widget->hide();
        }
        ++it;
    }
}

bool QtTreeMirror::SyncControl(
    CControlUI& control, CPaintManagerUI& manager, QWidget& parent, UIPoint origin, bool inList)
{
    if (!control.IsVisible())
        return false;
    const UIRect pos = control.GetPos();
    if (pos.IsEmpty())
        return false;

    const Kind kind = KindOf(control);
    Entry& entry = m_entries[&control];
    bool fresh = false;
    if (!entry.widget || entry.kind != kind) {
        Retire(entry.widget);
        entry = Entry{};
        entry.widget = CreateWidget(control, kind, parent);
        entry.kind = kind;
        fresh = true;
    } else if (entry.widget->parentWidget() != &parent) {
        entry.widget->setParent(&parent);
        fresh = true;
    }
    QtControlWidget& widget = *entry.widget;
    entry.inList = inList;
    entry.generation = m_generation;

    const QRect rect = Relative(pos, origin);
    if (fresh || entry.revision != control.GetRevision() || !(entry.pos == pos)) {
        QtControlLook look = BuildLook(control, manager, kind);
        look.rect = rect;
        widget.SetLook(look);
        widget.SetAccessibleInfo(DescribeForAccessibility(control));
        entry.revision = control.GetRevision();
        entry.pos = pos;
    }
    const bool shownAgain = fresh || widget.isHidden();
    if (widget.isHidden())
        widget.show();
    if (QWidget* target = widget.FocusTarget())
        m_focusChain.push_back(target);

    if (kind == Kind::List) {
        SyncListRows(static_cast<CListUI&>(control), manager, widget, inList);
    } else if (dynamic_cast<CContainerUI*>(&control)) {
        SyncChildren(control, manager, widget, UIPoint{pos.left, pos.top}, inList);
    }
    return shownAgain;
}

void QtTreeMirror::SyncChildren(
    CControlUI& control, CPaintManagerUI& manager, QtControlWidget& widget, UIPoint origin, bool inList)
{
    auto& container = static_cast<CContainerUI&>(control);
    const int count = container.GetCount();
    bool restack = false;
    std::vector<QtControlWidget*> order;
    order.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        CControlUI* child = container.GetItemAt(i);
        if (!child)
            continue;
        restack |= SyncControl(*child, manager, widget, origin, inList);
        auto found = m_entries.find(child);
        if (found != m_entries.end() && found->second.generation == m_generation && found->second.widget) {
            order.push_back(found->second.widget);
        }
    }
    // Later children paint over earlier ones (floating controls over the layout beneath them).
    if (restack) {
        for (QtControlWidget* child : order)
            child->raise();
    }
}

void QtTreeMirror::SyncListRows(CListUI& list, CPaintManagerUI& manager, QtControlWidget& widget, bool inList)
{
    auto& listWidget = static_cast<QtListWidget&>(widget);
    const UIRect pos = list.GetPos();
    // The count of rows changes without the list's revision.
    listWidget.SetAccessibleInfo(DescribeForAccessibility(list));

    CListHeaderUI* header = list.GetHeader();
    if (header && header->IsVisible())
        SyncControl(*header, manager, listWidget, UIPoint{pos.left, pos.top}, inList);

    // Rows live in a viewport over the list's view rectangle, which clips the rows cut by its edges.
    const UIRect view = list.GetViewRect();
    listWidget.Viewport()->setGeometry(Relative(view, UIPoint{pos.left, pos.top}));
    int first = 0;
    int last = -1;
    list.GetRowsInView(first, last);
    for (int i = first; i <= last; ++i) {
        if (CControlUI* row = list.GetItemAt(i)) {
            SyncControl(*row, manager, *listWidget.Viewport(), UIPoint{view.left, view.top}, true);
            // A row is named by its children's texts, which change without the row's revision.
            if (QtControlWidget* rowWidget = WidgetOf(*row))
                rowWidget->SetAccessibleInfo(DescribeForAccessibility(*row));
        }
    }
    const CListUI::ScrollBarColors& colors = list.GetScrollBarColors();
    listWidget.SetScrollColors(QtResources::Colour(colors.track), QtResources::Colour(colors.thumb),
        QtResources::Colour(colors.hotThumb), QtResources::Colour(colors.pushedThumb));
    listWidget.SetScrollState(
        list.IsVerticalScrollBarEnabled(), list.GetScrollPos().cy, list.GetScrollRange().cy, view.Height());
}

QtControlWidget* QtTreeMirror::CreateWidget(CControlUI& control, Kind kind, QWidget& parent)
{
    CControlUI* target = &control;
    switch (kind) {
    case Kind::Edit: {
        auto* edit = new QtEditWidget(&parent);
        edit->onEdited = [target](const QString& text) {
            static_cast<CEditUI*>(target)->UserEdited(CDuiString(QStringToAnsi(text)));
        };
        return edit;
    }
    case Kind::List: {
        auto* list = new QtListWidget(&parent);
        list->onScroll = [target](int position) {
            auto* control = static_cast<CListUI*>(target);
            control->SetScrollPos(UISize{control->GetScrollPos().cx, position});
        };
        return list;
    }
    case Kind::Web: {
        auto* browser = static_cast<CWebBrowserUI*>(target);
        auto* web = new QtWebWidget(&parent, QtWebEngineCanStart());
        web->SetBrowser(browser);
        if (!browser->GetUrl().IsEmpty())
            web->Navigate(AnsiToQString(browser->GetUrl().GetData()));
        return web;
    }
    default: {
        auto* widget = new QtControlWidget(&parent);
        if (kind == Kind::Button || kind == Kind::Option) {
            widget->onClick = [target] { target->Activate(); };
        }
        return widget;
    }
    }
}

QtControlLook QtTreeMirror::BuildLook(CControlUI& control, CPaintManagerUI& manager, Kind kind)
{
    QtControlLook look;
    look.kind = kind;
    look.name = AnsiToQString(control.GetName().GetData());
    look.enabled = control.IsEnabled();
    look.bkColor = QtResources::Colour(control.GetBkColor());
    look.bkImage = m_resources.Picture(control.GetBkImage().str());
    look.borderSize = control.GetBorderSize();
    look.borderColor = QtResources::Colour(control.GetBorderColor());
    if (manager.GetFocusColor() != 0)
        look.focusColor = QtResources::Colour(manager.GetFocusColor());

    if (auto* label = dynamic_cast<CLabelUI*>(&control)) {
        look.text = AnsiToQString(control.GetText().GetData());
        look.font = QtResources::Font(manager.GetFont(label->GetFont()));
        const UIColor text = label->GetTextColor() ? label->GetTextColor() : manager.GetDefaultTextColor();
        look.textColor = QtResources::Colour(text);
        look.disabledTextColor = QtResources::Colour(label->GetDisabledTextColor());
        look.textFlags = QtTextFlags(label->GetTextStyle());
        look.elideMiddle = (label->GetTextStyle() & kPathEllipsis) != 0;
        const UIRect padding = label->GetTextPadding();
        look.textPadding = QMargins(padding.left, padding.top, padding.right, padding.bottom);
    }
    if (auto* button = dynamic_cast<CButtonUI*>(&control)) {
        look.hotBkColor = QtResources::Colour(button->GetHotBkColor());
        look.hotTextColor = QtResources::Colour(button->GetHotTextColor());
        look.pushedBkColor = QtResources::Colour(button->GetPushedBkColor());
        look.normalImage = m_resources.Picture(button->GetNormalImage().str());
        look.hotImage = m_resources.Picture(button->GetHotImage().str());
        look.pushedImage = m_resources.Picture(button->GetPushedImage().str());
        look.disabledImage = m_resources.Picture(button->GetDisabledImage().str());
    }
    if (auto* option = dynamic_cast<COptionUI*>(&control)) {
        look.selected = option->IsSelected();
        look.selectedBkColor = QtResources::Colour(option->GetSelectedBkColor());
        look.selectedTextColor = QtResources::Colour(option->GetSelectedTextColor());
        look.selectedImage = m_resources.Picture(option->GetSelectedImage().str());
    }
    if (auto* progress = dynamic_cast<CProgressUI*>(&control)) {
        look.fillFraction = progress->GetFillFraction();
        look.horizontal = progress->IsHorizontal();
        look.foreImage = m_resources.Picture(progress->GetForeImage().str());
    }
    if (auto* edit = dynamic_cast<CEditUI*>(&control)) {
        look.readOnly = edit->IsReadOnly();
        look.password = edit->IsPasswordMode();
    }
    if (auto* browser = dynamic_cast<CWebBrowserUI*>(&control))
        look.sunkenFrame = WantsSunkenFrame(*browser);
    return look;
}
