// How the monitoring, which runs on the tick worker, changes the status
// window, which lives on the user-interface thread: the worker leaves what
// is to be shown in the mailbox and asks the window once to take it; the
// window takes everything left since in one go. So the worker never waits
// for the window (nor the window for a spooler call), and however long the
// window is busy, at most one request to take is pending.
#pragma once

#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "statmon/ui/commands.h"
#include "statmon/ui/status_window.h"

namespace statmon {

// What changed since the window last took its changes; the newest of each
// wins. The window applies texts first, then the permission to show, then
// showing or hiding.
struct DisplayChanges {
    enum class Visibility { Keep, Show, Hide };
    std::optional<std::string> message;
    std::optional<std::string> title;
    std::optional<Picture> picture;
    std::optional<bool> allowShow;
    Visibility visibility = Visibility::Keep;

    bool Empty() const {
        return !message && !title && !picture && !allowShow && visibility == Visibility::Keep;
    }
};

class DisplayMailbox {
public:
    // `notify` asks the window to take its changes (posts it a message).
    explicit DisplayMailbox(std::function<void()> notify) : m_notify(std::move(notify)) {}

    // The worker's side.
    void SetMessage(const std::string& message);
    void SetTitle(const std::string& title);
    void SetPicture(Picture picture);
    void SetAllowShow(bool allow);
    void Show();  // allows showing and restores the window
    void Hide();
    // Asks the window to take the changes, unless nothing changed or it has
    // been asked already and has not taken them yet.
    void Flush();

    // The window's side: everything left since the last take.
    DisplayChanges Take();

private:
    std::mutex m_mutex;
    DisplayChanges m_changes;
    bool m_asked = false;
    std::function<void()> m_notify;
};

// The status window as the monitoring on the worker sees it: the message
// text is kept here (the message control changes only through it), every
// change goes to the mailbox, the restart command runs on the worker, and
// timer 1 is a flag that the worker's tick reads the port on.
class MailboxWindow final : public IStatusWindow {
public:
    MailboxWindow(DisplayMailbox& mailbox, std::function<void()> restart)
        : m_mailbox(mailbox), m_restart(std::move(restart)) {}

    void ReadControls() override {}
    void WriteControls() override;
    std::string& Message() override { return m_message; }
    void SetTitle(const std::string& title) override { m_mailbox.SetTitle(title); }
    void ShowPicture(Picture picture) override { m_mailbox.SetPicture(picture); }
    void Show() override;
    void Hide() override { m_mailbox.Hide(); }
    bool AllowShow() const override { return m_allowShow; }
    void SetAllowShow(bool allow) override;
    void Restart() override {
        if (m_restart) m_restart();
    }
    unsigned ArmPortTimer() override;
    bool KillPortTimer(unsigned timerId) override;

    bool PortTimerArmed() const { return m_timerArmed; }

private:
    DisplayMailbox& m_mailbox;
    std::function<void()> m_restart;
    std::string m_message = "Searching the printer...";
    std::string m_written = m_message;  // what the message control holds
    bool m_allowShow = false;
    bool m_timerArmed = false;
};

}  // namespace statmon
