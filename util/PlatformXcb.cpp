// PlatformXcb: the Escape key on Linux, read from the X server's keyboard state.
//
// The exchange class asks now and then, while it writes a large model, whether the user holds
// Escape down (EscapePressed). Under X the answer is the server's own key map, whichever window
// has the focus, as GetAsyncKeyState gives it on Windows. Without an X server (no DISPLAY, or
// one that refuses the connection) the key is never pressed.
#include "PlatformNative.h"

#include <cstdlib>
#include <memory>
#include <vector>

#include <xcb/xcb.h>

namespace Platform::Native {

namespace {

// The keysym of Escape (XK_Escape of <X11/keysymdef.h>).
constexpr xcb_keysym_t kEscapeKeysym = 0xff1b;

// One connection to the X server, made once and kept: a query then costs one round trip.
// libxcb may be used from several threads at once.
class TXKeyboard {
public:
    TXKeyboard() {
        conn_ = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(conn_) != 0) {
            return;
        }
        // Every keycode that the server's keyboard map gives Escape, at any shift level.
        const xcb_setup_t* setup = xcb_get_setup(conn_);
        const xcb_keycode_t first = setup->min_keycode;
        const int count = setup->max_keycode - setup->min_keycode + 1;
        xcb_get_keyboard_mapping_reply_t* map = xcb_get_keyboard_mapping_reply(
            conn_, xcb_get_keyboard_mapping(conn_, first, static_cast<uint8_t>(count)), nullptr);
        if (map == nullptr) {
            return;
        }
        const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map);
        const int perCode = map->keysyms_per_keycode;
        const int total = xcb_get_keyboard_mapping_keysyms_length(map);
        for (int i = 0; i < total; ++i) {
            if (syms[i] == kEscapeKeysym && perCode > 0) {
                escapeCodes_.push_back(static_cast<xcb_keycode_t>(first + i / perCode));
            }
        }
        std::free(map);
    }
    ~TXKeyboard() { xcb_disconnect(conn_); }
    TXKeyboard(const TXKeyboard&) = delete;
    TXKeyboard& operator=(const TXKeyboard&) = delete;

    bool Usable() const { return xcb_connection_has_error(conn_) == 0 && !escapeCodes_.empty(); }

    // One bit per keycode in the server's current key map; a lost server reads as not pressed.
    bool EscapeDown() const {
        xcb_query_keymap_reply_t* keys =
            xcb_query_keymap_reply(conn_, xcb_query_keymap(conn_), nullptr);
        if (keys == nullptr) {
            return false;
        }
        bool down = false;
        for (const xcb_keycode_t code : escapeCodes_) {
            if ((keys->keys[code / 8] >> (code % 8)) & 1) {
                down = true;
            }
        }
        std::free(keys);
        return down;
    }

private:
    xcb_connection_t* conn_ = nullptr;
    std::vector<xcb_keycode_t> escapeCodes_;
};

}  // namespace

std::function<bool()> DefaultEscapeProbe() {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        return {};
    }
    auto keyboard = std::make_shared<TXKeyboard>();
    if (!keyboard->Usable()) {
        return {};
    }
    return [keyboard] { return keyboard->EscapeDown(); };
}

}  // namespace Platform::Native
