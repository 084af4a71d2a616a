#include "platform/XcbWindows.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace XcbWindows {

namespace {
xcb_connection_t* connection()
{
    if (!isX11()) return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name)
{
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return a;
}
}

bool isX11()
{
    return qGuiApp && QGuiApplication::platformName() == "xcb";
}

void giveFocus(WId window)
{
    xcb_connection_t* c = connection();
    if (!c) return;
    const auto id = static_cast<xcb_window_t>(window);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    // A window manager hands out focus itself: ask it, as a pager would (source 2), which
    // focus-stealing prevention lets through.
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = atom(c, "_NET_ACTIVE_WINDOW");
    message.data.data32[0] = 2;
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(c, 0, screen->root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    // Without one, the window is already viewable (Qt mapped it on this connection) and
    // takes the focus directly. Checked, so that a window still being mapped by a window
    // manager raises no error.
    if (xcb_generic_error_t* error = xcb_request_check(c, xcb_set_input_focus_checked(c, XCB_INPUT_FOCUS_PARENT, id, XCB_CURRENT_TIME))) {
        std::free(error);
    }
    xcb_flush(c);
}

void nudgePointer(int dx, int dy)
{
    xcb_connection_t* c = connection();
    if (!c) return;
    xcb_warp_pointer(c, XCB_NONE, XCB_NONE, 0, 0, 0, 0, static_cast<int16_t>(dx), static_cast<int16_t>(dy));
    xcb_flush(c);
}

}
