#pragma once

#include <QWidget>

class QLabel;

// The drive-error window. It has no behaviour of its own.
class Form5 : public QWidget
{
    Q_OBJECT
public:
    explicit Form5(QWidget *parent = nullptr);

    QLabel *D;
};
