#include "installation/quiet_platform.h"

#include <cstdio>

#include "installation/maker.h"

namespace installation {

int QuietDesktop::ShowMessage(const char* text, const char* caption, std::uint32_t type) {
    // A question is answered Yes: the run goes on as the user who started
    // it asked for.
    const bool question = (type & 0xF) == kMbYesNo;
    m_log.Note(std::string("message \"") + (caption ? caption : "") + "\"",
               std::string(text ? text : "") + (question ? " [answered Yes]" : ""));
    return question ? kIdYes : kIdOk;
}

UsageAnswer AnswerUsage(const CommandLine& line, bool portRequired, bool logWritable, const std::string& usage,
                        IDesktop& desktop, StepLog& log) {
    UsageAnswer answer;
    if (!line.bad.empty()) {
        log.Note("command line", "not understood: " + line.bad);
        answer = {true, kExitInvalidParameter};
    } else if (line.help) {
        answer = {true, kExitSuccess};
    } else if (portRequired && line.quiet && !line.hasPort) {
        log.Note("command line", "/quiet needs /port");
        answer = {true, kExitInvalidParameter};
    } else if (line.hasLog && !logWritable) {
        answer = {true, kExitInvalidParameter};  // a bad value of /log
    } else {
        return answer;
    }
    if (!line.quiet)
        desktop.ShowMessage(usage.c_str(), kSetupCaption,
                            kMbOk | (answer.exitCode == kExitSuccess ? kMbIconInformation : kMbIconError));
    return answer;
}

std::string ExitCodeText(std::uint32_t exitCode) {
    char text[24];
    std::snprintf(text, sizeof(text), "exit code %u", static_cast<unsigned>(exitCode));
    return text;
}

}  // namespace installation
