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

const char *kFilterName = "sleeve_titlehelp_filter";

Filter *filterFor(QWidget *window)
{
    // Found by name: the filter has no meta-object of its own to cast by.
    if (auto *f = window->findChild<QObject *>(QLatin1String(kFilterName), Qt::FindDirectChildrenOnly))
        return static_cast<Filter *>(f);
    auto *f = new Filter(window);
    f->setObjectName(QLatin1String(kFilterName));
    return f;
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
