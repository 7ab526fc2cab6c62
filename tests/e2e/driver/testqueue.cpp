// testqueue: test set-up for the end-to-end tests and the screenshots: a
// printer queue made with the test-only driver, in place of the printer
// that Setup would install on a real machine.
//
//   testqueue create <name> <port>    the queue on that port (replacing one of that name)
//   testqueue move <name> <port>      moves it, and publishes the port as Windows' spooler does
//   testqueue delete <name>
#include <cstdio>
#include <string>

#include "win/testdriver/test_queue.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: testqueue create|move|delete <name> [<port>]\n");
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
    return 64;
}
