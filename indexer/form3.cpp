#include "form3.h"

#include <QLabel>

#include "colors.h"
#include "plaintext.h"
#include "texts.h"

Form3::Form3(QWidget *parent) : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(QString::fromLatin1(texts::Form3Title));
    setFixedSize(448, 215);
    colors::FillBackground(this, colors::White);

    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(8.25);
    font.setBold(true);
    auto label = [&](int x, int y, int w, int h) {
        auto *l = plaintext::Label(QString(), this);
        l->setGeometry(x, y, w, h);
        l->setFont(font);
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return l;
    };
    Label1 = label(8, 8, 421, 64);
    Label2 = label(8, 72, 432, 32);
    Label3 = label(8, 112, 424, 32);
    Label4 = label(8, 152, 425, 25);
    Label5 = label(8, 184, 417, 25);
    colors::FillBackground(Label1, 0x00C0FFC0);
}

void Form3::Form_Load()
{
    ++loads_;
    Label1->setText(QString::fromLatin1(texts::Form3Label1));
    Label2->setText(QString::fromLatin1(texts::Form3Label2));
    Label3->setText(QString::fromLatin1(texts::Form3Label3));
    Label4->setText(QString::fromLatin1(texts::Form3Label4));
    Label5->setText(QString::fromLatin1(texts::Form3Label5));
}
