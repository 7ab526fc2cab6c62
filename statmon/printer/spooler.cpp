#include "statmon/printer/spooler.h"

#include <cstdio>
#include <new>

namespace statmon {
namespace {

class ProcessHeap final : public ISpoolHeap {
public:
    std::unique_ptr<std::uint8_t[]> Allocate(std::uint32_t size) override {
        return std::unique_ptr<std::uint8_t[]>(new (std::nothrow) std::uint8_t[size]);
    }
    void WriteLine(const std::string& line) override {
        // Without a console stdout is not connected and the write just fails.
        std::fputs(line.c_str(), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    }
};

}  // namespace

ISpoolHeap& ProcessSpoolHeap() {
    static ProcessHeap heap;
    return heap;
}

std::unique_ptr<std::uint8_t[]> AllocateRecordBuffer(ISpoolHeap& heap, std::uint32_t needed) {
    char line[64];
    std::snprintf(line, sizeof(line), "Allocating a buffer of size %d", static_cast<int>(needed));
    heap.WriteLine(line);
    auto buffer = heap.Allocate(needed ? needed : 1);
    if (!buffer) heap.WriteLine("Can't get memory for new data buffer");
    return buffer;
}

}  // namespace statmon
