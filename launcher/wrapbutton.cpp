#include "wrapbutton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

WrapButton::WrapButton(const QString &text, QWidget *parent) : QPushButton(text, parent)
{}

void WrapButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    // The style draws the frame, bevel and focus; the caption is ours, wrapped.
    painter.drawControl(QStyle::CE_PushButton, option);

    QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    if (option.state & (QStyle::State_Sunken | QStyle::State_On))
        area.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                       style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
    painter.drawItemText(area, Qt::AlignCenter | Qt::TextWordWrap, option.palette, isEnabled(), caption,
                         QPalette::ButtonText);
}
