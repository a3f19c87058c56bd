#pragma once

#include <QPushButton>

// A push button whose caption wraps onto several lines, as the launcher's tall
// program buttons need ("Run CD-R Data Index Quirewell" in 89 x 81 pixels).
// text() stays the caption exactly as given; only the painting differs.
class WrapButton : public QPushButton
{
    Q_OBJECT
public:
    explicit WrapButton(const QString &text, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
