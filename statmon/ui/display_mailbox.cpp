#include "statmon/ui/display_mailbox.h"

namespace statmon {

void DisplayMailbox::SetMessage(const std::string& message) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_changes.message = message;
}

void DisplayMailbox::SetTitle(const std::string& title) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_changes.title = title;
}

void DisplayMailbox::SetPicture(Picture picture) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_changes.picture = picture;
}

void DisplayMailbox::SetAllowShow(bool allow) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_changes.allowShow = allow;
}

void DisplayMailbox::Show() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_changes.allowShow = true;
    m_changes.visibility = DisplayChanges::Visibility::Show;
}

void DisplayMailbox::Hide() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_changes.visibility = DisplayChanges::Visibility::Hide;
}

void DisplayMailbox::Flush() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_asked || m_changes.Empty()) return;
        m_asked = true;
    }
    m_notify();
}

DisplayChanges DisplayMailbox::Take() {
    std::lock_guard<std::mutex> lock(m_mutex);
    DisplayChanges changes = std::move(m_changes);
    m_changes = DisplayChanges();
    m_asked = false;
    return changes;
}

void MailboxWindow::WriteControls() {
    if (m_message == m_written) return;
    m_written = m_message;
    m_mailbox.SetMessage(m_message);
}

void MailboxWindow::Show() {
    m_allowShow = true;
    m_mailbox.Show();
}

void MailboxWindow::SetAllowShow(bool allow) {
    m_allowShow = allow;
    m_mailbox.SetAllowShow(allow);
}

unsigned MailboxWindow::ArmPortTimer() {
    m_timerArmed = true;
    return 1;  // timer 1
}

bool MailboxWindow::KillPortTimer(unsigned timerId) {
    if (timerId != 1 || !m_timerArmed) return false;
    m_timerArmed = false;
    return true;
}

}  // namespace statmon
