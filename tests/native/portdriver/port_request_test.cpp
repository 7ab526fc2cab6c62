#include "statmon/portdriver/port_request.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

// Test shim: an I/O space that records every access.
struct IoSpace {
    std::map<std::uint16_t, std::uint8_t> bytes;
    std::vector<std::uint16_t> reads;
    std::vector<std::pair<std::uint16_t, std::uint8_t>> writes;

    static std::uint8_t Read(void* context, std::uint16_t port) {
        auto* self = static_cast<IoSpace*>(context);
        self->reads.push_back(port);
        return self->bytes[port];
    }
    static void Write(void* context, std::uint16_t port, std::uint8_t value) {
        auto* self = static_cast<IoSpace*>(context);
        self->writes.emplace_back(port, value);
        self->bytes[port] = value;
    }
    HwiPortAccess Access() { return {&IoSpace::Read, &IoSpace::Write, this}; }
};

// Test shim: the driver's port table, its clock and what a learn finds.
struct PortSource {
    HwiPortTable table;
    std::vector<std::uint64_t> machine{0x378};
    HwiLearnOutcome outcome = HWI_LEARN_COMPLETE;
    std::uint64_t now = 1000;
    int learns = 0;
    bool locked = false;

    PortSource() {
        HwiPortTableInit(&table);
        HwiPortListAdd(&table.ports, 0x378);
        table.learnt = 1;
        table.learntAt = now;
    }
    static void Lock(void* context) {
        auto* self = static_cast<PortSource*>(context);
        EXPECT_FALSE(self->locked);
        self->locked = true;
    }
    static void Unlock(void* context) { static_cast<PortSource*>(context)->locked = false; }
    static std::uint64_t Now(void* context) { return static_cast<PortSource*>(context)->now; }
    static HwiLearnOutcome Learn(void* context, HwiPortList* found) {
        auto* self = static_cast<PortSource*>(context);
        EXPECT_FALSE(self->locked) << "the learn runs unlocked";
        ++self->learns;
        for (std::uint64_t base : self->machine) HwiPortListAdd(found, base);
        return self->outcome;
    }
    HwiPortSource Source() { return {&table, &Lock, &Unlock, &Now, &Learn, this}; }
    bool Allowed(std::uint16_t port) {
        HwiPortSource source = Source();
        return HwiPortAllowed(&source, port) != 0;
    }
};

struct Request {
    std::uint32_t status;
    std::uint32_t information;
};

class PortRequestTest : public ::testing::Test {
protected:
    Request Send(std::uint32_t code, std::vector<std::uint8_t>& buffer, std::uint32_t in,
                 std::uint32_t out, bool privileged = false) {
        HwiPortAccess access = io.Access();
        HwiPortSource source = ports.Source();
        Request r{};
        r.information = 0xDEAD;
        r.status = HwiHandleControl(code, buffer.data(), in, out, privileged ? 1 : 0, &source,
                                    &access, &r.information);
        return r;
    }
    IoSpace io;
    PortSource ports;
};

TEST_F(PortRequestTest, ReadReturnsTheByteInOffsetZero) {
    io.bytes[0x379] = 0xDF;
    std::vector<std::uint8_t> buffer{0x79, 0x03, 0x00};
    Request r = Send(0x9C402004, buffer, 2, 1);
    EXPECT_EQ(r.status, 0u);
    EXPECT_EQ(r.information, 1u);
    EXPECT_EQ(buffer[0], 0xDF);
    EXPECT_EQ(io.reads, std::vector<std::uint16_t>{0x379});
}

TEST_F(PortRequestTest, ReadNeedsNoPrivilegeWithinThePortsRegisters) {
    io.bytes[0x378] = 0x11;
    io.bytes[0x37A] = 0x42;
    for (std::uint8_t low : {0x78, 0x7A}) {
        std::vector<std::uint8_t> buffer{low, 0x03, 0x00};
        Request r = Send(0x9C402004, buffer, 3, 3);
        EXPECT_EQ(r.status, 0u);
        EXPECT_EQ(buffer[0], io.bytes[0x300 | low]);
    }
    EXPECT_EQ(ports.learns, 0);
}

