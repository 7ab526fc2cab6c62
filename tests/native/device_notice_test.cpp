// Which device notices speak of the model's USB printer.
#include "common/device_notice.h"

#include <gtest/gtest.h>

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
