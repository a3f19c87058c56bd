#include "windowtitle.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>

#ifdef SLEEVE_HAVE_XCB
#include <xcb/xcb.h>

#include <memory>
#endif

namespace windowtitle {

namespace {

#ifdef SLEEVE_HAVE_XCB
xcb_connection_t *x11()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto *app = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return app ? app->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    const auto cookie = xcb_intern_atom(c, 0, static_cast<quint16>(qstrlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&free)> reply(xcb_intern_atom_reply(c, cookie, nullptr),
                                                                    &free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}
#endif

// Both names a window manager may read, set to nothing.
void clearNativeTitle(QWidget *window)
{
#ifdef SLEEVE_HAVE_XCB
    xcb_connection_t *c = x11();
    if (!c || !window->testAttribute(Qt::WA_WState_Created))
        return;
    const auto id = static_cast<xcb_window_t>(window->winId());
    const xcb_atom_t netName = atom(c, "_NET_WM_NAME"), utf8 = atom(c, "UTF8_STRING");
    if (netName != XCB_ATOM_NONE && utf8 != XCB_ATOM_NONE)
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, netName, utf8, 8, 0, nullptr);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 0, nullptr);
    xcb_flush(c);
#else
    Q_UNUSED(window);
#endif
}

// Qt writes the title when the native window is made (just before it is
// shown) and whenever the title is set: clear it after each, while empty.
class Keeper : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const auto type = event->type();
        if (type == QEvent::Show || type == QEvent::WindowTitleChange || type == QEvent::WinIdChange) {
            auto *w = static_cast<QWidget *>(watched);
            if (w->windowTitle().isEmpty())
                clearNativeTitle(w);
        }
        return false;
    }
};

} // namespace

void KeepEmptyTitle(QWidget *window)
{
    window->installEventFilter(new Keeper(window));
    if (window->windowTitle().isEmpty())
        clearNativeTitle(window);
}

} // namespace windowtitle
