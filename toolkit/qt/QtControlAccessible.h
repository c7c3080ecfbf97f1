#pragma once

#include "toolkit/UIAccessible.h"

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

class QtControlWidget;

// What assistive technology (AT-SPI through Qt) sees of a control's widget: the role, name, value
// and states the toolkit described (QtControlWidget::AccessibleInfo), the widget's bounds and
// focus, "press" on buttons, tabs and options, and a progress bar's value. Edits keep their line
// edit's own interface (text, "set text" through its editable text), named by the edit's label.
class QtControlAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit QtControlAccessible(QtControlWidget* widget);

    QAccessible::Role role() const override;
    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant& value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

    // Makes Qt ask this class for the interfaces of QtControlWidgets. Once, after the QApplication.
    static void Install();
    // Tells assistive technology what changed between two descriptions of widget's control.
    static void AnnounceChanges(QtControlWidget& widget, const UIAccessibleInfo& before, const UIAccessibleInfo& after);

private:
    const UIAccessibleInfo& Info() const;
    QtControlWidget* ControlWidget() const;
};
