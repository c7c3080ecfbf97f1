#include "toolkit/qt/QtControlAccessible.h"

#include "toolkit/qt/QtControlWidget.h"
#include "toolkit/qt/QtText.h"
#include "toolkit/qt/QtWindowWidget.h"

#include <QAccessible>

namespace {

QAccessibleInterface* CreateForControlWidget(const QString& className, QObject* object)
{
    // The mirror's widgets have no meta-object of their own: Qt asks with "QWidget", and they are
    // told apart by type. Nothing else is cast: Qt WebEngine's objects are built without type
    // information, and a dynamic_cast on one of them crashes.
    if (className != QLatin1String("QWidget") || !object || !object->isWidgetType())
        return nullptr;
    if (auto* widget = dynamic_cast<QtControlWidget*>(object))
        return new QtControlAccessible(widget);
    // A plain top-level widget would be a nameless "filler"; the window is a window, named by its title.
    if (auto* window = dynamic_cast<QtWindowWidget*>(object))
        return new QAccessibleWidget(window, QAccessible::Window);
    return nullptr;
}

QString Text(const CDuiString& text)
{
    return AnsiToQString(text.GetData());
}

} // namespace

QtControlAccessible::QtControlAccessible(QtControlWidget* widget) : QAccessibleWidget(widget) { }

void QtControlAccessible::Install()
{
    QAccessible::installFactory(CreateForControlWidget);
}

QtControlWidget* QtControlAccessible::ControlWidget() const
{
    return static_cast<QtControlWidget*>(widget());
}

const UIAccessibleInfo& QtControlAccessible::Info() const
{
    return ControlWidget()->AccessibleInfo();
}

QAccessible::Role QtControlAccessible::role() const
{
    switch (Info().role) {
    case UIAccessibleRole::Window:
        return QAccessible::Window;
    case UIAccessibleRole::PageTab:
        return QAccessible::PageTab;
    case UIAccessibleRole::PushButton:
        return QAccessible::Button;
    case UIAccessibleRole::RadioButton:
        return QAccessible::RadioButton;
    case UIAccessibleRole::StaticText:
        return QAccessible::StaticText;
    case UIAccessibleRole::List:
        return QAccessible::List;
    case UIAccessibleRole::ListItem:
        return QAccessible::ListItem;
    case UIAccessibleRole::ProgressBar:
        return QAccessible::ProgressBar;
    case UIAccessibleRole::ScrollBar:
        return QAccessible::ScrollBar;
    // An edit's line edit and a web view's engine speak for themselves inside this widget.
    case UIAccessibleRole::EditableText:
    case UIAccessibleRole::WebDocument:
    case UIAccessibleRole::Pane:
        break;
    }
    return QAccessible::Pane;
}

QString QtControlAccessible::text(QAccessible::Text t) const
{
    const UIAccessibleInfo& info = Info();
    switch (t) {
    case QAccessible::Name:
        // An edit's name is its line edit's: said once, by the object that holds the text.
        return info.role == UIAccessibleRole::EditableText ? QString() : Text(info.name);
    case QAccessible::Value:
        return info.role == UIAccessibleRole::EditableText ? QString() : Text(info.value);
    case QAccessible::Description:
        // A list has widgets for the rows in view only; how many there are in all is told here.
        return info.role == UIAccessibleRole::List ? QString::number(info.rowCount) : QString();
    default:
        return QAccessibleWidget::text(t);
    }
}

QAccessible::State QtControlAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    const UIAccessibleInfo& info = Info();
    // An edit's line edit takes the focus, not the widget around it.
    state.focusable = info.Has(kAccessibleFocusable) && ControlWidget()->FocusTarget() == widget();
    state.disabled = info.Has(kAccessibleDisabled);
    state.readOnly = info.Has(kAccessibleReadOnly);
    state.invisible = state.invisible || info.Has(kAccessibleInvisible);
    if (info.role == UIAccessibleRole::PageTab) {
        state.selectable = true;
        state.selected = info.Has(kAccessibleSelected);
    } else if (info.role == UIAccessibleRole::RadioButton) {
        state.checkable = true;
        state.checked = info.Has(kAccessibleSelected);
    }
    return state;
}

void* QtControlAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ValueInterface && Info().role == UIAccessibleRole::ProgressBar)
        return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QStringList QtControlAccessible::actionNames() const
{
    QStringList names = QAccessibleWidget::actionNames();
    if (Info().Pressable() && !Info().Has(kAccessibleDisabled))
        names.prepend(pressAction());
    return names;
}

void QtControlAccessible::doAction(const QString& actionName)
{
    QtControlWidget* control = ControlWidget();
    if (actionName == pressAction()) {
        if (Info().Pressable() && !Info().Has(kAccessibleDisabled) && control->onClick)
            control->onClick();
        return;
    }
    QAccessibleWidget::doAction(actionName);
}

QVariant QtControlAccessible::currentValue() const
{
    return Info().current;
}

void QtControlAccessible::setCurrentValue(const QVariant& value)
{
    (void)value; // a progress bar only shows how far the work is
}

QVariant QtControlAccessible::maximumValue() const
{
    return Info().maximum;
}

QVariant QtControlAccessible::minimumValue() const
{
    return Info().minimum;
}

QVariant QtControlAccessible::minimumStepSize() const
{
    return 1;
}

void QtControlAccessible::AnnounceChanges(
    QtControlWidget& widget, const UIAccessibleInfo& before, const UIAccessibleInfo& after)
{
    if (!QAccessible::isActive())
        return;
    if (before.name != after.name) {
        QAccessibleEvent event(&widget, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
    if (after.role == UIAccessibleRole::ProgressBar && before.current != after.current) {
        QAccessibleValueChangeEvent event(&widget, after.current);
        QAccessible::updateAccessibility(&event);
    }
    if ((before.states ^ after.states) & (kAccessibleSelected | kAccessibleDisabled)) {
        QAccessible::State changed;
        changed.selected = changed.checked = (before.states ^ after.states) & kAccessibleSelected ? 1 : 0;
        changed.disabled = (before.states ^ after.states) & kAccessibleDisabled ? 1 : 0;
        QAccessibleStateChangeEvent event(&widget, changed);
        QAccessible::updateAccessibility(&event);
    }
}
