#include "toolkit/CControlUI.h"

#include "toolkit/CPaintManagerUI.h"
#include "toolkit/SkinValue.h"

#include <algorithm>
#include <deque>

struct CControlUI::Extras {
    CDuiString toolTip;
    CDuiString userData;
    CDuiString bkImage;
    CDuiString accessibleName;
    std::optional<UIAccessibleRole> accessibleRole;
};

namespace {
const CDuiString kEmptyText;

// The label names given by "labelledby", each kept once; a control holds its name's place + 1.
std::deque<CDuiString>& LabelNames()
{
    static std::deque<CDuiString> names; // a deque: references to a name stay good as names are added
    return names;
}

std::uint32_t LabelNameId(const CDuiString& name)
{
    if (name.IsEmpty())
        return 0;
    std::deque<CDuiString>& names = LabelNames();
    const auto found = std::find(names.begin(), names.end(), name);
    if (found != names.end())
        return static_cast<std::uint32_t>(found - names.begin()) + 1;
    names.push_back(name);
    return static_cast<std::uint32_t>(names.size());
}
} // namespace

CControlUI::CControlUI() = default;

CControlUI::~CControlUI()
{
    if (m_manager)
        m_manager->ReapObjects(this);
}

std::string_view CControlUI::GetClass() const
{
    return "Control";
}

CControlUI::Extras& CControlUI::TakeExtras()
{
    if (!m_extras)
        m_extras = std::make_unique<Extras>();
    return *m_extras;
}

void CControlUI::SetManager(CPaintManagerUI* manager, CControlUI* parent)
{
    m_manager = manager;
    m_parent = parent;
}

CControlUI* CControlUI::FindSubControl(std::string_view name)
{
    return m_name.view() == name ? this : nullptr;
}

void CControlUI::VisitTree(const std::function<bool(CControlUI&)>& visit)
{
    visit(*this);
}

void CControlUI::SetName(const CDuiString& name)
{
    if (m_name == name)
        return;
    m_name = name;
    Invalidate();
}

CDuiString CControlUI::GetText() const
{
    return m_text;
}

void CControlUI::SetText(const CDuiString& text)
{
    if (m_text == text)
        return;
    m_text = text;
    Invalidate();
}

const CDuiString& CControlUI::GetToolTip() const
{
    return m_extras ? m_extras->toolTip : kEmptyText;
}

void CControlUI::SetToolTip(const CDuiString& text)
{
    TakeExtras().toolTip = text;
    Invalidate();
}

void* CControlUI::GetUserExtraData() const
{
    return m_userExtraData;
}

void CControlUI::SetUserExtraData(void* data)
{
    m_userExtraData = data;
}

const CDuiString& CControlUI::GetUserData() const
{
    return m_extras ? m_extras->userData : kEmptyText;
}

void CControlUI::SetUserData(const CDuiString& text)
{
    TakeExtras().userData = text;
}

void CControlUI::SetVisible(bool visible)
{
    if (m_visible == visible)
        return;
    m_visible = visible;
    NeedUpdate();
}

void CControlUI::SetEnabled(bool enabled)
{
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    Invalidate();
}

bool CControlUI::IsVisibleInTree() const
{
    for (const CControlUI* c = this; c; c = c->m_parent)
        if (!c->m_visible)
            return false;
    return true;
}

void CControlUI::SetBkColor(UIColor color)
{
    if (m_bkColor == color)
        return;
    m_bkColor = color;
    Invalidate();
}

const CDuiString& CControlUI::GetBkImage() const
{
    return m_extras ? m_extras->bkImage : kEmptyText;
}

void CControlUI::SetBkImage(const CDuiString& image)
{
    if (GetBkImage() == image)
        return;
    TakeExtras().bkImage = image;
    Invalidate();
}

void CControlUI::SetBorderSize(int size)
{
    if (size < 0)
        size = 0;
    if (m_borderSize == size)
        return;
    m_borderSize = size;
    Invalidate();
}

void CControlUI::SetBorderColor(UIColor color)
{
    if (m_borderColor == color)
        return;
    m_borderColor = color;
    Invalidate();
}

void CControlUI::SetFont(int index)
{
    if (m_font == index)
        return;
    m_font = index;
    Invalidate();
}

void CControlUI::SetTextColor(UIColor color)
{
    if (m_textColor == color)
        return;
    m_textColor = color;
    Invalidate();
}

void CControlUI::SetFloat(bool isFloat)
{
    if (m_float == isFloat)
        return;
    m_float = isFloat;
    NeedUpdate();
}

void CControlUI::SetFixedXY(UISize xy)
{
    if (m_fixedXY == xy)
        return;
    m_fixedXY = xy;
    NeedUpdate();
}

