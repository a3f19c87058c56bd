#include "fontcolordialog.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

#include "colors.h"
#include "commondialog.h"

namespace {

// The dialog flag that asks for the effects: colour, strikethrough, underline.
constexpr int EffectsFlag = 0x100;

QFont presetFont(const CommonDialog &dlg)
{
    // The chooser lists installed families only: show the one a Windows
    // face such as "MS Sans Serif" is drawn with.
    QFont f(QFontInfo(QFont(dlg.FontName)).family());
    if (std::isfinite(dlg.FontSize) && dlg.FontSize > 0)
        f.setPointSizeF(static_cast<double>(dlg.FontSize));
    f.setBold(dlg.FontBold);
    f.setItalic(dlg.FontItalic);
    f.setStrikeOut(dlg.FontStrikethru);
    f.setUnderline(dlg.FontUnderline);
    return f;
}

} // namespace

FontColorDialog::FontColorDialog(const CommonDialog &preset, QWidget *parent)
    : QDialog(parent), presetName_(preset.FontName), presetSize_(preset.FontSize), color_(preset.Color)
{
    setWindowTitle(tr("Font"));
    setObjectName(QStringLiteral("FontColorDialog"));

    chooser_ = new QFontDialog(this);
    chooser_->setObjectName(QStringLiteral("fontChooser"));
    // Embedded as a plain child: our own buttons close the dialog.
    chooser_->setWindowFlags(Qt::Widget);
    chooser_->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    chooser_->setSizeGripEnabled(false);
    chooser_->setCurrentFont(presetFont(preset));
    shownFamily_ = chooser_->currentFont().family();
    shownSize_ = chooser_->currentFont().pointSize();

    colorLabel_ = new QLabel(tr("&Color:"), this);
    colorButton_ = new QPushButton(this);
    colorButton_->setObjectName(QStringLiteral("colorButton"));
    colorButton_->setAutoDefault(false);
    colorLabel_->setBuddy(colorButton_);
    connect(colorButton_, &QPushButton::clicked, this, &FontColorDialog::chooseColor);
    updateSwatch();

    auto *colorRow = new QHBoxLayout;
    colorRow->addWidget(colorLabel_);
    colorRow->addWidget(colorButton_);
    colorRow->addStretch(1);
    const bool effects = (preset.Flags & EffectsFlag) != 0;
    colorLabel_->setVisible(effects);
    colorButton_->setVisible(effects);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(chooser_);
    layout->addLayout(colorRow);
    layout->addWidget(buttons);
}

bool FontColorDialog::colorOffered() const
{
    return !colorButton_->isHidden();
}

void FontColorDialog::setColor(qint32 number)
{
    color_ = number;
    updateSwatch();
}

void FontColorDialog::updateSwatch()
{
    QPixmap swatch(40, 12);
    swatch.fill(colors::ToQColor(color_));
    colorButton_->setIcon(QIcon(swatch));
    colorButton_->setIconSize(swatch.size());
    colorButton_->setText(colors::IsSystemColor(color_)
                              ? tr("Window text...")
                              : colors::ToQColor(color_).name() + QStringLiteral("..."));
}

void FontColorDialog::chooseColor()
{
    QColorDialog cd(colors::ToQColor(color_), this);
    cd.setOption(QColorDialog::DontUseNativeDialog);
    if (cd.exec() != QDialog::Accepted)
        return;
    // A system colour stays a system colour unless another colour is picked.
    const qint32 picked = colors::FromQColor(cd.selectedColor());
    if (picked != colors::FromQColor(colors::ToQColor(color_)))
        setColor(picked);
}

void FontColorDialog::applyTo(CommonDialog &dlg) const
{
    const QFont f = chooser_->currentFont();
    dlg.FontName = f.family() == shownFamily_ ? presetName_ : f.family();
    if (f.pointSize() != shownSize_ || !(std::isfinite(presetSize_) && presetSize_ > 0))
        dlg.FontSize = static_cast<float>(f.pointSizeF());
    else
        dlg.FontSize = presetSize_;
    dlg.FontBold = f.bold();
    dlg.FontItalic = f.italic();
    dlg.FontStrikethru = f.strikeOut();
    dlg.FontUnderline = f.underline();
    dlg.Color = color_;
}

bool FontColorDialog::Run(CommonDialog &dlg, QWidget *parent)
{
    FontColorDialog d(dlg, parent);
    if (d.exec() != QDialog::Accepted)
        return false;
    d.applyTo(dlg);
    return true;
}

void FontColorDialog::Install()
{
    QtDialogBackend::fontChooser = &FontColorDialog::Run;
}
