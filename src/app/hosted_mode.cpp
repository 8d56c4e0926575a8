#include "app/hosted_mode.h"

#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#include <QGuiApplication>
#include <QSize>
#include <QWidget>
#include <QWindow>
#include <cstdlib>

namespace ttp::app {

std::vector<std::string> programParameters(int argc, const char* const* argv) {
    std::vector<std::string> parameters;
    for (int i = 1; i < argc; ++i) {
        if (argv[i] != nullptr && argv[i][0] != '\0') parameters.emplace_back(argv[i]);
    }
    return parameters;
}

std::string lowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::optional<std::uint32_t> parseHexHandle(std::string_view digits) {
    if (digits.empty()) return std::nullopt;
    std::uint32_t value = 0;
    int significant = 0;
    for (char c : digits) {
        int digit = 0;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return std::nullopt;
        }
        if (significant > 0 || digit != 0) ++significant;
        if (significant > 8) return std::nullopt;
        value = (value << 4) | static_cast<std::uint32_t>(digit);
    }
    return value;
}

HostedStart readParameters(const std::vector<std::string>& parameters) {
    HostedStart start;
    if (parameters.size() != 2) return start;
    start.twoParameters = true;
    start.direction = lowerAscii(parameters[0]);
    start.handle = parseHexHandle(parameters[1]);
    if (!start.handle) start.handleError = "'$" + parameters[1] + "' no es un valor entero válido";
    return start;
}

bool embedInto(QWidget& window, std::uint32_t host) {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return false;
    QWindow* foreign = QWindow::fromWinId(static_cast<WId>(host));
    if (foreign == nullptr) return false;
    window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    window.winId();  // creates the native window so that it can be reparented
    QWindow* own = window.windowHandle();
    if (own == nullptr) {
        delete foreign;
        return false;
    }
    // The foreign window object lives as long as our window: it is its parent from now on.
    foreign->setParent(nullptr);
    own->setParent(foreign);
    return true;
}

QSize hostClientSize(std::uint32_t host) {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return {};
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr) return {};
    xcb_connection_t* connection = x11->connection();
    xcb_generic_error_t* error = nullptr;
    xcb_get_geometry_reply_t* reply =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, host), &error);
    std::free(error);
    if (reply == nullptr) return {};
    const QSize size(reply->width, reply->height);
    std::free(reply);
    return size;
}

}  // namespace ttp::app
