// The spooler of the running system, over winspool's ANSI calls.
#include <windows.h>
#include <winspool.h>

#include <cstddef>

#include "statmon/printer/spooler.h"

namespace statmon {
namespace {

static_assert(sizeof(PrinterHandle) >= sizeof(HANDLE), "a queue handle fits the opaque handle");
static_assert(PRINTER_ACCESS_USE_RIGHTS == PRINTER_ACCESS_USE, "PRINTER_ACCESS_USE");
static_assert(ERROR_INSUFFICIENT_BUFFER_CODE == ERROR_INSUFFICIENT_BUFFER,
              "ERROR_INSUFFICIENT_BUFFER");
#if !defined(_WIN64)
static_assert(sizeof(PRINTER_INFO_5A) == 20, "PRINTER_INFO_5A is 20 bytes");
static_assert(sizeof(PRINTER_INFO_2A) == 84, "PRINTER_INFO_2A is 84 bytes");
static_assert(sizeof(JOB_INFO_2A) == 104, "JOB_INFO_2A is 104 bytes");
#endif

class Win32Spooler final : public ISpooler {
public:
    bool OpenPrinterA(const std::string& name, PrinterHandle* printer,
                      const PrinterDefaults* defaults) override {
        PRINTER_DEFAULTSA pd{};
        if (defaults) {
            pd.pDatatype = const_cast<LPSTR>(defaults->pDatatype);
            pd.pDevMode = static_cast<LPDEVMODEA>(const_cast<void*>(defaults->pDevMode));
            pd.DesiredAccess = defaults->DesiredAccess;
        }
        HANDLE handle = nullptr;
        BOOL ok = ::OpenPrinterA(const_cast<LPSTR>(name.c_str()), &handle, defaults ? &pd : nullptr);
        m_lastError = ::GetLastError();
        if (printer) *printer = ok ? reinterpret_cast<PrinterHandle>(handle) : 0;
        return ok != FALSE;
    }

    bool GetPrinterA(PrinterHandle printer, std::uint32_t level, std::uint8_t* buffer,
                     std::uint32_t size, std::uint32_t* needed) override {
        DWORD need = 0;
        BOOL ok = ::GetPrinterA(reinterpret_cast<HANDLE>(printer), level, buffer, size, &need);
        m_lastError = ::GetLastError();
        if (needed) *needed = need;
        return ok != FALSE;
    }

    bool EnumJobsA(PrinterHandle printer, std::uint32_t firstJob, std::uint32_t count,
                   std::uint32_t level, std::uint8_t* buffer, std::uint32_t size,
                   std::uint32_t* needed, std::uint32_t* returned) override {
        DWORD need = 0, got = 0;
        BOOL ok = ::EnumJobsA(reinterpret_cast<HANDLE>(printer), firstJob, count, level, buffer,
                              size, &need, &got);
        m_lastError = ::GetLastError();
        if (needed) *needed = need;
        if (returned) *returned = got;
        return ok != FALSE;
    }

    bool ClosePrinter(PrinterHandle printer) override {
        BOOL ok = ::ClosePrinter(reinterpret_cast<HANDLE>(printer));
        m_lastError = ::GetLastError();
        return ok != FALSE;
    }

    std::uint32_t LastError() const override { return m_lastError; }

    bool DecodePrinterInfo5(const std::uint8_t* buffer, std::uint32_t size,
                            PrinterInfo5* info) const override {
        if (!buffer || !info || size < sizeof(PRINTER_INFO_5A)) return false;
        const auto* record = reinterpret_cast<const PRINTER_INFO_5A*>(buffer);
        info->pPortName = record->pPortName ? record->pPortName : "";
        return true;
    }

    bool DecodePrinterInfo2(const std::uint8_t* buffer, std::uint32_t size,
                            PrinterInfo2* info) const override {
        if (!buffer || !info || size < sizeof(PRINTER_INFO_2A)) return false;
        const auto* record = reinterpret_cast<const PRINTER_INFO_2A*>(buffer);
        info->Status = record->Status;
        info->cJobs = record->cJobs;
        return true;
    }

    bool DecodeJobInfo2(const std::uint8_t* buffer, std::uint32_t size, std::uint32_t index,
                        JobInfo2* info) const override {
        if (!buffer || !info) return false;
        if ((static_cast<std::size_t>(index) + 1) * sizeof(JOB_INFO_2A) > size) return false;
        const auto* records = reinterpret_cast<const JOB_INFO_2A*>(buffer);
        info->Status = records[index].Status;
        return true;
    }

private:
    std::uint32_t m_lastError = 0;
};

}  // namespace

std::unique_ptr<ISpooler> CreateSpooler() { return std::make_unique<Win32Spooler>(); }

}  // namespace statmon
