// The system as an unattended run sees it: no message box and no window of
// the shell's. What a message box would have said goes to the log; the
// shell's file operations run silent, without their progress and error
// windows. Everything else is the system itself.
#pragma once

#include <string>

#include "installation/command_line.h"
#include "installation/platform.h"
#include "installation/step_log.h"

namespace installation {

// Shell file operations that show nothing.
constexpr std::uint16_t kFofSilent = 0x4;

class QuietDesktop : public IDesktop {
public:
    QuietDesktop(IDesktop& desktop, StepLog& log) : m_desktop(desktop), m_log(log) {}
    // Logs the text under the caption; answers the button a user would
    // press to go on (OK, or Yes where there is a question).
    int ShowMessage(const char* text, const char* caption, std::uint32_t type) override;
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
    WindowHandle FindTopWindow(const char* className, const char* title) override {
        return m_desktop.FindTopWindow(className, title);
    }
    std::uint32_t WindowProcessId(WindowHandle window) override { return m_desktop.WindowProcessId(window); }
    bool PostCommand(WindowHandle window, std::uint32_t id) override { return m_desktop.PostCommand(window, id); }

private:
    IDesktop& m_desktop;
    StepLog& m_log;
};

class QuietShell : public IShell {
public:
    explicit QuietShell(IShell& shell) : m_shell(shell) {}
    int CreateDirectoryTree(const char* path) override { return m_shell.CreateDirectoryTree(path); }
    int FileOperation(std::uint32_t func, const char* from, const char* to, std::uint16_t flags) override {
        return m_shell.FileOperation(func, from, to, flags | kFofSilent | kFofNoConfirmation | kFofNoErrorUi);
    }
    bool CreateFolder(const char* path) override { return m_shell.CreateFolder(path); }
    void CoInitialize() override { m_shell.CoInitialize(); }
    std::unique_ptr<IShellLinkObject> CreateShellLink() override { return m_shell.CreateShellLink(); }
    void Execute(const char* verb, const char* file, const char* parameters, const char* directory,
                 int showCommand) override {
        m_shell.Execute(verb, file, parameters, directory, showCommand);
    }

private:
    IShell& m_shell;
};

// The platform with the desktop and shell above; the rest is `platform`'s.
class QuietPlatform {
public:
    QuietPlatform(const InstallerPlatform& platform, StepLog& log)
        : m_desktop(platform.desktop, log),
          m_shell(platform.shell),
          m_platform{platform.spooler, platform.registry, m_shell, platform.setupApi, m_desktop, platform.kernel,
                     platform.heap} {}
    QuietPlatform(const QuietPlatform&) = delete;
    QuietPlatform& operator=(const QuietPlatform&) = delete;
    const InstallerPlatform& Platform() const { return m_platform; }

private:
    QuietDesktop m_desktop;
    QuietShell m_shell;
    InstallerPlatform m_platform;
};

// What the command line asks for before anything else: the usage (exit 0
// for /?; 87 for a bad line, and for /quiet without /port where the
// program needs one, and for a /log that cannot be written), shown in a
// message box unless quiet; or nothing, and the run goes on.
struct UsageAnswer {
    bool ends = false;
    std::uint32_t exitCode = kExitSuccess;
};
UsageAnswer AnswerUsage(const CommandLine& line, bool portRequired, bool logWritable, const std::string& usage,
                        IDesktop& desktop, StepLog& log);

// "exit code N", the last line of a run.
std::string ExitCodeText(std::uint32_t exitCode);

}  // namespace installation
