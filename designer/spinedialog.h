#pragma once

#include <QDialog>

class QDoubleSpinBox;
class QLineEdit;
class QRadioButton;

// "Spine…": the line both spines of the tray card carry, and which way it reads. An empty text
// follows the headlines, which the field shows greyed.
class SpineDialog : public QDialog
{
    Q_OBJECT
public:
    SpineDialog(QWidget *parent, const QString &headlines, const QString &text, bool upward);
    QString text() const;
    bool upward() const;

private:
    QLineEdit *text_;
    QRadioButton *down_, *up_;
};

// "Disc Face…": the disc's diameter and its hole's, in millimetres.
class DiscDialog : public QDialog
{
    Q_OBJECT
public:
    DiscDialog(QWidget *parent, double diameter, double hole);
    double diameter() const;
    double hole() const;

private:
    QDoubleSpinBox *diameter_, *hole_;
};
