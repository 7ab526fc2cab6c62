// wintest: drives the programs under test from the outside, as a user or
// the shell would. Windows are named by their exact title ("class:NAME"
// names a window by class instead, "class:NAME/TITLE" by both).
//
//   wintest wait <window> <ms>            exit 0 once the window exists
//   wintest gone <window> <ms>            exit 0 once it no longer exists
//   wintest list -                        prints class|title|visible of every top-level window
//   wintest count <window>                number of top-level windows so named
//   wintest visible <window>              prints 1 or 0
//   wintest children <window>             prints the class of each child window, one a line
//   wintest rect <window>                 prints the window's screen rectangle WxH+X+Y
//   wintest text <window> [<control id>]  prints the window's or control's text
//   wintest command <window> <id>         posts WM_COMMAND id
//   wintest click <window> <control id>   clicks the button (BM_CLICK)
//   wintest key <window> <virtual key>    posts the key down and up to the window
//   wintest close <window>                the close box (WM_SYSCOMMAND SC_CLOSE)
//   wintest post <window> <msg> <wparam> <lparam>  posts a message (numbers)
//   wintest send <window> <msg> <wparam> <lparam>  sends it, prints the result
//   wintest popups <window> <ms>          waits for and prints the text of a
//                                          message box owned by nobody: "caption|text"
//   wintest answer <caption> <text start> <button id> <ms>
//                                          waits for a message box with that caption
//                                          whose text starts so ("*": any), prints
//                                          "caption|text", presses the button (its
//                                          command) and waits until the box is gone
//   wintest pid <window>                  prints the id of the window's process
//   wintest alive <process id>            prints 1 while the process runs, else 0
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Query {
    std::string cls;
    std::string title;
    bool byTitle = true;
    bool byClass = false;
};

Query Parse(const std::string& name) {
    Query q;
    if (name.rfind("class:", 0) == 0) {
        std::string rest = name.substr(6);
        auto slash = rest.find('/');
        q.byClass = true;
        q.cls = rest.substr(0, slash);
        q.byTitle = slash != std::string::npos;
        if (q.byTitle) q.title = rest.substr(slash + 1);
    } else {
        q.title = name;
    }
    return q;
}

