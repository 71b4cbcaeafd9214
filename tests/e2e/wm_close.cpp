// wm_close: asks a top-level window to close itself, as a window manager's close box does, by
// sending it the WM_DELETE_WINDOW message. The test server runs no window manager. With
// "destroy" it destroys the window instead, as a rude client may.
//
//   wm_close WINDOW-ID [destroy]
#include <X11/Xlib.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    const bool destroy = argc == 3 && std::strcmp(argv[2], "destroy") == 0;
    if (argc != 2 && !destroy) {
        std::fprintf(stderr, "usage: wm_close WINDOW-ID [destroy]\n");
        return 2;
    }
    const Window window = std::strtoul(argv[1], nullptr, 0);
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "wm_close: cannot open the display\n");
        return 1;
    }
    if (destroy) {
        XDestroyWindow(display, window);
        XSync(display, False);
        XCloseDisplay(display);
        return 0;
    }
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);

    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(deleteWindow);
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    return sent != 0 ? 0 : 1;
}
