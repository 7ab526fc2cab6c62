// wintest: drives the programs under test from the outside, as a user or
// the shell would. Windows are named by their exact title ("class:NAME"
// names a window by class instead, "class:NAME/TITLE" by both); a name
// ending in "@ID" matches only windows with a control of that id (dialogs
// of one caption told apart by their controls). With WINTEST_DESKTOP set,
// wintest works on the windows of that desktop (a Wine virtual desktop
// made by "explorer /desktop=NAME,WxH").
//
//   wintest wait <window> <ms>            exit 0 once the window exists
//   wintest gone <window> <ms>            exit 0 once it no longer exists
//   wintest shown <window> <ms>           exit 0 once one so named is visible
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
//   wintest show <window>                 asks the window to show (ShowWindow SW_SHOWNA)
//   wintest post <window> <msg> <wparam> <lparam>  posts a message (numbers; lparam
//                                          taken as an unsigned pointer-sized value)
//   wintest send <window> <msg> <wparam> <lparam>  sends it, prints the result
//   wintest popups <window> <ms>          waits for and prints the text of a
//                                          message box owned by nobody: "caption|text"
//   wintest press <caption> <button id>   presses a button of that message box
//   wintest answer <caption> <text start> <button id> <ms>
//                                          waits for a message box with that caption
//                                          whose text starts so ("*": any), prints
//                                          "caption|text", presses the button (its
//                                          command) and waits until the box is gone
//   wintest pid <window>                  prints the id of the window's process
//   wintest alive <process id>            prints 1 while the process runs, else 0
//   wintest responds <window> [<ms>]      prints 1 when the window's thread answers
//                                          WM_NULL within the time (3000), 0 when it
//                                          hangs (SMTO_ABORTIFHUNG) or does not answer
//   wintest untray <window> <icon id>     takes the window's notification icon out of
//                                          the shell (NIM_DELETE), as a shell that ended
//                                          loses every icon; prints 1 when it was there
//   wintest broadcast <message name>      posts the registered message to every
//                                          top-level window (HWND_BROADCAST), as the
//                                          shell does with "TaskbarCreated"
//   wintest device <window> <event> <type> [<name>]
//                                          sends WM_DEVICECHANGE with a record of the
//                                          type (5 device interface named <name>, 2 a
//                                          volume, 0 none), prints the answer
//   wintest colour <window> <control id>  the control's text colour on screen: the
//                                          commonest colour of its pixels after the
//                                          background, "R,G,B" ("none" for one colour)
//   wintest procinfo <window>             the window's process, its kernel handles and
//                                          working set: "pid=N handles=N workingset=BYTES"
//   wintest cwd <window>                  the current directory of the window's process
//   wintest service <name>                the service's "type|start type|image path";
//                                          exit 1 when there is no such service
//   wintest enabled <window> <control id> prints 1 or 0
//   wintest items <window> <control id>   prints each list box entry, one a line
//   wintest selected <window> <control id>  prints the list box's selected index
//   wintest select <window> <control id> <index>  selects the entry as a user
//                                          click would (LBN_SELCHANGE to the dialog)
//   wintest lvtext <window> <control id> <item>  prints a list view item's text
//   wintest lvstate <window> <control id> <item>  prints its state bits (2 focused, 1 selected)
//   wintest lclick <window> <control id> <x> <y>  left click at client coordinates
//   wintest until <text> <ms> <verb> <arguments...>
//                                          asks the query (one of the above) again and
//                                          again, in this one process, until it prints
//                                          the text (carriage returns and the trailing
//                                          line ends left out); prints what it printed
//                                          last, exit 0 on the text, 1 when time is up
//   wintest exec <ms> <command line>      runs the program (in this working directory),
//                                          waits for its end and prints "exit=CODE
//                                          windows=N": its full exit code (a Linux
//                                          parent sees only the low 8 bits) and how many
//                                          visible top-level windows of it were seen
//                                          meanwhile; "exit=running" when time is up
//   wintest notice <window> <event> [<device path> [<device type>]]  sends
//                                          WM_DEVICECHANGE with a device-interface
//                                          record (none without a path); prints the
//                                          answer, or "pending" while the handler runs
#include <windows.h>
#include <dbt.h>
#include <psapi.h>
#include <shellapi.h>
#include <winternl.h>

