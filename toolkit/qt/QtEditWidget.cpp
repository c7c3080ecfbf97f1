#include "toolkit/qt/QtEditWidget.h"

#include "toolkit/qt/QtResources.h"
#include "toolkit/qt/QtText.h"

#include <QDropEvent>
#include <QEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPalette>

QtEditWidget::QtEditWidget(QWidget* parent) : QtControlWidget(parent), m_lineEdit(new QLineEdit(this))
{
    m_lineEdit->setFrame(false);
    // Typed text and text set through assistive technology (its "set text") both go to the tree;
    // the tree's own text coming back through ShowText does not.
    QObject::connect(m_lineEdit, &QLineEdit::textChanged, [this](const QString& text) {
        if (onEdited && !m_showing && !m_lineEdit->isReadOnly())
            onEdited(text);
    });
    m_lineEdit->installEventFilter(this);
}

bool QtEditWidget::eventFilter(QObject* watched, QEvent* event)
{
    // Files dragged over the field are the window's to take (it may open them); text still drops
    // into the field.
    const QEvent::Type type = event->type();
    if (watched == m_lineEdit && (type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop)
        && static_cast<QDropEvent*>(event)->mimeData()->hasUrls()) {
        event->ignore();
        return true;
    }
    // A shortened path is shown whole while the field has the focus, so it can be read and
    // selected in full.
    if (watched == m_lineEdit && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        ShowText(event->type() == QEvent::FocusIn);
    return QtControlWidget::eventFilter(watched, event);
}

QWidget* QtEditWidget::FocusTarget()
{
    return m_lineEdit;
}

void QtEditWidget::ShowText(bool focused)
{
    const QtControlLook& look = Look();
    QString shown = look.text;
    // Only a field the user can't type into is shortened: typing edits the text itself.
    if (look.elideMiddle && look.readOnly && !focused) {
        const int room = m_lineEdit->width() - look.textPadding.left() - look.textPadding.right() - 8;
        shown = ElidedText(look.text, look.font, room);
    }
    SetFullTextTip(shown != look.text);
    // Screen readers read the field's shown text: a shortened one carries the whole text as its
    // description.
    const QString description = shown != look.text ? look.text : QString();
    if (m_lineEdit->accessibleDescription() != description)
        m_lineEdit->setAccessibleDescription(description);
    if (m_lineEdit->text() != shown) {
        m_showing = true;
        m_lineEdit->setText(shown);
        m_showing = false;
    }
}

void QtEditWidget::SetLook(const QtControlLook& look)
{
    QtControlWidget::SetLook(look);
    if (m_lineEdit->font() != look.font)
        m_lineEdit->setFont(look.font);
    m_lineEdit->setReadOnly(look.readOnly);
    m_lineEdit->setEchoMode(look.password ? QLineEdit::Password : QLineEdit::Normal);
    m_lineEdit->setAlignment(Qt::Alignment(look.textFlags) & (Qt::AlignHorizontal_Mask | Qt::AlignVCenter));
    m_lineEdit->setTextMargins(look.textPadding);
    QPalette palette = m_lineEdit->palette();
    palette.setColor(QPalette::Base, IsPainted(look.bkColor) ? QtResources::Colour(look.bkColor) : QColor(Qt::white));
    if (look.textColor != 0)
        palette.setColor(QPalette::Text, QtResources::Colour(look.textColor));
    if (palette != m_lineEdit->palette())
        m_lineEdit->setPalette(palette);
    m_lineEdit->setGeometry(InnerRect());
    ShowText(m_lineEdit->hasFocus());
}

void QtEditWidget::SetAccessibleInfo(const UIAccessibleInfo& info)
{
    QtControlWidget::SetAccessibleInfo(info);
    const QString name = AnsiToQString(info.name.GetData());
    if (m_lineEdit->accessibleName() != name)
        m_lineEdit->setAccessibleName(name);
}

void QtEditWidget::resizeEvent(QResizeEvent* event)
{
    QtControlWidget::resizeEvent(event);
    m_lineEdit->setGeometry(InnerRect());
    ShowText(m_lineEdit->hasFocus());
}
