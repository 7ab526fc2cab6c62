// testqueue: test set-up for the end-to-end tests and the screenshots: a
// printer queue made with the test-only driver, in place of the printer
// that Setup would install on a real machine.
//
//   testqueue create <name> <port>    the queue on that port (replacing one of that name)
//   testqueue move <name> <port>      moves it, and publishes the port as Windows' spooler does
//   testqueue delete <name>
//   testqueue show <name>             prints "port|driver" of the queue; fails when it cannot be opened
//   testqueue drivers -               prints the name of every installed printer driver
//   testqueue port <name>             prints the queue's port (fails without the queue)
//   testqueue default -               prints the default printer's name
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <string>
#include <vector>

#include "win/testdriver/test_queue.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: testqueue create|move|delete|show|port|drivers|default <name> [<port>]\n");
        return 64;
    }
    std::string verb = argv[1], name = argv[2];
    std::string error;
    if (verb == "create" && argc > 3) {
        if (!testqueue::CreateTestQueue(name, argv[3], &error)) {
            std::fprintf(stderr, "testqueue: %s\n", error.c_str());
            return 1;
        }
        return testqueue::PublishPortName(name, argv[3]) ? 0 : 1;
    }
    if (verb == "move" && argc > 3)
        return testqueue::SetQueuePort(name, argv[3]) && testqueue::PublishPortName(name, argv[3]) ? 0 : 1;
    if (verb == "delete") return testqueue::DeleteTestQueue(name) ? 0 : 1;
    if (verb == "show" || verb == "port") {
        HANDLE printer = nullptr;
        if (!::OpenPrinterA(&name[0], &printer, nullptr)) return 1;
        DWORD needed = 0;
        ::GetPrinterA(printer, 2, nullptr, 0, &needed);
        std::vector<BYTE> buffer(needed ? needed : 1);
        const bool read = ::GetPrinterA(printer, 2, buffer.data(), needed, &needed) != FALSE;
        ::ClosePrinter(printer);
        if (!read) return 1;
        const auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
        if (verb == "port")
            std::printf("%s\n", info->pPortName ? info->pPortName : "");
        else
            std::printf("%s|%s\n", info->pPortName ? info->pPortName : "", info->pDriverName ? info->pDriverName : "");
        return 0;
    }
    if (verb == "drivers") {
        DWORD needed = 0, count = 0;
        ::EnumPrinterDriversA(nullptr, nullptr, 1, nullptr, 0, &needed, &count);
        std::vector<BYTE> buffer(needed ? needed : 1);
        if (!::EnumPrinterDriversA(nullptr, nullptr, 1, buffer.data(), needed, &needed, &count)) return 1;
        const auto* drivers = reinterpret_cast<const DRIVER_INFO_1A*>(buffer.data());
        for (DWORD i = 0; i < count; ++i) std::printf("%s\n", drivers[i].pName);
        return 0;
    }
    if (verb == "default") {
        char printer[512] = {};
        DWORD size = sizeof(printer);
        if (!::GetDefaultPrinterA(printer, &size)) return 1;
        std::printf("%s\n", printer);
        return 0;
    }
    return 64;
}