#include <commctrl.h>
#include <dbt.h>

#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

// What a verb prints, gathered, so that "until" can ask a query again and
// again and print only its last answer.
std::string g_out;
void Out(const char* format, ...) __attribute__((format(__MINGW_PRINTF_FORMAT, 1, 2)));
void Out(const char* format, ...) {
    char text[8192];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    g_out += text;
}

struct Query {
    std::string cls;
    std::string title;
    bool byTitle = true;
    bool byClass = false;
    int control = 0;  // a control the window must have; 0 for any window
};

Query Parse(std::string name) {
    Query q;
    const std::size_t at = name.rfind('@');
    if (at != std::string::npos && at + 1 < name.size() &&
        name.find_first_not_of("0123456789", at + 1) == std::string::npos) {
        q.control = std::atoi(name.c_str() + at + 1);
        name.resize(at);
    }
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
    if (c->q->control && !::GetDlgItem(hwnd, c->q->control)) return TRUE;
    c->found.push_back(hwnd);
    return TRUE;
}

BOOL CALLBACK PrintClass(HWND child, LPARAM) {
    char cls[256];
    ::GetClassNameA(child, cls, sizeof(cls));
    Out("%s\n", cls);
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
    if (!hwnd) std::fprintf(stderr, "wintest: no window \"%s\"\n", name.c_str());
    return hwnd;
}

long Number(const char* text) { return std::strtol(text, nullptr, 0); }

std::string TextOf(HWND hwnd) {
    char buf[4096] = {};
    ::SendMessageA(hwnd, WM_GETTEXT, sizeof(buf), reinterpret_cast<LPARAM>(buf));
    return buf;
}

// WM_DEVICECHANGE as the system sends it, with a record of the given type.
LRESULT SendDeviceChange(HWND hwnd, WPARAM event, int type, const std::string& name) {
    if (type == DBT_DEVTYP_DEVICEINTERFACE) {
        const std::size_t size = offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name) + name.size() + 1;
        std::vector<DWORD> memory(size / sizeof(DWORD) + 1, 0);
        auto* record = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_A*>(memory.data());
        record->dbcc_size = static_cast<DWORD>(size);
        record->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        // GUID_DEVINTERFACE_USB_DEVICE
        record->dbcc_classguid = {0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};
        std::memcpy(record->dbcc_name, name.c_str(), name.size() + 1);
        return ::SendMessageA(hwnd, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(record));
    }
    if (type == DBT_DEVTYP_VOLUME) {
        DEV_BROADCAST_VOLUME volume{};
        volume.dbcv_size = sizeof(volume);
        volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
        volume.dbcv_unitmask = 1u << 4;
        return ::SendMessageA(hwnd, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&volume));
    }
    return ::SendMessageA(hwnd, WM_DEVICECHANGE, event, 0);
}

// Kernel object handles the process holds, counted in the system's handle
// list (NtQuerySystemInformation, SystemHandleInformation); -1 when unknown.
long CountHandles(DWORD pid) {
    struct Entry {
        ULONG ownerPid;
        BYTE objectType;
        BYTE flags;
        USHORT handle;
        PVOID object;
        ULONG access;
    };
    struct List {
        ULONG count;
        Entry entries[1];
    };
    using Query = LONG(WINAPI*)(int, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) return -1;
    constexpr int kSystemHandleInformation = 16;
    std::vector<BYTE> buffer(1 << 16);
    for (int tries = 0; tries < 8; ++tries) {
        ULONG needed = 0;
        LONG status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == 0) {
            const auto* list = reinterpret_cast<const List*>(buffer.data());
            long count = 0;
            for (ULONG i = 0; i < list->count; ++i)
                if (list->entries[i].ownerPid == pid) ++count;
            return count;
        }
        buffer.resize(needed > buffer.size() ? needed + 4096 : buffer.size() * 2);
    }
    return -1;
}

