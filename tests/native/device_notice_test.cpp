// Which device notices speak of the model's USB printer, and what of a
// notice is read.
#include "common/device_notice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

namespace {

using common::ClassifyUsbNotice;
using common::DeviceNotice;
using common::UsbNotice;

const std::string kModel = "USB#VID_FFA7&PID_8246#VX7EMBER";

DeviceNotice Notice(std::uint32_t event, const std::string& name, std::uint32_t type = 5) {
    DeviceNotice notice;
    notice.event = event;
    notice.hasRecord = true;
    notice.deviceType = type;
    notice.name = name;
    return notice;
}

TEST(DeviceNotice, ArrivalAndRemovalOfTheModelIgnoringCase) {
    const std::string path = "\\\\?\\USB#VID_FFA7&PID_8246#VX7EMBER#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
    EXPECT_EQ(ClassifyUsbNotice(Notice(0x8000, path), kModel), UsbNotice::ModelArrived);
    EXPECT_EQ(ClassifyUsbNotice(Notice(0x8004, path), kModel), UsbNotice::ModelRemoved);
    const std::string lower = "\\\\?\\usb#vid_ffa7&pid_8246#vx7ember#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
    EXPECT_EQ(ClassifyUsbNotice(Notice(0x8000, lower), kModel), UsbNotice::ModelArrived);
}

TEST(DeviceNotice, OtherDevicesEventsAndTypesAreOther) {
    const std::string path = "\\\\?\\USB#VID_FFA7&PID_8246#VX7EMBER#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
    EXPECT_EQ(ClassifyUsbNotice(Notice(0x8000, "\\\\?\\USB#VID_FFA7&PID_8246#VX5#{x}"), kModel), UsbNotice::Other);
    EXPECT_EQ(ClassifyUsbNotice(Notice(0x8000, "\\\\?\\USB#VID_FFA7&PID_8246#VX7EMBER2#{x}"), kModel),
              UsbNotice::Other);
    for (std::uint32_t event : {0x8001u, 0x8003u, 0x0007u, 0x8006u})  // query-remove, remove-pending, nodes changed
        EXPECT_EQ(ClassifyUsbNotice(Notice(event, path), kModel), UsbNotice::Other) << event;
    EXPECT_EQ(ClassifyUsbNotice(Notice(0x8000, path, 2), kModel), UsbNotice::Other);  // a volume
    DeviceNotice noRecord = Notice(0x8000, path);
    noRecord.hasRecord = false;
    EXPECT_EQ(ClassifyUsbNotice(noRecord, kModel), UsbNotice::Other);
}

TEST(DeviceNotice, BadNamesAreNeverTheModel) {
    for (const char* name : {"", "\\\\?", "\\\\?\\", "\\\\?\\USB#VID_FFA7&PID_8246#VX7EMBER",
                             "USB#VID_FFA7&PID_8246#VX7EMBER", "ABCD"})
        EXPECT_EQ(ClassifyUsbNotice(Notice(0x8000, name), kModel), UsbNotice::Other) << name;
    EXPECT_FALSE(common::ReduceDeviceInterfaceName("\\\\?").has_value());
    EXPECT_FALSE(common::ReduceDeviceInterfaceName("\\\\?\\abc").has_value());
    EXPECT_EQ(common::ReduceDeviceInterfaceName("\\\\?\\#x"), std::string());
}

TEST(DeviceNotice, TheModelsNamesComeFromItsSerial) {
    EXPECT_EQ(common::UsbDeviceName("VX7EMBER"), kModel);
    EXPECT_EQ(common::UsbInterfacePath("VX7EMBER"),
              "\\\\?\\usb#vid_ffa7&pid_8246#VX7EMBER#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}");
}

}  // namespace

// A record of dbch_size `size` that counts every look at it; its name is
// `text` up to a terminator.
class CountingRecord : public common::INoticeRecord {
public:
    CountingRecord(std::uint32_t type, std::uint32_t size, std::string text)
        : m_type(type), m_size(size), m_text(std::move(text)) {}
    bool IsNull() const override { return ++reads, false; }
    std::uint32_t Size() const override { return ++reads, m_size; }
    std::uint32_t DeviceType() const override { return ++reads, m_type; }
    std::size_t NameLength(std::size_t room) const override {
        ++reads;
        lastRoom = room;
        return std::min(room, m_text.find('\0') == std::string::npos ? m_text.size() : m_text.find('\0'));
    }
    std::string Name(std::size_t length) const override { return ++reads, m_text.substr(0, length); }

    mutable int reads = 0;
    mutable std::size_t lastRoom = 0;

private:
    std::uint32_t m_type, m_size;
    std::string m_text;
};

TEST(DeviceNoticeDecoding, OnlyArrivalAndRemovalCompleteAreRead) {
    const std::string path = "\\\\?\\USB#VID_FFA7&PID_8246#VX7EMBER#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
    // Nodes changed, config changed, query-remove, query-remove failed,
    // remove-pending, custom event, user-defined: lParam is not looked at.
    for (std::uint32_t event : {0x0007u, 0x0018u, 0x8001u, 0x8002u, 0x8003u, 0x8006u, 0xFFFFu, 0u}) {
        CountingRecord record(5, 28 + 200, path);
        DeviceNotice notice = common::DecodeDeviceNotice(event, record);
        EXPECT_EQ(record.reads, 0) << event;
        EXPECT_EQ(notice.event, event);
        EXPECT_FALSE(notice.hasRecord) << event;
        EXPECT_TRUE(notice.name.empty()) << event;
    }
    for (std::uint32_t event : {0x8000u, 0x8004u}) {
        CountingRecord record(5, static_cast<std::uint32_t>(28 + path.size() + 1), path + '\0');
        DeviceNotice notice = common::DecodeDeviceNotice(event, record);
        EXPECT_TRUE(notice.hasRecord);
        EXPECT_EQ(notice.deviceType, 5u);
        EXPECT_EQ(notice.name, path);
        EXPECT_EQ(record.lastRoom, path.size() + 1);
    }
}

TEST(DeviceNoticeDecoding, ANameIsReadWithinItsRecordAndLength) {
    CountingRecord volume(2, 28 + 50, "\\\\?\\USB#A#B");  // a volume: its header alone
    EXPECT_TRUE(common::DecodeDeviceNotice(0x8000, volume).name.empty());
    EXPECT_EQ(volume.lastRoom, 0u);
    CountingRecord headerOnly(5, 28, "\\\\?\\USB#A#B");  // no room for a name
    EXPECT_TRUE(common::DecodeDeviceNotice(0x8000, headerOnly).name.empty());
    EXPECT_EQ(headerOnly.lastRoom, 0u);
    CountingRecord cut(5, 28 + 6, "\\\\?\\USB#A#B");  // unterminated inside its record
    EXPECT_EQ(common::DecodeDeviceNotice(0x8000, cut).name, "\\\\?\\US");
    CountingRecord huge(5, 28 + 5000, std::string(3000, 'A'));  // no device path: not read on
    EXPECT_TRUE(common::DecodeDeviceNotice(0x8000, huge).name.empty());
    EXPECT_EQ(huge.lastRoom, common::kMaxNoticeNameLength + 1);
}