TEST_F(PortRequestTest, PortsOutsideTheBlocksAreRefusedUntouched) {
    // The keyboard controller, the registers next to the block, the top of the space.
    for (std::uint16_t port : {0x0060, 0x0064, 0x0377, 0x037B, 0x0778, 0xFFFF, 0x0000}) {
        std::vector<std::uint8_t> read{std::uint8_t(port), std::uint8_t(port >> 8), 0x00};
        Request r = Send(0x9C402004, read, 2, 1);
        EXPECT_EQ(r.status, 0xC0000022u) << port;
        EXPECT_EQ(r.information, 0u);
        EXPECT_EQ(read[0], std::uint8_t(port));
        std::vector<std::uint8_t> write{std::uint8_t(port), std::uint8_t(port >> 8), 0xAA};
        EXPECT_EQ(Send(0x9C402008, write, 3, 0, true).status, 0xC0000022u) << port;
    }
    EXPECT_TRUE(io.reads.empty());
    EXPECT_TRUE(io.writes.empty());
}

TEST_F(PortRequestTest, MissLearnsTheListAndFindsANewPort) {
    ports.machine = {0x378, 0x278};
    ports.now += HWI_RELEARN_INTERVAL_MS;
    std::vector<std::uint8_t> buffer{0x79, 0x02, 0x00};
    EXPECT_EQ(Send(0x9C402004, buffer, 2, 1).status, 0u);
    EXPECT_EQ(ports.learns, 1);
    EXPECT_EQ(io.reads, std::vector<std::uint16_t>{0x279});
    // Known now: no further learn.
    buffer = {0x79, 0x02, 0x00};
    EXPECT_EQ(Send(0x9C402004, buffer, 2, 1).status, 0u);
    EXPECT_EQ(ports.learns, 1);
}

TEST_F(PortRequestTest, ShortReadBuffersReadNothingAndSucceed) {
    for (auto sizes : {std::pair<std::uint32_t, std::uint32_t>{1, 1}, {2, 0}, {0, 0}, {1, 3}}) {
        std::vector<std::uint8_t> buffer{0x79, 0x03, 0x00};
        Request r = Send(0x9C402004, buffer, sizes.first, sizes.second);
        EXPECT_EQ(r.status, 0u);
        EXPECT_EQ(r.information, 0u);
        EXPECT_EQ(buffer[0], 0x79);
    }
    EXPECT_TRUE(io.reads.empty());
}

TEST_F(PortRequestTest, PrivilegedWriteStoresByteTwo) {
    std::vector<std::uint8_t> buffer{0x7A, 0x03, 0x0C};
    Request r = Send(0x9C402008, buffer, 3, 0, true);
    EXPECT_EQ(r.status, 0u);
    ASSERT_EQ(io.writes.size(), 1u);
    EXPECT_EQ(io.writes[0], (std::pair<std::uint16_t, std::uint8_t>{0x37A, 0x0C}));
}

TEST_F(PortRequestTest, ShortWriteWritesNothingAndSucceeds) {
    std::vector<std::uint8_t> buffer{0x7A, 0x03, 0x0C};
    Request r = Send(0x9C402008, buffer, 2, 0, true);
    EXPECT_EQ(r.status, 0u);
    EXPECT_TRUE(io.writes.empty());
}

TEST_F(PortRequestTest, WriteIsRefusedForAnUnprivilegedHandle) {
    std::vector<std::uint8_t> buffer{0x7A, 0x03, 0x0C};
    Request r = Send(0x9C402008, buffer, 3, 0, false);
    EXPECT_EQ(r.status, 0xC0000022u);
    EXPECT_EQ(r.information, 0u);
    EXPECT_TRUE(io.writes.empty());
    EXPECT_EQ(ports.learns, 0);
}

TEST_F(PortRequestTest, UnknownCodeIsUnsuccessful) {
    for (std::uint32_t code : {0x9C40200Cu, 0x9C402000u, 0x00222004u, 0u}) {
        std::vector<std::uint8_t> buffer{0x79, 0x03, 0x00};
        Request r = Send(code, buffer, 3, 3, true);
        EXPECT_EQ(r.status, 0xC0000001u);
        EXPECT_EQ(r.information, 0u);
    }
    EXPECT_TRUE(io.reads.empty());
    EXPECT_TRUE(io.writes.empty());
}

TEST(PortTable, LearnsAtMostOncePerIntervalAndAtOnceTheFirstTime) {
    PortSource ports;
    ports.now += HWI_RELEARN_INTERVAL_MS;
    // Unknown ports asked for in a burst: one learn, the rest refused unlearnt.
    for (std::uint16_t port : {0x60, 0x64, 0x2F8, 0x60}) EXPECT_FALSE(ports.Allowed(port)) << port;
    ports.now += HWI_RELEARN_INTERVAL_MS - 1;
    EXPECT_FALSE(ports.Allowed(0x60));
    EXPECT_TRUE(ports.Allowed(0x379));  // answered from the list meanwhile
    EXPECT_EQ(ports.learns, 1);
    ports.now += 1;
    EXPECT_FALSE(ports.Allowed(0x60));
    EXPECT_EQ(ports.learns, 2);
    PortSource fresh;
    HwiPortTableInit(&fresh.table);
    EXPECT_TRUE(fresh.Allowed(0x37A));
    EXPECT_EQ(fresh.learns, 1);
}

