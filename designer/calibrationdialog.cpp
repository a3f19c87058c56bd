#include "calibrationdialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include "calibration.h"
#include "caseprint.h"
#include "plaintext.h"
#include "printqueue.h"

namespace {

QDoubleSpinBox *millimetreBox(QWidget *parent, const char *name, double value)
{
    auto *box = new QDoubleSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(0, 400);
    box->setDecimals(1);
    box->setSingleStep(0.1);
    box->setSuffix(QStringLiteral(" mm"));
    box->setValue(value);
    return box;
}

} // namespace

CalibrationDialog::CalibrationDialog(QWidget *parent, const QString &printer) : QDialog(parent)
{
    setObjectName(QStringLiteral("CalibrationDialog"));
    setWindowTitle(QStringLiteral("Printer Calibration"));
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    printer_ = new QComboBox(this);
    printer_->setObjectName(QStringLiteral("CalibrationPrinter"));
    printer_->addItems(printqueue::Queues());
    const QString start = printer.isEmpty() ? printqueue::DefaultQueue() : printer;
    if (const int at = printer_->findText(start); at >= 0)
        printer_->setCurrentIndex(at);
    form->addRow(QStringLiteral("Printer:"), printer_);
    // Queue names and print errors are the print system's text.
    current_ = plaintext::Label({}, this);
    current_->setObjectName(QStringLiteral("CalibrationCurrent"));
    form->addRow(QStringLiteral("Calibration:"), current_);
    const double origin = calibration::PageOriginMm, square = calibration::SquareMm;
    originX_ = millimetreBox(this, "OriginX", origin);
    originY_ = millimetreBox(this, "OriginY", origin);
    width_ = millimetreBox(this, "SquareWidth", square);
    height_ = millimetreBox(this, "SquareHeight", square);
    form->addRow(QStringLiteral("Origin mark from the left edge:"), originX_);
    form->addRow(QStringLiteral("Origin mark from the top edge:"), originY_);
    form->addRow(QStringLiteral("Square's width:"), width_);
    form->addRow(QStringLiteral("Square's height:"), height_);
    layout->addLayout(form);
    note_ = plaintext::Label(
        QStringLiteral("Print the calibration page, measure it with a ruler and type what you see. Keep "
                       "works out the offset and scale that make this printer's pages come out true."),
        this);
    note_->setObjectName(QStringLiteral("CalibrationNote"));
    note_->setWordWrap(true);
    layout->addWidget(note_);
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *print = buttons->addButton(QStringLiteral("Print Page"), QDialogButtonBox::ActionRole);
    print->setObjectName(QStringLiteral("CalibrationPrint"));
    QPushButton *keep = buttons->addButton(QStringLiteral("Keep"), QDialogButtonBox::ApplyRole);
    keep->setObjectName(QStringLiteral("CalibrationKeep"));
    QPushButton *reset = buttons->addButton(QStringLiteral("Reset"), QDialogButtonBox::ResetRole);
    reset->setObjectName(QStringLiteral("CalibrationReset"));
    buttons->addButton(QDialogButtonBox::Close);
    layout->addWidget(buttons);
    connect(print, &QPushButton::clicked, this, &CalibrationDialog::printPage);
    connect(keep, &QPushButton::clicked, this, &CalibrationDialog::keepMeasured);
    connect(reset, &QPushButton::clicked, this, &CalibrationDialog::forget);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(printer_, &QComboBox::currentTextChanged, this, &CalibrationDialog::showCurrent);
    const bool any = printer_->count() > 0;
    print->setEnabled(any);
    keep->setEnabled(any);
    reset->setEnabled(any);
    showCurrent();
}

QString CalibrationDialog::printer() const
{
    return printer_->currentText();
}

void CalibrationDialog::showCurrent()
{
    current_->setText(printer().isEmpty() ? QStringLiteral("No printer is installed.")
                                          : calibration::Describe(calibration::Load(printer())));
}

void CalibrationDialog::printPage()
{
    QPrinter target(QPrinter::HighResolution);
    QString error;
    const bool printed = printqueue::UseChosenOrDefault(target, printer(), &error) &&
                         caseprint::PrintCalibrationPage(target, &error);
    note_->setText(printed
                       ? QStringLiteral("The calibration page went to %1. Measure it and type what you see.")
                             .arg(printer())
                       : QStringLiteral("Nothing was printed: %1").arg(error));
}

void CalibrationDialog::keepMeasured()
{
    const auto c =
        calibration::FromMeasured(calibration::Load(printer()), {originX_->value(), originY_->value()},
                                  {width_->value(), height_->value()});
    if (!c) {
        note_->setText(QStringLiteral("The square cannot measure nothing: type its width and height."));
        return;
    }
    const calibration::Correction kept = calibration::Clamped(*c);
    calibration::Save(printer(), kept);
    note_->setText(calibration::InRange(*c)
                       ? QStringLiteral("Kept. Print the page again to check it.")
                       : QStringLiteral("Kept, held to the bounds (%1 mm, %2 %): the printer is further out "
                                        "than a calibration can correct.")
                             .arg(calibration::MaxOffsetMm)
                             .arg(calibration::MaxScalePercent));
    // The page printed next is printed with this correction: it should then measure true.
    originX_->setValue(calibration::PageOriginMm);
    originY_->setValue(calibration::PageOriginMm);
    width_->setValue(calibration::SquareMm);
    height_->setValue(calibration::SquareMm);
    showCurrent();
}

void CalibrationDialog::forget()
{
    calibration::Save(printer(), {});
    note_->setText(QStringLiteral("The printer prints without a calibration."));
    showCurrent();
}
