#pragma once

#include <QDialog>

#include <memory>

class CoverDocument;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QRadioButton;

// "Spine…": the line both spines of the tray card carry, and which way the hinge-side one reads
// (the other reads the opposite way). An empty text follows the headlines, which the field shows
// greyed. A line that the spine cannot hold whole is said while it is typed.
class SpineDialog : public QDialog
{
    Q_OBJECT
public:
    SpineDialog(QWidget *parent, const CoverDocument &doc);
    ~SpineDialog() override;
    QString text() const;
    bool upward() const;

private:
    void checkFit();
    // The design as it stands, to measure the typed text in the spine's font.
    std::unique_ptr<CoverDocument> doc_;
    QLineEdit *text_;
    QRadioButton *down_, *up_;
    QLabel *note_;
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
