// TEST-ONLY: the script of the spooler stand-in (README.md here), read from
// its text. Plain C++ so that the format stays apart from the DLL around it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace standin {

struct DriverRefusal {
    std::string driver;   // the driver's name, compared without regard to case
    std::uint32_t error;  // the Win32 error its deletion fails with
};

struct SpoolerScript {
    bool hasStatus = false;
    std::uint32_t status = 0;  // PRINTER_INFO_2 Status of every queue
    bool hasJobs = false;
    std::vector<std::uint32_t> jobs;  // JOB_INFO_2 Status of each job, in order
    std::string datatype = "RAW";     // AddPrinterA's data type when none is given
    std::uint32_t printerExists = 1802;  // ERROR_PRINTER_ALREADY_EXISTS; 0: Wine's answer
    std::uint32_t unknownPort = 1796;    // ERROR_UNKNOWN_PORT; 0: Wine's answer
    std::vector<DriverRefusal> refusedDrivers;
    // hold-after N: after N queue reads (GetPrinterA level 2 answered) with
    // this script, the next one waits until the script changes; -1: never.
    int holdAfter = -1;

    // The error the deletion of the named driver is refused with, 0 when none.
    std::uint32_t DriverRefusalError(const char* driver) const;
};

// Reads the lines of a script; lines it does not know are skipped.
SpoolerScript ParseSpoolerScript(const std::string& text);

}  // namespace standin