// The commonest colour of a screen rectangle after its commonest (the background).
std::string TextColour(const RECT& r) {
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0) return "none";
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    std::map<DWORD, int> counts;
    const DWORD* pixels = static_cast<const DWORD*>(bits);
    for (int i = 0; i < width * height; ++i) ++counts[pixels[i] & 0xFFFFFF];
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);

    std::pair<DWORD, int> first{0, 0}, second{0, 0};
    for (const auto& c : counts) {
        if (c.second > first.second) { second = first; first = c; }
        else if (c.second > second.second) second = c;
    }
    if (second.second == 0) return "none";
    char text[32];
    std::snprintf(text, sizeof(text), "%lu,%lu,%lu", (second.first >> 16) & 0xFF,
                  (second.first >> 8) & 0xFF, second.first & 0xFF);
    return text;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(child);
    return TRUE;
}

std::vector<HWND> Children(HWND hwnd) {
    std::vector<HWND> children;
    ::EnumChildWindows(hwnd, &CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

std::string ClassOf(HWND hwnd) {
    char cls[256] = {};
    ::GetClassNameA(hwnd, cls, sizeof(cls));
    return cls;
}

// A message box: a dialog whose children are only static texts and
// buttons, with at least one button and every button one of the message
// box answers (IDOK to IDCONTINUE). Dialogs of the programs under test
// have other controls or buttons of their own ids.
bool IsMessageBox(HWND hwnd) {
    if (ClassOf(hwnd) != "#32770") return false;
    int buttons = 0;
    for (HWND child : Children(hwnd)) {
        const std::string cls = ClassOf(child);
        if (cls == "Button") {
            const int id = ::GetDlgCtrlID(child);
            if (id < IDOK || id > IDCONTINUE) return false;
            ++buttons;
        } else if (cls != "Static") {
            return false;
        }
    }
    return buttons > 0;
}

HWND FindMessageBox(const std::string& caption) {
    for (HWND box : FindAll(Parse("class:#32770"))) {
        if (!::IsWindowVisible(box) || !IsMessageBox(box)) continue;
        if (caption == "*" || TextOf(box) == caption) return box;
    }
    return nullptr;
}

HWND WaitForMessageBox(const std::string& caption, DWORD limit) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (HWND box = FindMessageBox(caption)) return box;
        if (::GetTickCount() - start > limit) return nullptr;
        ::Sleep(50);
    }
}

// A list view item's text, read through a buffer in the list view's process.
std::string ListViewText(HWND list, int item) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(list, &process);
    HANDLE handle = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process);
    if (!handle) return std::string();
    const std::size_t textSize = 512;
    auto* remote = static_cast<char*>(::VirtualAllocEx(handle, nullptr, sizeof(LVITEMA) + textSize,
                                                       MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    std::string text;
    if (remote) {
        LVITEMA request{};
        request.iSubItem = 0;
        request.pszText = remote + sizeof(LVITEMA);
        request.cchTextMax = static_cast<int>(textSize);
        char buffer[textSize] = {};
        if (::WriteProcessMemory(handle, remote, &request, sizeof(request), nullptr)) {
            ::SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(remote));
            if (::ReadProcessMemory(handle, remote + sizeof(LVITEMA), buffer, textSize - 1, nullptr)) text = buffer;
        }
        ::VirtualFreeEx(handle, remote, 0, MEM_RELEASE);
    }
    ::CloseHandle(handle);
    return text;
}