TEST(PortTable, FailedLearnKeepsTheListCompleteOneReplacesIt) {
    for (HwiLearnOutcome outcome : {HWI_LEARN_NOT_RUN, HWI_LEARN_PARTIAL, HWI_LEARN_COMPLETE}) {
        PortSource ports;
        ports.outcome = outcome;
        ports.machine = {0x278};  // the port at 0x378 has gone
        // Within its lifetime the list answers; past it, it is learnt again.
        ports.now += HWI_PORT_LIST_LIFETIME_MS - 1;
        EXPECT_TRUE(ports.Allowed(0x379));
        ports.now += 1;
        EXPECT_EQ(ports.Allowed(0x379), outcome != HWI_LEARN_COMPLETE) << outcome;
        EXPECT_EQ(ports.learns, 1);
        // A partial learn adds what it found, a complete one is the list.
        EXPECT_EQ(HwiPortListContains(&ports.table.ports, 0x279), outcome != HWI_LEARN_NOT_RUN) << outcome;
    }
    // Every port gone: nothing is allowed any more.
    PortSource ports;
    ports.machine = {};
    ports.now += HWI_PORT_LIST_LIFETIME_MS;
    EXPECT_FALSE(ports.Allowed(0x379));
    EXPECT_EQ(ports.table.ports.count, 0u);
}

TEST(DeviceOpen, KernelRequestsAreTrustedOnlyWithoutAnAccessCheck) {
    EXPECT_TRUE(HwiCreateIsChecked(0, 0));   // user mode
    EXPECT_TRUE(HwiCreateIsChecked(0, 1));
    EXPECT_TRUE(HwiCreateIsChecked(1, 1));   // kernel mode asking for the check
    EXPECT_FALSE(HwiCreateIsChecked(1, 0));  // the system itself
}

TEST(PortList, TakesOnlyBlocksInsideTheIoSpace) {
    HwiPortList list;
    HwiPortListClear(&list);
    EXPECT_FALSE(HwiPortListAdd(&list, 0));
    EXPECT_FALSE(HwiPortListAdd(&list, 0xFFFE));
    EXPECT_FALSE(HwiPortListAdd(&list, 0x100000378ull));
    EXPECT_TRUE(HwiPortListAdd(&list, 0xFFFD));
    EXPECT_TRUE(HwiPortListContains(&list, 0xFFFF));
    EXPECT_TRUE(HwiPortListAdd(&list, 0x3BC));
    EXPECT_FALSE(HwiPortListAdd(&list, 0x3BC));
    EXPECT_EQ(list.count, 2u);
    for (std::uint32_t base = 0x1000; list.count < HWI_MAX_PORTS; base += 0x10)
        EXPECT_TRUE(HwiPortListAdd(&list, base));
    EXPECT_FALSE(HwiPortListAdd(&list, 0x378));
    EXPECT_FALSE(HwiPortListContains(&list, 0x379));
}

TEST(DeviceOpen, OnlyInteractiveUsersAndAdministratorsAtMediumIntegrityOrAbove) {
    const std::uint32_t ok = 0, denied = 0xC0000022u;
    const struct {
        HwiCaller caller;
        std::uint32_t status;
    } cases[] = {
        {{0x2000, 0, 1, 0}, ok},      // the logged-on user
        {{0x3000, 0, 0, 1}, ok},      // an administrator, or SYSTEM
        {{0x4000, 0, 0, 1}, ok},      // SYSTEM
        {{0x2000, 0, 0, 0}, denied},  // a service or network logon
        {{0x1000, 0, 1, 0}, denied},  // a low-integrity sandbox
        {{0x0000, 0, 1, 1}, denied},  // untrusted
        {{0x2000, 2, 1, 0}, denied},  // a restricted token
        {{0x3000, 1, 0, 1}, denied},
    };
    for (const auto& c : cases) EXPECT_EQ(HwiOpenStatus(&c.caller), c.status) << c.caller.integrity;
}

TEST(PortRequestRecord, IsThreePackedBytes) {
    EXPECT_EQ(sizeof(HwiPortRequest), 3u);
    EXPECT_EQ(offsetof(HwiPortRequest, value), 2u);
}

}  // namespace
