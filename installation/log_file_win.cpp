#include "installation/log_file_win.h"

#include <windows.h>

namespace installation {

Win32LogFile::Win32LogFile(const std::string& path) : m_path(path) {
    if (path.empty()) return;
    char full[MAX_PATH] = {};
    const DWORD length = ::GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    if (length > 0 && length < MAX_PATH) m_path.assign(full, length);
}

bool Win32LogFile::Append(const std::string& text) {
    const DWORD error = ::GetLastError();
    // Opened for appending only: every write lands at the end, also when
    // another program writes to the same log.
    HANDLE file = ::CreateFileA(m_path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    bool written = file != INVALID_HANDLE_VALUE;
    if (written) {
        DWORD done = 0;
        if (!text.empty())
            written = ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &done, nullptr) &&
                      done == text.size();
        ::CloseHandle(file);
    }
    ::SetLastError(error);
    return written;
}

LogTime Win32LogFile::Now() {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return LogTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

std::string DefaultLogPath(const char* fileName) {
    char windows[MAX_PATH] = {};
    const UINT length = ::GetWindowsDirectoryA(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::string();
    std::string folder(windows, length);
    if (folder.back() != '\\') folder += '\\';
    return folder + "Temp\\" + fileName;
}

}  // namespace installation