int Usage() {
    std::fprintf(stderr, "usage: wintest wait|gone|list|count|visible|children|rect|text|command|click|key|close|"
                         "post|send|popups|answer|press|pid|alive|device|colour|procinfo|enabled|items|selected|"
                         "select|lvtext|lvstate|lclick|notice ...\n");
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

// One verb with its arguments (argv[1], argv[2], ...); its output goes to g_out.
struct ProcessWindows {
    DWORD process;
    std::vector<HWND>* seen;
};

BOOL CALLBACK NoteVisibleWindow(HWND hwnd, LPARAM lp) {
    auto* c = reinterpret_cast<ProcessWindows*>(lp);
    DWORD process = 0;
    ::GetWindowThreadProcessId(hwnd, &process);
    if (process == c->process && ::IsWindowVisible(hwnd)) {
        bool known = false;
        for (HWND w : *c->seen) known = known || w == hwnd;
        if (!known) c->seen->push_back(hwnd);
    }
    return TRUE;
}

int Exec(DWORD limit, const char* commandLine) {
    std::vector<char> line(commandLine, commandLine + std::strlen(commandLine) + 1);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        Out("exit=notstarted error=%lu\n", ::GetLastError());
        return 1;
    }
    std::vector<HWND> seen;
    ProcessWindows context{info.dwProcessId, &seen};
    const DWORD start = ::GetTickCount();
    DWORD waited;
    do {
        ::EnumWindows(NoteVisibleWindow, reinterpret_cast<LPARAM>(&context));
        waited = ::WaitForSingleObject(info.hProcess, 20);
    } while (waited == WAIT_TIMEOUT && ::GetTickCount() - start < limit);
    DWORD code = 0;
    const bool ended = waited == WAIT_OBJECT_0 && ::GetExitCodeProcess(info.hProcess, &code);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    if (!ended) {
        Out("exit=running windows=%u\n", static_cast<unsigned>(seen.size()));
        return 1;
    }
    Out("exit=%lu windows=%u\n", code, static_cast<unsigned>(seen.size()));
    return 0;
}

