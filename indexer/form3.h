#pragma once

#include <QWidget>

class QLabel;

// The quick-help window: five fixed texts, filled once when it is loaded.
class Form3 : public QWidget
{
    Q_OBJECT
public:
    explicit Form3(QWidget *parent = nullptr);

    QLabel *Label1, *Label2, *Label3, *Label4, *Label5;

    void Form_Load();
    int LoadCount() const { return loads_; }

private:
    int loads_ = 0;
};
