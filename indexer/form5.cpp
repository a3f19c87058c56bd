#include "form5.h"

#include <QLabel>

#include "colors.h"
#include "plaintext.h"
#include "texts.h"
#include "windowtitle.h"

Form5::Form5(QWidget *parent) : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(QString());
    windowtitle::KeepEmptyTitle(this);
    setFixedSize(355, 125);
    colors::FillBackground(this, colors::White);

    D = plaintext::Label(QString(), this);
    D->setGeometry(32, 16, 281, 89);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(12);
    font.setBold(true);
    D->setFont(font);
    QPalette red = D->palette();
    red.setColor(QPalette::WindowText, colors::ToQColor(colors::Red));
    D->setPalette(red);
    D->setWordWrap(true);
    D->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    D->setText(QString::fromLatin1(texts::Form5Text));
}
