#include "platform/qt/window_activation.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

namespace vantrel::qt {

namespace {

LaunchToken pending;

QString take_variable(const char* name) {
    const QString value = qEnvironmentVariable(name);
    qunsetenv(name);
    return value;
}

bool on_wayland() { return QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

// ---------------------------------------------------------------- X11

// A startup id ends in "_TIME" and the time stamp of the user's action.
std::optional<xcb_timestamp_t> startup_time(const QString& startupId) {
    const qsizetype at = startupId.lastIndexOf(QLatin1String("_TIME"));
    if (at < 0) return std::nullopt;
    bool ok = false;
    const qulonglong time = startupId.mid(at + 5).toULongLong(&ok);
    if (!ok || time == 0 || time > 0xFFFFFFFFull) return std::nullopt;
    return static_cast<xcb_timestamp_t>(time);
}

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(xcb_intern_atom_reply(c, cookie, nullptr),
                                                                         &std::free);
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

// The X server's current time: the time stamp of a property change on a
// window of a connection of our own (Qt's connection hands its events to
// Qt). nullopt when there is no X server to ask.
std::optional<xcb_timestamp_t> server_time() {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    std::optional<xcb_timestamp_t> time;
    if (xcb_connection_has_error(c) == 0) {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
        const xcb_window_t window = xcb_generate_id(c);
        const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(c, 0, window, screen->root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT,
                          XCB_CW_EVENT_MASK, &events);
        xcb_change_property(c, XCB_PROP_MODE_APPEND, window, atom(c, "_VANTREL_TIME"), XCB_ATOM_STRING, 8, 0, nullptr);
        xcb_flush(c);
        while (xcb_generic_event_t* event = xcb_wait_for_event(c)) {
            const bool found = (event->response_type & 0x7F) == XCB_PROPERTY_NOTIFY;
            if (found) time = reinterpret_cast<xcb_property_notify_event_t*>(event)->time;
            std::free(event);
            if (found) break;
        }
    }
    xcb_disconnect(c);
    return time;
}

// Tells the window manager that the user acted on the window at the time
// given, and asks it to activate the window: the user time goes where the
// window keeps it (a window of its own that Qt names in
// _NET_WM_USER_TIME_WINDOW, or the window itself).
void activate_on_x11(QWidget* widget, xcb_timestamp_t time) {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr) return;
    xcb_connection_t* c = x11->connection();
    const auto window = static_cast<xcb_window_t>(widget->winId());
    xcb_window_t timeWindow = window;
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(c, 0, window, atom(c, "_NET_WM_USER_TIME_WINDOW"), XCB_ATOM_WINDOW, 0, 1);
    if (std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
            xcb_get_property_reply(c, cookie, nullptr), &std::free);
        reply && xcb_get_property_value_length(reply.get()) == 4)
        std::memcpy(&timeWindow, xcb_get_property_value(reply.get()), 4);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, timeWindow, atom(c, "_NET_WM_USER_TIME"), XCB_ATOM_CARDINAL, 32, 1,
                        &time);

    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atom(c, "_NET_ACTIVE_WINDOW");
    message.data.data32[0] = 1;  // a request from the application
    message.data.data32[1] = time;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(c);
}

// Tells the launcher that the launch it announced is complete, so that it
// stops showing it as under way: the message "remove: ID=..." in pieces of
// 20 bytes, the first of the type _NET_STARTUP_INFO_BEGIN.
void complete_startup(QWidget* widget, const QString& startupId) {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || startupId.isEmpty()) return;
    xcb_connection_t* c = x11->connection();
    QByteArray text = "remove: ID=\"";
    for (const char byte : startupId.toUtf8()) {
        if (byte == '"' || byte == '\\') text += '\\';
        text += byte;
    }
    text += '"';
    text += '\0';
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 8;
    message.window = static_cast<xcb_window_t>(widget->winId());
    message.type = atom(c, "_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t more = atom(c, "_NET_STARTUP_INFO");
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    for (qsizetype at = 0; at < text.size(); at += 20) {
        std::memset(message.data.data8, 0, sizeof message.data.data8);
        std::memcpy(message.data.data8, text.constData() + at, static_cast<std::size_t>(std::min<qsizetype>(20, text.size() - at)));
        xcb_send_event(c, 0, root, XCB_EVENT_MASK_PROPERTY_CHANGE, reinterpret_cast<const char*>(&message));
        message.type = more;
    }
    xcb_flush(c);
}

}  // namespace

LaunchToken take_launch_token() {
    return {take_variable("XDG_ACTIVATION_TOKEN"), take_variable("DESKTOP_STARTUP_ID")};
}

void expect_activation(const LaunchToken& token) { pending = token; }

void bring_to_front(QWidget* window) {
    const LaunchToken token = pending;
    pending = {};
    window->show();
    window->raise();
    if (on_wayland()) {
        // Qt's Wayland platform activates with the token in the environment
        // and takes it out again.
        if (!token.activationToken.isEmpty()) qputenv("XDG_ACTIVATION_TOKEN", token.activationToken.toUtf8());
        window->activateWindow();
        return;
    }
    window->activateWindow();
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return;
    std::optional<xcb_timestamp_t> time = startup_time(token.startupId);
    if (!time) time = server_time();
    if (time) activate_on_x11(window, *time);
    complete_startup(window, token.startupId);
}

}  // namespace vantrel::qt
