#include "titlehelp.h"

#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace titlehelp {
namespace {

const char *kText = "sleeve_titlehelp_text";

class Filter : public QObject
{
public:
    explicit Filter(QWidget *window) : QObject(window), window_(window) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseMove && window_) {
            const QString text = watched->property(kText).toString();
            if (window_->windowTitle() != text)
                window_->setWindowTitle(text);
        }
        return false;
    }

private:
    QPointer<QWidget> window_;
};

Filter *filterFor(QWidget *window)
{
    auto *f = window->findChild<Filter *>(QString(), Qt::FindDirectChildrenOnly);
    return f ? f : new Filter(window);
}

} // namespace

void Attach(QWidget *control, QWidget *window, const QString &text)
{
    control->setProperty(kText, text);
    control->setMouseTracking(true);
    control->installEventFilter(filterFor(window));
}

QString TextOf(const QWidget *control)
{
    return control->property(kText).toString();
}

} // namespace titlehelp
