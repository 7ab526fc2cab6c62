// Reading WM_DEVICECHANGE messages: only the record a notice has is read.
#include "common/device_notice_win.h"

#include <dbt.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <vector>

namespace {

constexpr std::size_t kNameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name);

// A device-interface record of `size` bytes (dbch_size) holding `name`
// without a terminator beyond the record; the bytes after it are 'X'.
std::vector<DWORD> Record(const std::string& name, std::size_t size, std::size_t slack = 64) {
    std::vector<DWORD> memory((size + slack) / sizeof(DWORD) + 1);
    auto* bytes = reinterpret_cast<char*>(memory.data());
    std::memset(bytes, 'X', memory.size() * sizeof(DWORD));
    auto* record = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_A*>(bytes);
    record->dbcc_size = static_cast<DWORD>(size);
    record->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    record->dbcc_reserved = 0;
    std::memcpy(bytes + kNameOffset, name.data(), name.size());
    if (kNameOffset + name.size() < size) bytes[kNameOffset + name.size()] = '\0';
    return memory;
}

LPARAM At(std::vector<DWORD>& memory) { return reinterpret_cast<LPARAM>(memory.data()); }

TEST(DeviceNoticeDecoding, InterfaceRecordsGiveEventTypeAndName) {
    const std::string name = "\\\\?\\USB#VID_FFA7&PID_8246#VX7EMBER#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
    auto memory = Record(name, kNameOffset + name.size() + 1);
    common::DeviceNotice notice = common::DecodeDeviceNotice(DBT_DEVICEARRIVAL, At(memory));
    EXPECT_EQ(notice.event, 0x8000u);
    EXPECT_TRUE(notice.hasRecord);
    EXPECT_EQ(notice.deviceType, 5u);
    EXPECT_EQ(notice.name, name);
}

TEST(DeviceNoticeDecoding, BadNoticesAreReadNoFurtherThanTheirRecord) {
    // No record at all (DBT_DEVNODES_CHANGED).
    common::DeviceNotice none = common::DecodeDeviceNotice(DBT_DEVNODES_CHANGED, 0);
    EXPECT_FALSE(none.hasRecord);

    // Other events with a stray lParam: the memory is not touched (a read of
    // this inaccessible page would fault).
    void* page = ::VirtualAlloc(nullptr, 4096, MEM_RESERVE | MEM_COMMIT, PAGE_NOACCESS);
    ASSERT_NE(page, nullptr);
    for (WPARAM event : {WPARAM{DBT_DEVNODES_CHANGED}, WPARAM{DBT_QUERYCHANGECONFIG}, WPARAM{DBT_DEVICEQUERYREMOVE},
                         WPARAM{DBT_DEVICEREMOVEPENDING}, WPARAM{DBT_CUSTOMEVENT}}) {
        common::DeviceNotice stray = common::DecodeDeviceNotice(event, reinterpret_cast<LPARAM>(page));
        EXPECT_FALSE(stray.hasRecord) << event;
        EXPECT_EQ(stray.event, event);
    }
    ::VirtualFree(page, 0, MEM_RELEASE);

    // A volume's record: only its header is read.
    DEV_BROADCAST_VOLUME volume{};
    volume.dbcv_size = sizeof(volume);
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    common::DeviceNotice vol =
        common::DecodeDeviceNotice(DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&volume));
    EXPECT_TRUE(vol.hasRecord);
    EXPECT_EQ(vol.deviceType, 2u);
    EXPECT_TRUE(vol.name.empty());

    // A name that is not terminated inside the record is cut at its end.
    auto unterminated = Record("\\\\?\\USB#A#B", kNameOffset + 6);
    EXPECT_EQ(common::DecodeDeviceNotice(DBT_DEVICEARRIVAL, At(unterminated)).name, "\\\\?\\US");
    // A record too short for any name.
    auto headerOnly = Record("", kNameOffset);
    EXPECT_TRUE(common::DecodeDeviceNotice(DBT_DEVICEARRIVAL, At(headerOnly)).name.empty());

    // A very long name is no device path: not read on.
    std::string longName = "\\\\?\\USB#" + std::string(3000, 'A') + "#x";
    auto huge = Record(longName, kNameOffset + longName.size() + 1);
    common::DeviceNotice big = common::DecodeDeviceNotice(DBT_DEVICEARRIVAL, At(huge));
    EXPECT_TRUE(big.hasRecord);
    EXPECT_TRUE(big.name.empty());
}

}  // namespace
