// The log of an unattended run: one line per step, appended to a text
// file, each with the local time, the program, the step and its outcome
// (with the Win32 error code where one failed), for example
//   2026-12-10 14:02:11 Setup: printer driver "KLR VX 7 Ember": failed, error 1797
// The file is opened for each line and closed again, so the log is whole
// up to the last step also when the program is ended from outside.
#pragma once

#include <cstdint>
#include <string>

namespace installation {

struct LogTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// The file the log goes to (log_file_win.cpp on the running system).
class ILogFile {
public:
    virtual ~ILogFile() = default;
    // Appends the text at the end of the file, creating the file when it
    // is missing; false when it cannot be written. Leaves the thread's
    // last error code as it was.
    virtual bool Append(const std::string& text) = 0;
    // The local time now.
    virtual LogTime Now() = 0;
};

class StepLog {
public:
    explicit StepLog(std::string program) : m_program(std::move(program)) {}

    // Lines go to the file from now on; null writes nothing (the steps are
    // still counted). False when the file cannot be written.
    bool Open(ILogFile* file);
    bool IsOpen() const { return m_file != nullptr; }

    // A line with the step and what came of it ("done", "not needed", ...).
    void Note(const std::string& step, const std::string& outcome);
    void Done(const std::string& step) { Note(step, "done"); }
    // A failed step; error 0 is a failure without a system code.
    void Failed(const std::string& step, std::uint32_t error);
    // Done or Failed, as `ok` says.
    void Outcome(const std::string& step, bool ok, std::uint32_t error);

    // The number of failed steps so far.
    int Failures() const { return m_failures; }

    // The line as it is written, without its line end.
    static std::string Format(const LogTime& time, const std::string& program, const std::string& step,
                              const std::string& outcome);

private:
    void Write(const std::string& step, const std::string& outcome);

    std::string m_program;
    ILogFile* m_file = nullptr;
    int m_failures = 0;
};

// Text for a log line: line breaks become " / ".
std::string OneLine(const std::string& text);

}  // namespace installation
