// The print spooler operations the monitor uses, shaped like OpenPrinterA,
// GetPrinterA, EnumJobsA and ClosePrinter. Records come back in the caller's
// buffer as the spooler lays them out; the spooler object also decodes the
// few fields the monitor reads, so the logic needs no windows.h.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "common/spool_buffer.h"

namespace statmon {

using PrinterHandle = std::uintptr_t;  // opaque queue handle; 0 is no queue

// The access the monitor opens its queue with: reading the queue's records
// and its job list needs no more, and a standard user is granted it.
constexpr std::uint32_t PRINTER_ACCESS_USE_RIGHTS = 0x8;  // PRINTER_ACCESS_USE
constexpr std::uint32_t ERROR_INSUFFICIENT_BUFFER_CODE = 122;  // ERROR_INSUFFICIENT_BUFFER

using common::kSizeQueryBytes;  // the scratch buffer of a size query

// PRINTER_DEFAULTSA: data type, device mode, desired access.
struct PrinterDefaults {
    const char* pDatatype = nullptr;
    const void* pDevMode = nullptr;
    std::uint32_t DesiredAccess = 0;
};

// The fields of the records that the monitor reads.
struct PrinterInfo5 {   // PRINTER_INFO_5
    std::string pPortName;
};
struct PrinterInfo2 {   // PRINTER_INFO_2
    std::uint32_t Status = 0;
    std::uint32_t cJobs = 0;
};
struct JobInfo2 {       // JOB_INFO_2
    std::uint32_t Status = 0;
};

class ISpooler {
public:
    virtual ~ISpooler() = default;

    // Each call answers its BOOL; LastError() is GetLastError right after it.
    virtual bool OpenPrinterA(const std::string& name, PrinterHandle* printer,
                              const PrinterDefaults* defaults) = 0;
    virtual bool GetPrinterA(PrinterHandle printer, std::uint32_t level, std::uint8_t* buffer,
                             std::uint32_t size, std::uint32_t* needed) = 0;
    virtual bool EnumJobsA(PrinterHandle printer, std::uint32_t firstJob, std::uint32_t count,
                           std::uint32_t level, std::uint8_t* buffer, std::uint32_t size,
                           std::uint32_t* needed, std::uint32_t* returned) = 0;
    virtual bool ClosePrinter(PrinterHandle printer) = 0;
    virtual std::uint32_t LastError() const = 0;

    // Decoding of a buffer that a successful call above filled (size is the
    // buffer's size). False when the record does not fit the buffer.
    virtual bool DecodePrinterInfo5(const std::uint8_t* buffer, std::uint32_t size,
                                    PrinterInfo5* info) const = 0;
    virtual bool DecodePrinterInfo2(const std::uint8_t* buffer, std::uint32_t size,
                                    PrinterInfo2* info) const = 0;
    virtual bool DecodeJobInfo2(const std::uint8_t* buffer, std::uint32_t size,
                                std::uint32_t index, JobInfo2* info) const = 0;
};

// The spooler of the running system (Win32, spooler_win.cpp).
std::unique_ptr<ISpooler> CreateSpooler();

// Record buffers and their diagnostic lines: shared with Setup.
using common::AllocateRecordBuffer;
using common::ISpoolHeap;
using common::ProcessSpoolHeap;

}  // namespace statmon
