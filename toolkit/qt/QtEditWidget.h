#pragma once

#include "toolkit/qt/QtControlWidget.h"

#include <functional>

class QLineEdit;

// The widget of an edit control: a borderless line edit inside the control's border. Text
// typed by the user goes to onEdited; text set by the tree replaces the line edit's only
// when it differs, so the cursor stays where the user left it.
class QtEditWidget : public QtControlWidget {
public:
    explicit QtEditWidget(QWidget* parent);

    void SetLook(const QtControlLook& look) override;
    // The line edit keeps Qt's own interface (its text, editing); it takes the edit's name.
    void SetAccessibleInfo(const UIAccessibleInfo& info) override;
    void Detach() override
    {
        QtControlWidget::Detach();
        onEdited = nullptr;
    }
    QLineEdit* LineEdit() const { return m_lineEdit; }
    QWidget* FocusTarget() override;

    std::function<void(const QString&)> onEdited;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Puts the look's text in the line edit, shortened in the middle when the look asks for it
    // and the field is read-only and not focused.
    void ShowText(bool focused);

    QLineEdit* m_lineEdit = nullptr;
    bool m_showing = false; // ShowText is putting the tree's text in: no user edit
};
