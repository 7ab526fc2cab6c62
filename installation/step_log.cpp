#include "installation/step_log.h"

#include <cstdio>

namespace installation {

bool StepLog::Open(ILogFile* file) {
    m_file = file;
    // An empty append makes the file and tells whether it can be written.
    if (m_file && !m_file->Append(std::string())) {
        m_file = nullptr;
        return false;
    }
    return true;
}

std::string StepLog::Format(const LogTime& time, const std::string& program, const std::string& step,
                            const std::string& outcome) {
    char stamp[32];
    std::snprintf(stamp, sizeof(stamp), "%04d-%02d-%02d %02d:%02d:%02d", time.year, time.month, time.day,
                  time.hour, time.minute, time.second);
    return std::string(stamp) + " " + program + ": " + OneLine(step) + ": " + OneLine(outcome);
}

void StepLog::Write(const std::string& step, const std::string& outcome) {
    if (!m_file) return;
    m_file->Append(Format(m_file->Now(), m_program, step, outcome) + "\r\n");
}

void StepLog::Note(const std::string& step, const std::string& outcome) { Write(step, outcome); }

void StepLog::Failed(const std::string& step, std::uint32_t error) {
    ++m_failures;
    char outcome[40];
    if (error == 0)
        std::snprintf(outcome, sizeof(outcome), "failed");
    else
        std::snprintf(outcome, sizeof(outcome), error <= 0xFFFF ? "failed, error %u" : "failed, error 0x%08X",
                      static_cast<unsigned>(error));
    Write(step, outcome);
}

void StepLog::Outcome(const std::string& step, bool ok, std::uint32_t error) {
    if (ok)
        Done(step);
    else
        Failed(step, error);
}

std::string OneLine(const std::string& text) {
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') continue;
        if (text[i] == '\n') {
            if (line.size() < 3 || line.compare(line.size() - 3, 3, " / ") != 0) line += " / ";
        } else {
            line.push_back(text[i]);
        }
    }
    return line;
}

}  // namespace installation
