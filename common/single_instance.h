// One running copy per name on the machine: a named mutex that the first
// copy creates and holds for its whole life. Both programs guard themselves
// this way (the monitor per model, Setup once per machine).
#pragma once

#include <cstdint>

namespace common {

using MutexHandle = std::uintptr_t;  // 0 is no handle

constexpr std::uint32_t kErrorAccessDenied = 5;
constexpr std::uint32_t kErrorAlreadyExists = 183;

class IMutexSystem {
public:
    virtual ~IMutexSystem() = default;
    // CreateMutexA(NULL, FALSE, name) and, right after it, GetLastError.
    virtual MutexHandle CreateNamedMutex(const char* name, std::uint32_t* lastError) = 0;
    virtual void CloseMutex(MutexHandle handle) = 0;
};

// The mutex and the error the system reported right after creating it; the
// handle is closed once, when the guard goes.
class SingleInstanceGuard {
public:
    SingleInstanceGuard(IMutexSystem& system, const char* name);
    ~SingleInstanceGuard();
    SingleInstanceGuard(const SingleInstanceGuard&) = delete;
    SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;

    // The name exists already. A mutex in the global namespace that another
    // user's copy created cannot be opened by this user: the creation then
    // fails with "access denied", and that copy runs all the same.
    bool AnotherInstanceRuns() const;

private:
    IMutexSystem& m_system;
    std::uint32_t m_dwLastError = 0;
    MutexHandle m_hMutex = 0;
};

// The named mutexes of the running system (single_instance_win.cpp).
IMutexSystem& Win32Mutexes();

}  // namespace common
