#include "common/spool_buffer.h"

#include <cstdio>
#include <new>

namespace common {
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

SpoolRecords ReadSpoolRecords(ISpoolHeap& heap, const SpoolCall& call) {
    SpoolRecords records;
    std::uint8_t scratch[kSizeQueryBytes] = {};
    std::uint32_t needed = 0;
    const SpoolCallResult query = call(scratch, sizeof(scratch), &needed);
    if (query.ok) {
        records.outcome = SpoolRead::Empty;
        return records;
    }
    // A refusal that names no size leaves nothing to allocate.
    if (query.lastError != kErrorInsufficientBuffer || needed == 0) return records;

    std::unique_ptr<std::uint8_t[]> buffer = AllocateRecordBuffer(heap, needed);
    if (!buffer) return records;
    std::uint32_t again = 0;
    if (!call(buffer.get(), needed, &again).ok) return records;
    records.outcome = SpoolRead::Read;
    records.buffer = std::move(buffer);
    records.size = needed;
    return records;
}

}  // namespace common
