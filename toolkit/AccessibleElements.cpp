#include "toolkit/AccessibleElements.h"

#include "toolkit/AccessibleDescription.h"
#include "toolkit/CControlUI.h"
#include "toolkit/InViewWalk.h"

namespace {

class ElementCollector final : public IInViewVisitor {
public:
    explicit ElementCollector(std::vector<UIAccessibleElement>& out) : m_out(out) { }

    bool Enter(CControlUI& control, const UIRect&, InViewPlace) override
    {
        UIAccessibleInfo info = DescribeForAccessibility(control);
        if (info.role != UIAccessibleRole::Pane || !info.name.IsEmpty())
            m_out.push_back(UIAccessibleElement{&control, std::move(info)});
        return true;
    }

private:
    std::vector<UIAccessibleElement>& m_out;
};

} // namespace

std::vector<UIAccessibleElement> CollectAccessibleElements(CControlUI& root)
{
    std::vector<UIAccessibleElement> elements;
    ElementCollector collector(elements);
    WalkInView(root, root.GetPos(), collector);
    return elements;
}
