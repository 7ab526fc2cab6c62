// What the monitoring logic (discovery, state machine) asks of the status
// window. The Win32 status dialog implements it; tests use a recording fake.
#pragma once

#include <string>

#include "statmon/ui/commands.h"

namespace statmon {

class IStatusWindow {
public:
    virtual ~IStatusWindow() = default;

    // Data exchange: members from controls / members to controls.
    virtual void ReadControls() = 0;
    virtual void WriteControls() = 0;

    // m_strMessage, exchanged with the message control by WriteControls.
    virtual std::string& Message() = 0;
    // Text of the title control, written at once.
    virtual void SetTitle(const std::string& title) = 0;
    // Loads the picture anew and shows it; Picture::None clears it.
    virtual void ShowPicture(Picture picture) = 0;

    // Show: allow showing, then restore the window. Hide: hide it.
    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual bool AllowShow() const = 0;
    virtual void SetAllowShow(bool allow) = 0;

    // The restart command (ID_RESTART_MONITOR).
    virtual void Restart() = 0;

    // Window timer 1 (1000 ms): SetTimer's result (0 on failure) / KillTimer's.
    virtual unsigned ArmPortTimer() = 0;
    virtual bool KillPortTimer(unsigned timerId) = 0;
};

}  // namespace statmon
