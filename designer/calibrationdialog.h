#pragma once

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;
class QLabel;

// "Printer Calibration…": prints the calibration page on the chosen printer, takes what the user
// measured on it, and keeps the correction that makes that printer's pages come out true.
class CalibrationDialog : public QDialog
{
    Q_OBJECT
public:
    // `printer`: the queue to start with ("" for the system's default).
    CalibrationDialog(QWidget *parent, const QString &printer);
    QString printer() const;

    void printPage();
    // Works out the correction from the four measurements and keeps it for the printer.
    void keepMeasured();
    void forget();

private:
    void showCurrent();
    QComboBox *printer_;
    QDoubleSpinBox *originX_, *originY_, *width_, *height_;
    QLabel *current_, *note_;
};
