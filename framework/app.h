// The application object: one per program. The framework's WinMain calls
// its instance initialisation; a program whose initialisation answers FALSE
// ends when it returns.
#pragma once

#include <windows.h>

namespace framework {

class CWnd;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() = 0;
    // Message loop for programs whose initialisation answers TRUE.
    virtual int Run();

    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;
    int m_nExitCode = 0;

    static CWinApp* Current();
};

// Runs the program's application object; each program's WinMain calls it.
int AppMain(HINSTANCE instance);

}  // namespace framework
