#pragma once

#include <QObject>
#include <QString>

class QWidget;

// A window's title bar is its help line: moving the pointer over a control
// puts that control's sentence into the title of its window.
namespace titlehelp {

// Shows `text` in `window`'s title whenever the pointer moves over `control`.
void Attach(QWidget *control, QWidget *window, const QString &text);

// The text attached to a control ("" when none).
QString TextOf(const QWidget *control);

} // namespace titlehelp
