#include "toolkit/qt/QtEditWidget.h"

#include <QLineEdit>
#include <QPalette>

QtEditWidget::QtEditWidget(QWidget* parent) : QtControlWidget(parent), m_lineEdit(new QLineEdit(this))
{
    m_lineEdit->setFrame(false);
    QObject::connect(m_lineEdit, &QLineEdit::textEdited, [this](const QString& text) {
        if (onEdited)
            onEdited(text);
    });
}

void QtEditWidget::SetLook(const QtControlLook& look)
{
    QtControlWidget::SetLook(look);
    if (m_lineEdit->text() != look.text)
        m_lineEdit->setText(look.text);
    if (m_lineEdit->font() != look.font)
        m_lineEdit->setFont(look.font);
    m_lineEdit->setReadOnly(look.readOnly);
    m_lineEdit->setEchoMode(look.password ? QLineEdit::Password : QLineEdit::Normal);
    m_lineEdit->setAlignment(Qt::Alignment(look.textFlags) & (Qt::AlignHorizontal_Mask | Qt::AlignVCenter));
    m_lineEdit->setTextMargins(look.textPadding);
    QPalette palette = m_lineEdit->palette();
    const QColor base = look.bkColor.isValid() && look.bkColor.alpha() > 0 ? look.bkColor : QColor(Qt::white);
    palette.setColor(QPalette::Base, base);
    if (look.textColor.isValid())
        palette.setColor(QPalette::Text, look.textColor);
    if (palette != m_lineEdit->palette())
        m_lineEdit->setPalette(palette);
    m_lineEdit->setGeometry(InnerRect());
}

void QtEditWidget::resizeEvent(QResizeEvent* event)
{
    QtControlWidget::resizeEvent(event);
    m_lineEdit->setGeometry(InnerRect());
}
