#include "toolkit/qt/QtTreeMirror.h"

#include "toolkit/AccessibleDescription.h"
#include "toolkit/CButtonUI.h"
#include "toolkit/CContainerUI.h"
#include "toolkit/CEditUI.h"
#include "toolkit/CLabelUI.h"
#include "toolkit/CListUI.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/CProgressUI.h"
#include "toolkit/CWebBrowserEventHandler.h"
#include "toolkit/CWebBrowserUI.h"
#include "toolkit/InViewWalk.h"
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
    if (auto entry = m_entries.extract(&control))
        Retire(entry.mapped().widget);
}

void QtTreeMirror::Navigate(const CWebBrowserUI& browser, const QString& url)
{
    auto found = m_entries.find(&browser);
    if (found == m_entries.end() || !found->second.widget)
        return;
    if (auto* web = dynamic_cast<QtWebWidget*>(found->second.widget.data()))
        web->Navigate(url);
}

// Mirrors the controls in view, nesting each widget in its parent control's widget (a list's rows
// in its viewport). Later children lie over earlier ones: when one of them is new or shown
// again, the children of its parent are raised in tree order.
class QtTreeMirror::SyncPass final : public IInViewVisitor {
public:
    SyncPass(QtTreeMirror& mirror, CPaintManagerUI& manager) : m_mirror(mirror), m_manager(manager) { }

    bool Enter(CControlUI& control, const UIRect& shown, InViewPlace place) override
    {
        (void)shown;
        QWidget* parent = &m_mirror.m_window;
        UIPoint origin{0, 0};
        bool inList = false;
        if (!m_frames.empty()) {
            const Frame& outer = m_frames.back();
            inList = outer.inList || place == InViewPlace::ListRow;
            if (place == InViewPlace::ListRow) {
                auto* list = static_cast<QtListWidget*>(outer.widget);
                parent = list->Viewport();
                origin = outer.viewOrigin;
            } else {
                parent = outer.widget;
                origin = outer.origin;
            }
        }
        bool shownAgain = false;
        QtControlWidget& widget = m_mirror.SyncControl(control, m_manager, *parent, origin, inList, shownAgain);
        // A row is named by its children's texts, which change without the row's revision.
        if (place == InViewPlace::ListRow)
            widget.SetAccessibleInfo(DescribeForAccessibility(control));
        if (place == InViewPlace::Child) {
            Frame& outer = m_frames.back();
            outer.restack |= shownAgain;
            outer.children.push_back(&widget);
        }
        const UIRect pos = control.GetPos();
        Frame frame{&widget, UIPoint{pos.left, pos.top}, {}, inList, false, {}};
        if (auto* list = dynamic_cast<CListUI*>(&control)) {
            const UIRect view = list->GetViewRect();
            frame.viewOrigin = UIPoint{view.left, view.top};
            SyncList(*list, static_cast<QtListWidget&>(widget));
        }
        m_frames.push_back(std::move(frame));
        return true;
    }

    void Leave(CControlUI&, const UIRect&) override
    {
        if (m_frames.back().restack) {
            for (QtControlWidget* child : m_frames.back().children)
                child->raise();
        }
        m_frames.pop_back();
    }

private:
    struct Frame {
        QtControlWidget* widget;
        UIPoint origin;     // the control's top-left corner, in window coordinates
        UIPoint viewOrigin; // a list's view rectangle's
        bool inList;
        bool restack;
        std::vector<QtControlWidget*> children; // in tree order
    };

    QtTreeMirror& m_mirror;
    CPaintManagerUI& m_manager;
    std::vector<Frame> m_frames;
};

void QtTreeMirror::Sync(CPaintManagerUI& manager)
{
    ++m_generation;
    m_focusChain.clear();
    if (CControlUI* root = manager.GetRoot()) {
        SyncPass pass(*this, manager);
        WalkInView(*root, root->GetPos(), pass);
    }

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

QtControlWidget& QtTreeMirror::SyncControl(
    CControlUI& control, CPaintManagerUI& manager, QWidget& parent, UIPoint origin, bool inList, bool& shownAgain)
{
    const UIRect pos = control.GetPos();
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

    if (fresh || entry.revision != control.GetRevision() || !(entry.pos == pos)) {
        QtControlLook look = BuildLook(control, manager);
        look.rect = QRect(pos.left - origin.x, pos.top - origin.y, pos.Width(), pos.Height());
        widget.SetLook(look);
        widget.SetAccessibleInfo(DescribeForAccessibility(control));
        entry.revision = control.GetRevision();
        entry.pos = pos;
    }
    shownAgain = fresh || widget.isHidden();
    if (widget.isHidden())
        widget.show();
    if (QWidget* target = widget.FocusTarget())
        m_focusChain.push_back(target);
    return widget;
}

void QtTreeMirror::SyncList(CListUI& list, QtListWidget& widget)
{
    // The count of rows changes without the list's revision.
    widget.SetAccessibleInfo(DescribeForAccessibility(list));
    // Rows live in a viewport over the list's view rectangle, which clips the rows cut by its edges.
    const UIRect pos = list.GetPos();
    const UIRect view = list.GetViewRect();
    widget.Viewport()->setGeometry(view.left - pos.left, view.top - pos.top, view.Width(), view.Height());
    const CListUI::ScrollBarColors& colors = list.GetScrollBarColors();
    widget.SetScrollColors(QtResources::Colour(colors.track), QtResources::Colour(colors.thumb),
        QtResources::Colour(colors.hotThumb), QtResources::Colour(colors.pushedThumb));
    widget.SetScrollState(
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

QtControlLook QtTreeMirror::BuildLook(CControlUI& control, CPaintManagerUI& manager)
{
    QtControlLook look;
    static_cast<ControlLook&>(look) = ReadLook(control, manager);
    look.name = AnsiToQString(control.GetName().GetData());
    look.bkPicture = m_resources.Picture(look.bkImage);
    for (std::size_t i = 0; i < look.pictures.size(); ++i)
        look.pictures[i] = m_resources.Picture(look.PictureName(static_cast<ControlLook::Picture>(i)));

    if (auto* label = dynamic_cast<CLabelUI*>(&control)) {
        look.text = AnsiToQString(control.GetText().GetData());
        look.font = QtResources::Font(manager.GetFont(label->GetFont()));
        look.textFlags = QtTextFlags(label->GetTextStyle());
        look.elideMiddle = (label->GetTextStyle() & kPathEllipsis) != 0;
        const UIRect padding = label->GetTextPadding();
        look.textPadding = QMargins(padding.left, padding.top, padding.right, padding.bottom);
    }
    if (auto* progress = dynamic_cast<CProgressUI*>(&control)) {
        look.fillFraction = progress->GetFillFraction();
        look.horizontal = progress->IsHorizontal();
        look.forePicture = m_resources.Picture(progress->GetForeImage().str());
    }
    if (auto* edit = dynamic_cast<CEditUI*>(&control)) {
        look.readOnly = edit->IsReadOnly();
        look.password = edit->IsPasswordMode();
    }
    if (auto* browser = dynamic_cast<CWebBrowserUI*>(&control))
        look.sunkenFrame = WantsSunkenFrame(*browser);
    return look;
}
