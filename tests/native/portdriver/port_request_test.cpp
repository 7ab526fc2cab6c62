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

struct Request {
    std::uint32_t status;
    std::uint32_t information;
};

class PortRequestTest : public ::testing::Test {
protected:
    Request Send(std::uint32_t code, std::vector<std::uint8_t>& buffer, std::uint32_t in,
                 std::uint32_t out, bool privileged = false) {
        HwiPortAccess access = io.Access();
        Request r{};
        r.information = 0xDEAD;
        r.status = HwiHandleControl(code, buffer.data(), in, out, privileged ? 1 : 0, &access,
                                    &r.information);
        return r;
    }
    IoSpace io;
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

TEST_F(PortRequestTest, ReadNeedsNoPrivilegeAndAcceptsAnyAddress) {
    io.bytes[0xFFFF] = 0x42;
    std::vector<std::uint8_t> buffer{0xFF, 0xFF, 0x00};
    Request r = Send(0x9C402004, buffer, 3, 3);
    EXPECT_EQ(r.status, 0u);
    EXPECT_EQ(buffer[0], 0x42);
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

TEST(PortRequestRecord, IsThreePackedBytes) {
    EXPECT_EQ(sizeof(HwiPortRequest), 3u);
    EXPECT_EQ(offsetof(HwiPortRequest, value), 2u);
}

}  // namespace
