// The copyright notice at the foot of the panel.
#include "design.h"

#include <QCheckBox>
#include <QLineEdit>

#include "module1.h"

namespace {
// Room allowed for "Copyright (c)", whatever its measured width.
constexpr double LeftTextAllowance = 29;
} // namespace

void Design::SetLabel29Caption(const QString &text)
{
    if (Label29->Caption() == text)
        return;
    Label29->setCaption(text);
    Label29_Change();
}

QString Design::NoticeLeftText()
{
    return QStringLiteral("Copyright ") + QChar(0x00A9);
}

void Design::SetNoticeTexts()
{
    SetLabel29Caption(Text11->text() + u' ' + Text12->text() + QStringLiteral(" All Rights Reserved."));
}

void Design::LayoutNoticeRow()
{
    const double w28 = Label28->Width();
    const double w4 = Image4->Width();
    const double w29 = Label29->Width();
    Label28->setLeft((static_cast<double>(Module1::PanelWidth) - (w28 + w4 + w29)) / 2.0);
    Image4->setLeft(Label28->Left() + LeftTextAllowance);
    Label29->setLeft(Label28->Left() + LeftTextAllowance + w4 - 2);
}

void Design::Check9_Click()
{
    SetNoticeRowTop(NoticeBaseLine);
    if (Value(Check9) == 1) {
        Check11->show();
        Text11->show();
        Text12->show();
        Label28->Show();
        Label28->setCaption(NoticeLeftText());
        SetNoticeTexts();
        Check10->show();
        if (Value(Check10) == 1) {
            Image4->Show();
            Image4->setWidth(6);
        }
        if (Value(Check5) == 1)
            SetNoticeRowTop(RaisedNoticeTop());
        if (Value(Check10) == 0) {
            Image4->Hide();
            Image4->setWidth(1);
        }
        Label29->Show();
        LayoutNoticeRow();
    } else {
        Check11->hide();
        Text11->hide();
        Text12->hide();
        Label28->Hide();
        Image4->Hide();
        Check10->hide();
        Label29->Hide();
    }
}

void Design::Text11_Change()
{
    SetNoticeTexts();
    LayoutNoticeRow();
}

void Design::Text12_Change()
{
    SetNoticeTexts();
    LayoutNoticeRow();
}

void Design::Check11_Click()
{
    const qint32 color = Value(Check11) == 1 ? 0 : Label10->ForeColor();
    Label28->setForeColor(color);
    Label29->setForeColor(color);
}