struct FindContext {
    const Query* q;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectMatching(HWND hwnd, LPARAM lp) {
    auto* c = reinterpret_cast<FindContext*>(lp);
    char buf[512];
    if (c->q->byClass) {
        ::GetClassNameA(hwnd, buf, sizeof(buf));
        if (c->q->cls != buf) return TRUE;
    }
    if (c->q->byTitle) {
        ::GetWindowTextA(hwnd, buf, sizeof(buf));
        if (c->q->title != buf) return TRUE;
    }
    c->found.push_back(hwnd);
    return TRUE;
}

BOOL CALLBACK PrintClass(HWND child, LPARAM) {
    char cls[256];
    ::GetClassNameA(child, cls, sizeof(cls));
    std::printf("%s\n", cls);
    return TRUE;
}

std::vector<HWND> FindAll(const Query& q) {
    FindContext ctx{&q, {}};
    ::EnumWindows(&CollectMatching, reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

HWND Find(const std::string& name) {
    auto all = FindAll(Parse(name));
    return all.empty() ? nullptr : all.front();
}

HWND MustFind(const std::string& name) {
    HWND hwnd = Find(name);
    if (!hwnd) {
        std::fprintf(stderr, "wintest: no window \"%s\"\n", name.c_str());
        std::exit(2);
    }
    return hwnd;
}

long Number(const char* text) { return std::strtol(text, nullptr, 0); }

std::string TextOf(HWND hwnd) {
    char buf[4096] = {};
    ::SendMessageA(hwnd, WM_GETTEXT, sizeof(buf), reinterpret_cast<LPARAM>(buf));
    return buf;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: wintest wait|gone|count|visible|text|command|click|key|close|post|send|popups|answer|pid|"
                 "alive ...\n");
    return 64;
}

// A visible message box with the caption whose text starts with `start`
// ("*" for any text); null when there is none.
HWND FindMessageBox(const std::string& caption, const std::string& start) {
    for (HWND box : FindAll(Parse("class:#32770"))) {
        if (!::IsWindowVisible(box) || TextOf(box) != caption) continue;
        HWND text = ::GetDlgItem(box, 0xFFFF);
        if (start == "*" || (text && TextOf(text).rfind(start, 0) == 0)) return box;
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage();
    std::string verb = argv[1];
    std::string name = argv[2];

    if (verb == "wait" || verb == "gone") {
        DWORD limit = argc > 3 ? static_cast<DWORD>(Number(argv[3])) : 10000;
        DWORD start = ::GetTickCount();
        for (;;) {
            bool exists = Find(name) != nullptr;
            if (exists == (verb == "wait")) return 0;
            if (::GetTickCount() - start > limit) return 1;
            ::Sleep(50);
        }
    }
    if (verb == "list") {  // every top-level window: class|title|visible (the name is ignored)
        for (HWND w : FindAll(Query{"", "", false, false})) {
            char cls[256], title[256];
            ::GetClassNameA(w, cls, sizeof(cls));
            ::GetWindowTextA(w, title, sizeof(title));
            std::printf("%s|%s|%d\n", cls, title, ::IsWindowVisible(w) ? 1 : 0);
        }
        return 0;
    }
    if (verb == "count") {
        std::printf("%u\n", static_cast<unsigned>(FindAll(Parse(name)).size()));
        return 0;
    }
    if (verb == "popups") {
        // A message box is a top-level dialog (#32770); print its caption and text.
        DWORD limit = argc > 3 ? static_cast<DWORD>(Number(argv[3])) : 10000;
        DWORD start = ::GetTickCount();
        for (;;) {
            for (HWND box : FindAll(Parse("class:#32770"))) {
                if (!::IsWindowVisible(box)) continue;
                std::string caption = TextOf(box);
                if (name != "*" && caption != name) continue;
                HWND text = ::GetDlgItem(box, 0xFFFF);
                std::printf("%s|%s\n", caption.c_str(), text ? TextOf(text).c_str() : "");
                return 0;
            }
            if (::GetTickCount() - start > limit) return 1;
            ::Sleep(50);
        }
    }

    if (verb == "answer" && argc > 5) {
        const DWORD limit = static_cast<DWORD>(Number(argv[5]));
        const DWORD start = ::GetTickCount();
        HWND box = nullptr;
        while (!(box = FindMessageBox(name, argv[3]))) {
            if (::GetTickCount() - start > limit) return 1;
            ::Sleep(50);
        }
        HWND text = ::GetDlgItem(box, 0xFFFF);
        std::printf("%s|%s\n", name.c_str(), text ? TextOf(text).c_str() : "");
        std::fflush(stdout);
        ::PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(Number(argv[4])), 0);
        while (::IsWindow(box)) {
            if (::GetTickCount() - start > limit) return 1;
            ::Sleep(50);
        }
        return 0;
    }
    if (verb == "alive") {
        HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(Number(argv[2])));
        const bool running = process && ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
        if (process) ::CloseHandle(process);
        std::printf("%d\n", running ? 1 : 0);
        return 0;
    }

    HWND hwnd = MustFind(name);
    if (verb == "visible") {
        std::printf("%d\n", ::IsWindowVisible(hwnd) ? 1 : 0);
    } else if (verb == "pid") {
        DWORD process = 0;
        ::GetWindowThreadProcessId(hwnd, &process);
        std::printf("%lu\n", static_cast<unsigned long>(process));
    } else if (verb == "children") {
        ::EnumChildWindows(hwnd, &PrintClass, 0);
    } else if (verb == "rect") {
        RECT r;
        ::GetWindowRect(hwnd, &r);
        std::printf("%ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
    } else if (verb == "text") {
        HWND target = argc > 3 ? ::GetDlgItem(hwnd, static_cast<int>(Number(argv[3]))) : hwnd;
        if (!target) return 2;
        std::printf("%s\n", TextOf(target).c_str());
    } else if (verb == "command" && argc > 3) {
        ::PostMessageA(hwnd, WM_COMMAND, static_cast<WPARAM>(Number(argv[3])), 0);
    } else if (verb == "click" && argc > 3) {
        HWND button = ::GetDlgItem(hwnd, static_cast<int>(Number(argv[3])));
        if (!button) return 2;
        ::PostMessageA(button, BM_CLICK, 0, 0);
    } else if (verb == "key" && argc > 3) {
        WPARAM vk = static_cast<WPARAM>(Number(argv[3]));
        ::PostMessageA(hwnd, WM_KEYDOWN, vk, 1);
        ::PostMessageA(hwnd, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u));
    } else if (verb == "close") {
        ::PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else if ((verb == "post" || verb == "send") && argc > 5) {
        UINT msg = static_cast<UINT>(Number(argv[3]));
        WPARAM wp = static_cast<WPARAM>(Number(argv[4]));
        LPARAM lp = static_cast<LPARAM>(Number(argv[5]));
        if (verb == "post") {
            ::PostMessageA(hwnd, msg, wp, lp);
        } else {
            std::printf("%lld\n", static_cast<long long>(::SendMessageA(hwnd, msg, wp, lp)));
        }
    } else {
        return Usage();
    }
    return 0;
}
