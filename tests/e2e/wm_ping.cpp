// wm_ping: waits until a top-level window's program has taken every X event sent to it so far.
// It sends the window the _NET_WM_PING message, as a window manager does, and waits for the
// program's answer at the root window: X delivers events in order, so the program has read
// the keys typed before the ping by the time it answers. The test server runs no window
// manager.
//
//   wm_ping WINDOW-ID [SECONDS]
#include <X11/Xlib.h>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <poll.h>

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: wm_ping WINDOW-ID [SECONDS]\n");
        return 2;
    }
    const Window window = std::strtoul(argv[1], nullptr, 0);
    const long seconds = argc == 3 ? std::strtol(argv[2], nullptr, 10) : 10;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "wm_ping: cannot open the display\n");
        return 1;
    }
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, StructureNotifyMask);
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom ping = XInternAtom(display, "_NET_WM_PING", False);
    // A stamp of this ping, to tell its answer from an older one; a message carries 32 bits.
    const long stamp =
        (static_cast<long>(std::time(nullptr)) ^ static_cast<long>(clock())) & 0x7FFFFFFF;

    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(ping);
    event.xclient.data.l[1] = stamp;
    event.xclient.data.l[2] = static_cast<long>(window);
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);

    const time_t deadline = std::time(nullptr) + seconds;
    while (std::time(nullptr) <= deadline) {
        while (XPending(display) > 0) {
            XEvent answer;
            XNextEvent(display, &answer);
            if (answer.type == ClientMessage && answer.xclient.message_type == protocols &&
                static_cast<Atom>(answer.xclient.data.l[0]) == ping &&
                answer.xclient.data.l[1] == stamp) {
                XCloseDisplay(display);
                return 0;
            }
        }
        pollfd fd{ConnectionNumber(display), POLLIN, 0};
        poll(&fd, 1, 100);
    }
    std::fprintf(stderr, "wm_ping: no answer from window %s within %ld s\n", argv[1], seconds);
    XCloseDisplay(display);
    return 1;
}
