// Builds CM_RESOURCE_LIST bytes for the hardware lookup's tests.
#pragma once

#include <cstdint>
#include <vector>

namespace fakes {

class ResourceList {
public:
    explicit ResourceList(std::uint32_t fullCount) { Put32(fullCount); }
    ResourceList& Full(std::uint32_t partialCount) {
        Put32(5);  // interface type: PCI
        Put32(0);  // bus number
        Put16(1);
        Put16(1);
        Put32(partialCount);
        return *this;
    }
    ResourceList& Port(std::uint64_t start, std::uint32_t length) {
        Partial(1);
        Put64(start);
        Put32(length);
        return *this;
    }
    ResourceList& Interrupt(std::uint32_t vector) {
        Partial(2);
        Put32(vector);
        Put32(vector);
        Put32(0xFFFFFFFF);
        return *this;
    }
    ResourceList& Memory(std::uint64_t start) {
        Partial(3);
        Put64(start);
        Put32(0x1000);
        return *this;
    }
    ResourceList& DeviceSpecific(const std::vector<std::uint8_t>& data) {
        Partial(5);
        Put32(static_cast<std::uint32_t>(data.size()));
        Put32(0);
        Put32(0);
        bytes_.insert(bytes_.end(), data.begin(), data.end());
        return *this;
    }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

private:
    void Partial(std::uint8_t type) {
        bytes_.push_back(type);
        bytes_.push_back(1);  // share disposition
        Put16(0);             // flags
    }
    void Put16(std::uint16_t v) {
        bytes_.push_back(v & 0xFF);
        bytes_.push_back(v >> 8);
    }
    void Put32(std::uint32_t v) {
        Put16(v & 0xFFFF);
        Put16(v >> 16);
    }
    void Put64(std::uint64_t v) {
        Put32(static_cast<std::uint32_t>(v));
        Put32(static_cast<std::uint32_t>(v >> 32));
    }
    std::vector<std::uint8_t> bytes_;
};

}  // namespace fakes
