// The print spooler's variable-sized answers, read the way both programs
// read them: a first call with a 10-byte scratch buffer learns the size
// (failing with ERROR_INSUFFICIENT_BUFFER), a second call fills a buffer of
// exactly that size. Before the allocation the line "Allocating a buffer of
// size %d" goes to standard output, and "Can't get memory for new data
// buffer" when the allocation fails.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace common {

// Size of the scratch buffer of a size query.
constexpr std::uint32_t kSizeQueryBytes = 10;
constexpr std::uint32_t kErrorInsufficientBuffer = 122;

// Heap for spooler records and the place of the diagnostic lines.
class ISpoolHeap {
public:
    virtual ~ISpoolHeap() = default;
    // Null when no memory can be had.
    virtual std::unique_ptr<std::uint8_t[]> Allocate(std::uint32_t size) = 0;
    // One diagnostic line (without line break).
    virtual void WriteLine(const std::string& line) = 0;
};

// The process heap; lines go to standard output (dropped when there is none).
ISpoolHeap& ProcessSpoolHeap();

// A record buffer of the needed size: writes "Allocating a buffer of size %d"
// first and "Can't get memory for new data buffer" when allocation fails
// (then answers null).
std::unique_ptr<std::uint8_t[]> AllocateRecordBuffer(ISpoolHeap& heap, std::uint32_t needed);

// What one call of a spooler function answered: its BOOL and, when it
// failed, GetLastError right after it.
struct SpoolCallResult {
    bool ok = false;
    std::uint32_t lastError = 0;
};

// One call into the caller's buffer: (buffer, its size, receives the size needed).
using SpoolCall = std::function<SpoolCallResult(std::uint8_t* buffer, std::uint32_t size, std::uint32_t* needed)>;

enum class SpoolRead {
    Failed,  // the size query failed otherwise, no memory, or the read failed
    Empty,   // the size query succeeded already: there is nothing to read
    Read,    // `buffer` holds the answer, `size` bytes
};

struct SpoolRecords {
    SpoolRead outcome = SpoolRead::Failed;
    std::unique_ptr<std::uint8_t[]> buffer;
    std::uint32_t size = 0;
};

// The size query, then the read into a new buffer of the size named.
SpoolRecords ReadSpoolRecords(ISpoolHeap& heap, const SpoolCall& call);

}  // namespace common