int Run(int argc, char** argv) {
    if (argc < 3) return Usage();
    std::string verb = argv[1];
    std::string name = argv[2];

    if (verb == "exec" && argc > 3) return Exec(static_cast<DWORD>(Number(argv[2])), argv[3]);

    if (verb == "wait" || verb == "gone" || verb == "shown") {
        DWORD limit = argc > 3 ? static_cast<DWORD>(Number(argv[3])) : 10000;
        DWORD start = ::GetTickCount();
        for (;;) {
            const std::vector<HWND> found = FindAll(Parse(name));
            if (verb == "shown") {
                for (HWND w : found)
                    if (::IsWindowVisible(w)) return 0;
            } else if (found.empty() != (verb == "wait")) {
                return 0;
            }
            if (::GetTickCount() - start > limit) return 1;
            ::Sleep(verb == "shown" ? 10 : 50);
        }
    }
    if (verb == "list") {  // every top-level window: class|title|visible (the name is ignored)
        for (HWND w : FindAll(Query{"", "", false, false})) {
            char cls[256], title[256];
            ::GetClassNameA(w, cls, sizeof(cls));
            ::GetWindowTextA(w, title, sizeof(title));
            Out("%s|%s|%d\n", cls, title, ::IsWindowVisible(w) ? 1 : 0);
        }
        return 0;
    }
    if (verb == "count") {
        Out("%u\n", static_cast<unsigned>(FindAll(Parse(name)).size()));
        return 0;
    }
    if (verb == "popups") {
        HWND box = WaitForMessageBox(name, argc > 3 ? static_cast<DWORD>(Number(argv[3])) : 10000);
        if (!box) return 1;
        HWND text = ::GetDlgItem(box, 0xFFFF);
        std::string buttons;
        for (HWND child : Children(box)) {
            if (ClassOf(child) != "Button" || !::IsWindowVisible(child)) continue;
            buttons += (buttons.empty() ? "" : ",") + TextOf(child);
        }
        Out("%s|%s|%s\n", TextOf(box).c_str(), text ? TextOf(text).c_str() : "", buttons.c_str());
        return 0;
    }
    if (verb == "press" && argc > 3) {
        HWND box = WaitForMessageBox(name, 10000);
        if (!box) return 1;
        HWND button = ::GetDlgItem(box, static_cast<int>(Number(argv[3])));
        if (!button) return 2;
        ::PostMessageA(button, BM_CLICK, 0, 0);
        return 0;
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
        Out("%s|%s\n", name.c_str(), text ? TextOf(text).c_str() : "");
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
        Out("%d\n", running ? 1 : 0);
        return 0;
    }

    if (verb == "service") {
        SC_HANDLE manager = ::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
        SC_HANDLE service = manager ? ::OpenServiceA(manager, name.c_str(), SERVICE_QUERY_CONFIG) : nullptr;
        DWORD needed = 0;
        std::vector<unsigned char> buffer(8192);
        auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
        const bool read = service && ::QueryServiceConfigA(service, config, static_cast<DWORD>(buffer.size()), &needed);
        if (read)
            Out("%lu|%lu|%s\n", config->dwServiceType, config->dwStartType,
                config->lpBinaryPathName ? config->lpBinaryPathName : "");
        if (service) ::CloseServiceHandle(service);
        if (manager) ::CloseServiceHandle(manager);
        return read ? 0 : 1;
    }

    if (verb == "broadcast") {
        const UINT message = ::RegisterWindowMessageA(name.c_str());
        if (!message || !::PostMessageA(HWND_BROADCAST, message, 0, 0)) return 1;
        return 0;
    }

    HWND hwnd = MustFind(name);
    if (!hwnd) return 2;
    if (verb == "untray" && argc > 3) {
        NOTIFYICONDATAA icon{};
        icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
        icon.hWnd = hwnd;
        icon.uID = static_cast<UINT>(Number(argv[3]));
        Out("%d\n", ::Shell_NotifyIconA(NIM_DELETE, &icon) ? 1 : 0);
        return 0;
    }
    if (verb == "responds") {
        const UINT limit = argc > 3 ? static_cast<UINT>(Number(argv[3])) : 3000;
        DWORD_PTR answer = 0;
        const bool answered =
            ::SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_NORMAL, limit, &answer) != 0;
        Out("%d\n", answered ? 1 : 0);
        return 0;
    }
    if (verb == "visible") {
        Out("%d\n", ::IsWindowVisible(hwnd) ? 1 : 0);
    } else if (verb == "pid") {
        DWORD process = 0;
        ::GetWindowThreadProcessId(hwnd, &process);
        Out("%lu\n", static_cast<unsigned long>(process));
    } else if (verb == "children") {
        ::EnumChildWindows(hwnd, &PrintClass, 0);
    } else if (verb == "rect") {
        RECT r;
        ::GetWindowRect(hwnd, &r);
        Out("%ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
    } else if (verb == "text") {
        HWND target = argc > 3 ? ::GetDlgItem(hwnd, static_cast<int>(Number(argv[3]))) : hwnd;
        if (!target) return 2;
        Out("%s\n", TextOf(target).c_str());
    } else if (verb == "device" && argc > 4) {
        std::string deviceName = argc > 5 ? argv[5] : "";
        Out("%lld\n", static_cast<long long>(SendDeviceChange(
                                  hwnd, static_cast<WPARAM>(Number(argv[3])),
                                  static_cast<int>(Number(argv[4])), deviceName)));
    } else if (verb == "colour" && argc > 3) {
        HWND control = ::GetDlgItem(hwnd, static_cast<int>(Number(argv[3])));
        if (!control) return 2;
        RECT r;
        ::GetWindowRect(control, &r);
        Out("%s\n", TextColour(r).c_str());
    } else if (verb == "procinfo") {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(hwnd, &pid);
        HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
        if (!process) return 3;
        long handles = CountHandles(pid);
        PROCESS_MEMORY_COUNTERS_EX memory{};
        memory.cb = sizeof(memory);
        ::K32GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                                  sizeof(memory));
        Out("pid=%lu handles=%ld workingset=%llu\n", pid, handles,
                    static_cast<unsigned long long>(memory.WorkingSetSize));
        ::CloseHandle(process);
    } else if (verb == "cwd") {
        // The process parameters' current directory, read from its PEB.
        DWORD pid = 0;
        ::GetWindowThreadProcessId(hwnd, &pid);
        HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
        if (!process) return 3;
        using QueryFn = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
        auto query = reinterpret_cast<QueryFn>(
            reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll"), "NtQueryInformationProcess")));
        ULONG_PTR basic[6] = {};  // PROCESS_BASIC_INFORMATION: PebBaseAddress is the second field
        ULONG_PTR parameters = 0;
        UNICODE_STRING directory = {};
#ifdef _WIN64
        const SIZE_T parametersAt = 0x20, directoryAt = 0x38;
#else
        const SIZE_T parametersAt = 0x10, directoryAt = 0x24;
#endif
        std::wstring text;
        if (query && query(process, 0, basic, sizeof(basic), nullptr) == 0 &&
            ::ReadProcessMemory(process, reinterpret_cast<char*>(basic[1]) + parametersAt, &parameters,
                                sizeof(parameters), nullptr) &&
            ::ReadProcessMemory(process, reinterpret_cast<char*>(parameters) + directoryAt, &directory,
                                sizeof(directory), nullptr)) {
            text.resize(directory.Length / sizeof(WCHAR));
            if (!::ReadProcessMemory(process, directory.Buffer, &text[0], directory.Length, nullptr)) text.clear();
        }
        ::CloseHandle(process);
        if (text.empty()) return 3;
        char narrow[1024] = {};
        ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), narrow, sizeof(narrow) - 1,
                              nullptr, nullptr);
        Out("%s\n", narrow);
    } else if (verb == "enabled" && argc > 3) {
        HWND control = ::GetDlgItem(hwnd, static_cast<int>(Number(argv[3])));
        if (!control) return 2;
        Out("%d\n", ::IsWindowEnabled(control) ? 1 : 0);
    } else if (verb == "items" && argc > 3) {
        HWND list = ::GetDlgItem(hwnd, static_cast<int>(Number(argv[3])));
        if (!list) return 2;
        const LRESULT count = ::SendMessageA(list, LB_GETCOUNT, 0, 0);
        // Asked in wide characters: Wine hands an ANSI list box's text to
        // another process that way only.
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t item[512] = {};
            char text[1024] = {};
            if (::SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0) < 512)
                ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
            ::WideCharToMultiByte(CP_ACP, 0, item, -1, text, sizeof(text), nullptr, nullptr);
            Out("%s\n", text);
        }
    } else if (verb == "selected" && argc > 3) {
        HWND list = ::GetDlgItem(hwnd, static_cast<int>(Number(argv[3])));
        if (!list) return 2;
        Out("%ld\n", static_cast<long>(::SendMessageA(list, LB_GETCURSEL, 0, 0)));
    } else if (verb == "select" && argc > 4) {
        const int id = static_cast<int>(Number(argv[3]));
        HWND list = ::GetDlgItem(hwnd, id);
        if (!list) return 2;
        ::SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(Number(argv[4])), 0);
        ::SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    } else if ((verb == "lvtext" || verb == "lvstate") && argc > 4) {
        HWND list = ::GetDlgItem(hwnd, static_cast<int>(Number(argv[3])));
        if (!list) return 2;
        const int item = static_cast<int>(Number(argv[4]));
        if (verb == "lvtext")
            Out("%s\n", ListViewText(list, item).c_str());
        else
            Out("%ld\n", static_cast<long>(::SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(item),
                                                                 LVIS_SELECTED | LVIS_FOCUSED)));
    } else if (verb == "lclick" && argc > 5) {
        HWND control = ::GetDlgItem(hwnd, static_cast<int>(Number(argv[3])));
        if (!control) return 2;
        const LPARAM at = MAKELPARAM(Number(argv[4]), Number(argv[5]));
        ::PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageA(control, WM_LBUTTONUP, 0, at);
    } else if (verb == "notice" && argc > 3) {
        const WPARAM event = static_cast<WPARAM>(Number(argv[3]));
        std::vector<char> record;
        if (argc > 4) {
            const std::size_t nameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name);
            record.assign(nameOffset + std::strlen(argv[4]) + 1, '\0');
            auto* header = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_A*>(record.data());
            header->dbcc_size = static_cast<DWORD>(record.size());
            header->dbcc_devicetype = argc > 5 ? static_cast<DWORD>(Number(argv[5])) : DBT_DEVTYP_DEVICEINTERFACE;
            std::memcpy(record.data() + nameOffset, argv[4], std::strlen(argv[4]) + 1);
        }
        DWORD_PTR answer = 0;
        // The model's arrival runs the whole installation inside the
        // handler: the test goes on while it runs.
        if (::SendMessageTimeoutA(hwnd, WM_DEVICECHANGE, event,
                                  record.empty() ? 0 : reinterpret_cast<LPARAM>(record.data()), SMTO_NORMAL, 1500,
                                  &answer))
            Out("%lld\n", static_cast<long long>(answer));
        else
            Out("pending\n");
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
    } else if (verb == "show") {
        ::ShowWindow(hwnd, SW_SHOWNA);
    } else if (verb == "close") {
        ::PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else if ((verb == "post" || verb == "send") && argc > 5) {
        UINT msg = static_cast<UINT>(Number(argv[3]));
        WPARAM wp = static_cast<WPARAM>(Number(argv[4]));
        LPARAM lp = static_cast<LPARAM>(static_cast<ULONG_PTR>(std::strtoull(argv[5], nullptr, 0)));
        if (verb == "post") {
            ::PostMessageA(hwnd, msg, wp, lp);
        } else {
            Out("%lld\n", static_cast<long long>(::SendMessageA(hwnd, msg, wp, lp)));
        }
    } else {
        return Usage();
    }
    return 0;
}

