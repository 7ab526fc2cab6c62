/* Handling of the driver's device control requests. */
#include "port_request.h"

static uint16_t RequestPort(const uint8_t* buffer) {
    return (uint16_t)(buffer[0] | (buffer[1] << 8));
}

uint32_t HwiHandleControl(uint32_t code, uint8_t* buffer, uint32_t inLength, uint32_t outLength,
                          int privileged, const HwiPortAccess* access, uint32_t* information) {
    *information = 0;
    switch (code) {
    case HWI_IOCTL_READ_PORT_UCHAR:
        if (buffer && inLength >= HWI_READ_INPUT_SIZE && outLength >= HWI_READ_OUTPUT_SIZE) {
            buffer[0] = access->read(access->context, RequestPort(buffer));
            *information = 1;
        }
        return HWI_STATUS_SUCCESS;
    case HWI_IOCTL_WRITE_PORT_UCHAR:
        /* Writing to arbitrary ports is reserved to administrators. */
        if (!privileged) return HWI_STATUS_ACCESS_DENIED;
        if (buffer && inLength >= HWI_WRITE_INPUT_SIZE)
            access->write(access->context, RequestPort(buffer), buffer[2]);
        return HWI_STATUS_SUCCESS;
    default:
        return HWI_STATUS_UNSUCCESSFUL;
    }
}
