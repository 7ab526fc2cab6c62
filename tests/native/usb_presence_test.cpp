// The USB printer's presence: the start-up scan of the printing interfaces
// and the arrival and removal notices, as the status display sees them.
#include "statmon/printer/usb_presence.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <vector>

#include "native/monitor_fakes.h"

using namespace statmon;

namespace {

const std::string kModelPath =
    "\\\\?\\usb#vid_ffa7&pid_8246#VX7EMBER#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
const std::string kOtherSerialPath =
    "\\\\?\\usb#vid_ffa7&pid_8246#VX5CINDER#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";

// The present interfaces of the printing class, one entry per index.
struct Interface {
    std::string path;
    std::uint32_t enumError = 0;  // the enumeration of this index fails with it
    bool noSize = false;          // the size query learns nothing
    bool detailFails = false;     // the second detail query fails
};

struct FakeDevices : IDeviceInterfaces {
    std::vector<Interface> present;
    bool noSet = false;
    std::uint32_t endError = 259;  // what enumerating past the end answers
    std::vector<std::uint32_t> flags;
    std::vector<std::uint32_t> enumerated;           // indices asked for
    std::vector<std::uint32_t> detailBufferSizes;
    int destroyed = 0;
    std::uint32_t lastError = 0;

    static bool IsUsbPrint(const InterfaceClass& c) {
        return std::memcmp(&c, &kUsbPrintInterfaceClass, sizeof(c)) == 0;
    }
    DeviceInfoSet GetClassDevs(const InterfaceClass& c, std::uint32_t f) override {
        flags.push_back(f);
        EXPECT_TRUE(IsUsbPrint(c));
        if (noSet) { lastError = 13; return 0; }
        return 0x5e7;
    }
    bool EnumDeviceInterfaces(DeviceInfoSet set, const InterfaceClass& c, std::uint32_t index,
                              DeviceInterfaceData* data) override {
        EXPECT_EQ(set, 0x5e7u);
        EXPECT_TRUE(IsUsbPrint(c));
        enumerated.push_back(index);
        if (index >= present.size()) { lastError = endError; return false; }
        if (present[index].enumError) { lastError = present[index].enumError; return false; }
        data->reserved = index;
        return true;
    }
    bool GetDeviceInterfaceDetail(DeviceInfoSet, const DeviceInterfaceData& data,
                                  std::uint32_t bufferSize, std::string* path,
                                  std::uint32_t* required) override {
        detailBufferSizes.push_back(bufferSize);
        const Interface& i = present.at(data.reserved);
        std::uint32_t needed = static_cast<std::uint32_t>(5 + i.path.size() + 1);
        *required = i.noSize ? 0 : needed;
        if (bufferSize < needed || i.detailFails) { lastError = 122; return false; }
        *path = i.path;
        return true;
    }
    bool DestroyDeviceInfoList(DeviceInfoSet set) override {
        EXPECT_EQ(set, 0x5e7u);
        ++destroyed;
        return true;
    }
    std::uint32_t LastError() const override { return lastError; }
};

TEST(UsbScan, FindsTheModelsInterfaceWhereverItIsListed) {
    for (std::size_t place : {0u, 1u, 3u}) {
        FakeDevices devices;
        devices.present = {{kOtherSerialPath}, {kOtherSerialPath}, {kOtherSerialPath}};
        devices.present.insert(devices.present.begin() + place, Interface{kModelPath});
        EXPECT_TRUE(ScanForUsbPrinter(devices, kModelPath)) << place;
        EXPECT_EQ(devices.flags, std::vector<std::uint32_t>{0x12});  // PRESENT | DEVICEINTERFACE
        EXPECT_EQ(devices.enumerated.size(), place + 1);  // stops at the match
        EXPECT_EQ(devices.destroyed, 1);
        // Each interface: the size query with no buffer, then exactly the size learned.
        EXPECT_EQ(devices.detailBufferSizes.back(), 5 + kModelPath.size() + 1);
        EXPECT_EQ(devices.detailBufferSizes[devices.detailBufferSizes.size() - 2], 0u);
    }
}

TEST(UsbScan, AnotherSerialIsNotTheModelWhateverTheCase) {
    FakeDevices devices;
    devices.present = {{kOtherSerialPath}, {kModelPath + "x"}};
    EXPECT_FALSE(ScanForUsbPrinter(devices, kModelPath));
    EXPECT_EQ(devices.enumerated, (std::vector<std::uint32_t>{0, 1, 2}));  // to "no more items"
    // Windows lists the path all in lower case, serial included, while the
    // composed one carries the serial as the catalogue spells it.
    std::string lower = kModelPath;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    FakeDevices listed;
    listed.present = {{kOtherSerialPath}, {lower}};
    EXPECT_TRUE(ScanForUsbPrinter(listed, kModelPath));
    EXPECT_EQ(devices.destroyed, 1);
}

TEST(UsbScan, FailingInterfacesAreSkipped) {
    FakeDevices devices;
    devices.present = {{kModelPath, 0, true}, {kModelPath, 0, false, true}, {"", 31},
                       {kModelPath}};
    EXPECT_TRUE(ScanForUsbPrinter(devices, kModelPath));
    EXPECT_EQ(devices.enumerated.size(), 4u);
}

TEST(UsbScan, AnUnreadableSetEndsTheScan) {
    FakeDevices noSet;
    noSet.noSet = true;
    EXPECT_FALSE(ScanForUsbPrinter(noSet, kModelPath));
    EXPECT_TRUE(noSet.enumerated.empty());
    EXPECT_EQ(noSet.destroyed, 0);

    FakeDevices failing;  // every enumeration fails, never with "no more items"
    failing.present = {{kOtherSerialPath}, {"", 31}};
    failing.endError = 13;
    EXPECT_FALSE(ScanForUsbPrinter(failing, kModelPath));
    EXPECT_EQ(failing.enumerated.size(), 2 + kMaxFailedEnumerations - 1);
    EXPECT_EQ(failing.destroyed, 1);
}

// The monitor: scan at start, notices afterwards, seen on the display.
common::DeviceNotice Notice(std::uint32_t event, const std::string& name, std::uint32_t type = 5) {
    common::DeviceNotice notice;
    notice.event = event;
    notice.hasRecord = true;
    notice.deviceType = type;
    notice.name = name;
    return notice;
}

const std::string kModelNotice =
    "\\\\?\\USB#VID_FFA7&PID_8246#VX7EMBER#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";

TEST(UsbPresence, ScanAtStartThenNoticesDecideTheUsbQueuesDisplay) {
    monfakes::Rig rig;
    rig.Move("USB001");
    ASSERT_TRUE(rig.Init());
    FakeDevices devices;
    devices.present = {{kOtherSerialPath}};
    rig.monitor.SetUsbPresent(false);
    rig.monitor.FindUsbPrinter(devices);
    EXPECT_FALSE(rig.monitor.UsbPresent());
    rig.Second();
    EXPECT_EQ(rig.window.title, "Communication Error");
    EXPECT_EQ(rig.window.control.substr(0, 41), "Printer is not connected or switched OFF.");

    // Which notices name the model's device is common's classification,
    // tested with it; another device changes nothing here.
    rig.monitor.OnDeviceChange(
        Notice(0x8000, "\\\\?\\USB#VID_FFA7&PID_8246#VX5CINDER#{a5dcbf10-6530-11d2-901f-00c04fb951ed}"));
    rig.Second();
    EXPECT_EQ(rig.window.title, "Communication Error");

    rig.monitor.OnDeviceChange(Notice(0x8000, kModelNotice));  // plugged in
    rig.Second();
    EXPECT_EQ(rig.window.title, "Ready");
    EXPECT_EQ(rig.window.control, "Ready to print.");
    rig.monitor.OnDeviceChange(Notice(0x8004, kModelNotice));  // unplugged
    rig.Second();
    EXPECT_EQ(rig.window.title, "Communication Error");
}

TEST(UsbPresence, TheScanFindingThePrinterMakesTheQueueReady) {
    monfakes::Rig rig;
    rig.Move("USB001");
    ASSERT_TRUE(rig.Init());
    FakeDevices devices;
    devices.present = {{kOtherSerialPath}, {kModelPath}};
    rig.monitor.FindUsbPrinter(devices);
    EXPECT_TRUE(rig.monitor.UsbPresent());
    rig.Second();
    EXPECT_EQ(rig.window.title, "Ready");
}

}  // namespace
