#include <windows.h>

#include "common/single_instance.h"

namespace common {
namespace {

class Win32MutexSystem : public IMutexSystem {
public:
    MutexHandle CreateNamedMutex(const char* name, std::uint32_t* lastError) override {
        HANDLE mutex = ::CreateMutexA(nullptr, FALSE, name);
        *lastError = ::GetLastError();
        return reinterpret_cast<MutexHandle>(mutex);
    }
    void CloseMutex(MutexHandle handle) override { ::CloseHandle(reinterpret_cast<HANDLE>(handle)); }
};

}  // namespace

IMutexSystem& Win32Mutexes() {
    static Win32MutexSystem system;
    return system;
}

}  // namespace common