void CControlUI::SetFixedWidth(int width)
{
    if (width < 0)
        width = 0;
    if (m_fixedWidth == width)
        return;
    m_fixedWidth = width;
    NeedUpdate();
}

void CControlUI::SetFixedHeight(int height)
{
    if (height < 0)
        height = 0;
    if (m_fixedHeight == height)
        return;
    m_fixedHeight = height;
    NeedUpdate();
}

void CControlUI::SetPadding(UIRect padding)
{
    if (m_padding == padding)
        return;
    m_padding = padding;
    NeedUpdate();
}

UIRect CControlUI::GetPos() const
{
    if (m_manager && m_manager->IsLayoutDirty())
        m_manager->UpdateLayout();
    // A list lays out the inside of off-screen rows only when asked: find the outermost stale
    // ancestor and lay it out in its current rectangle.
    CControlUI* stale = nullptr;
    for (CControlUI* c = m_parent; c; c = c->m_parent)
        if (c->m_layoutStale)
            stale = c;
    if (stale)
        stale->SetPos(stale->m_rect);
    return m_rect;
}

void CControlUI::SetPos(UIRect rect)
{
    m_rect = rect;
    m_layoutStale = false;
}

UISize CControlUI::EstimateSize(UISize) const
{
    return UISize{m_fixedWidth, m_fixedHeight};
}

void CControlUI::NeedUpdate()
{
    ++m_revision;
    if (m_manager)
        m_manager->NeedUpdate();
}

void CControlUI::Invalidate()
{
    ++m_revision;
    if (m_manager)
        m_manager->Invalidate();
}

void CControlUI::SetAttribute(std::string_view name, std::string_view value)
{
    if (name == "name")
        SetName(CDuiString(value));
    else if (name == "text")
        SetText(CDuiString(value));
    else if (name == "bkcolor")
        SetBkColor(SkinValue::Color(value));
    else if (name == "bkimage")
        SetBkImage(CDuiString(value));
    else if (name == "pos") {
        const UIRect r = SkinValue::Rect(value);
        SetFixedXY(UISize{r.left, r.top});
        SetFixedWidth(r.right - r.left);
        SetFixedHeight(r.bottom - r.top);
    } else if (name == "float")
        SetFloat(SkinValue::Bool(value));
    else if (name == "width")
        SetFixedWidth(SkinValue::Int(value));
    else if (name == "height")
        SetFixedHeight(SkinValue::Int(value));
    else if (name == "padding")
        SetPadding(SkinValue::Rect(value));
    else if (name == "visible")
        SetVisible(SkinValue::Bool(value, true));
    else if (name == "enabled")
        SetEnabled(SkinValue::Bool(value, true));
    else if (name == "bordersize")
        SetBorderSize(SkinValue::Int(value));
    else if (name == "bordercolor")
        SetBorderColor(SkinValue::Color(value));
    else if (name == "font")
        SetFont(SkinValue::Int(value, -1));
    else if (name == "textcolor")
        SetTextColor(SkinValue::Color(value));
    else if (name == "tooltip")
        SetToolTip(CDuiString(value));
    else if (name == "userdata")
        SetUserData(CDuiString(value));
    else if (name == "accessiblename")
        SetAccessibleName(CDuiString(value));
    else if (name == "labelledby")
        SetLabelledBy(CDuiString(value));
    else if (name == "accessiblerole")
        SetAccessibleRole(AccessibleRoleFromSkin(value));
}

const CDuiString& CControlUI::GetAccessibleName() const
{
    return m_extras ? m_extras->accessibleName : kEmptyText;
}

void CControlUI::SetAccessibleName(const CDuiString& name)
{
    if (GetAccessibleName() == name)
        return;
    TakeExtras().accessibleName = name;
    Invalidate();
}

const CDuiString& CControlUI::GetLabelledBy() const
{
    return m_labelledBy == 0 ? kEmptyText : LabelNames()[m_labelledBy - 1];
}

void CControlUI::SetLabelledBy(const CDuiString& labelName)
{
    const std::uint32_t id = LabelNameId(labelName);
    if (m_labelledBy == id)
        return;
    m_labelledBy = id;
    Invalidate();
}

std::optional<UIAccessibleRole> CControlUI::GetAccessibleRole() const
{
    return m_extras ? m_extras->accessibleRole : std::nullopt;
}

void CControlUI::SetAccessibleRole(std::optional<UIAccessibleRole> role)
{
    if (GetAccessibleRole() == role)
        return;
    TakeExtras().accessibleRole = role;
    Invalidate();
}

bool CControlUI::Activate()
{
    return m_enabled && m_visible;
}

void CControlUI::SendNotify(const char* type, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (m_manager)
        m_manager->SendNotify(this, type, wParam, lParam);
}