// The answer of a query as the scripts compare it: without carriage
// returns and trailing line ends.
std::string Trimmed(std::string text) {
    std::string out;
    for (char c : text)
        if (c != '\r') out += c;
    while (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage();
    // Programs run in a virtual desktop (explorer /desktop=NAME,...) are
    // seen from that desktop only.
    char desktopName[256] = {};
    if (::GetEnvironmentVariableA("WINTEST_DESKTOP", desktopName, sizeof(desktopName)) > 0) {
        HDESK desktop = nullptr;  // it may still be in the making
        for (int i = 0; i < 200 && !desktop; ++i) {
            desktop = ::OpenDesktopA(desktopName, 0, FALSE, GENERIC_ALL);
            if (!desktop) ::Sleep(50);
        }
        if (!desktop || !::SetThreadDesktop(desktop)) {
            std::fprintf(stderr, "wintest: no desktop \"%s\"\n", desktopName);
            return 2;
        }
    }
    int status = 0;
    if (std::string(argv[1]) == "until") {
        if (argc < 6) return Usage();
        const std::string expected = argv[2];
        const DWORD limit = static_cast<DWORD>(Number(argv[3]));
        const DWORD start = ::GetTickCount();
        for (;;) {
            g_out.clear();
            Run(argc - 3, argv + 3);
            if (Trimmed(g_out) == expected) break;
            if (::GetTickCount() - start > limit) {
                status = 1;
                break;
            }
            ::Sleep(100);
        }
    } else {
        status = Run(argc, argv);
    }
    std::fputs(g_out.c_str(), stdout);
    return status;
}
