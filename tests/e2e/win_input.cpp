// win_input: the keyboard and the close box of a Windows user, for the end-to-end tests of the
// Windows program under wine. Each argument is one step, done in order:
//
//   text:TEXT     types TEXT as Unicode key events (any character, no keyboard layout needed)
//   key:NAME      presses and releases a key: return, escape, tab, backspace, ctrl+a or
//                 alt+p
//   focus:TITLE   waits until the active window is an enabled one titled TITLE (a dialog, or
//                 the message box it shows), up to 30 seconds
//   close:TITLE   closes the top-level window titled TITLE as its close box does
//
// The key events go to the window that has the keyboard focus, as a user's typing does; a
// "focus" step first makes sure that this is the program's window and not one that was active
// a moment ago.
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>
#include <windows.h>

namespace {

// A pause after each key, so that the program takes the keys one by one as from a person.
constexpr DWORD kKeyPauseMs = 15;

bool Send(std::vector<INPUT>& events) {
    const UINT count = static_cast<UINT>(events.size());
    const bool sent = SendInput(count, events.data(), sizeof(INPUT)) == count;
    events.clear();
    Sleep(kKeyPauseMs);
    return sent;
}

INPUT KeyEvent(WORD vk, WORD scan, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = scan;
    input.ki.dwFlags = flags;
    return input;
}

bool TypeText(const std::wstring& text) {
    std::vector<INPUT> events;
    for (wchar_t unit : text) {
        events.push_back(KeyEvent(0, unit, KEYEVENTF_UNICODE));
        events.push_back(KeyEvent(0, unit, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP));
        if (!Send(events)) {
            return false;
        }
    }
    return true;
}

bool PressKey(const std::wstring& name) {
    struct TKey {
        const wchar_t* name;
        WORD vk;
        WORD modifier;  // held while the key is pressed, 0 for none
    };
    static const TKey kKeys[] = {
        {L"return", VK_RETURN, 0},  {L"escape", VK_ESCAPE, 0},  {L"tab", VK_TAB, 0},
        {L"backspace", VK_BACK, 0}, {L"ctrl+a", 'A', VK_CONTROL}, {L"alt+p", 'P', VK_MENU},
    };
    for (const TKey& key : kKeys) {
        if (name != key.name) {
            continue;
        }
        std::vector<INPUT> events;
        if (key.modifier != 0) {
            events.push_back(KeyEvent(key.modifier, 0, 0));
        }
        events.push_back(KeyEvent(key.vk, 0, 0));
        events.push_back(KeyEvent(key.vk, 0, KEYEVENTF_KEYUP));
        if (key.modifier != 0) {
            events.push_back(KeyEvent(key.modifier, 0, KEYEVENTF_KEYUP));
        }
        return Send(events);
    }
    std::fwprintf(stderr, L"win_input: unknown key %ls\n", name.c_str());
    return false;
}

std::wstring TitleOf(HWND window) {
    wchar_t title[256] = {};
    GetWindowTextW(window, title, 256);
    return title;
}

bool WaitForFocus(const std::wstring& title) {
    constexpr DWORD kTimeoutMs = 30000;
    constexpr DWORD kPollMs = 20;
    for (DWORD waited = 0; waited < kTimeoutMs; waited += kPollMs) {
        HWND active = GetForegroundWindow();
        if (active != nullptr && IsWindowVisible(active) && IsWindowEnabled(active) &&
            TitleOf(active) == title) {
            return true;
        }
        Sleep(kPollMs);
    }
    HWND active = GetForegroundWindow();
    std::fwprintf(stderr, L"win_input: the active window is \"%ls\", not \"%ls\"\n",
                  active != nullptr ? TitleOf(active).c_str() : L"(none)", title.c_str());
    return false;
}

bool CloseWindow(const std::wstring& title) {
    HWND window = FindWindowW(nullptr, title.c_str());
    if (window == nullptr) {
        std::fwprintf(stderr, L"win_input: no window titled %ls\n", title.c_str());
        return false;
    }
    // What Windows sends a window whose close box is clicked.
    return PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0) != 0;
}

bool Step(const std::wstring& step) {
    const auto colon = step.find(L':');
    const std::wstring verb = step.substr(0, colon);
    const std::wstring value = colon == std::wstring::npos ? L"" : step.substr(colon + 1);
    if (verb == L"text") {
        return TypeText(value);
    }
    if (verb == L"key") {
        return PressKey(value);
    }
    if (verb == L"focus") {
        return WaitForFocus(value);
    }
    if (verb == L"close") {
        return CloseWindow(value);
    }
    std::fwprintf(stderr, L"win_input: unknown step %ls\n", step.c_str());
    return false;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fwprintf(stderr,
                      L"usage: win_input text:TEXT | key:NAME | focus:TITLE | close:TITLE ...\n");
        return 2;
    }
    for (int i = 1; i < argc; ++i) {
        if (!Step(argv[i])) {
            return 1;
        }
    }
    return 0;
}
