/* Handling of the driver's device control requests. */
#include "port_request.h"

static uint16_t RequestPort(const uint8_t* buffer) {
    return (uint16_t)(buffer[0] | (buffer[1] << 8));
}

void HwiPortListClear(HwiPortList* list) {
    uint32_t i;
    list->count = 0;
    for (i = 0; i < HWI_MAX_PORTS; ++i) list->bases[i] = 0;
}

int HwiPortListContains(const HwiPortList* list, uint16_t port) {
    uint32_t i;
    for (i = 0; i < list->count && i < HWI_MAX_PORTS; ++i) {
        if (port >= list->bases[i] && (uint32_t)(port - list->bases[i]) < HWI_PORT_REGISTERS) return 1;
    }
    return 0;
}

int HwiPortListAdd(HwiPortList* list, uint64_t base) {
    uint32_t i;
    if (base == 0 || base > 0x10000u - HWI_PORT_REGISTERS || list->count >= HWI_MAX_PORTS)
        return 0;
    for (i = 0; i < list->count; ++i) {
        if (list->bases[i] == base) return 0;
    }
    list->bases[list->count++] = (uint16_t)base;
    return 1;
}

int HwiPortAllowed(const HwiPortSource* ports, uint16_t port) {
    HwiPortList list;
    HwiPortListClear(&list);
    ports->known(ports->context, &list);
    if (HwiPortListContains(&list, port)) return 1;
    HwiPortListClear(&list);
    ports->refresh(ports->context, &list);
    return HwiPortListContains(&list, port);
}

uint32_t HwiHandleControl(uint32_t code, uint8_t* buffer, uint32_t inLength, uint32_t outLength,
                          int privileged, const HwiPortSource* ports, const HwiPortAccess* access,
                          uint32_t* information) {
    *information = 0;
    switch (code) {
    case HWI_IOCTL_READ_PORT_UCHAR:
        if (buffer && inLength >= HWI_READ_INPUT_SIZE && outLength >= HWI_READ_OUTPUT_SIZE) {
            const uint16_t port = RequestPort(buffer);
            if (!HwiPortAllowed(ports, port)) return HWI_STATUS_ACCESS_DENIED;
            buffer[0] = access->read(access->context, port);
            *information = 1;
        }
        return HWI_STATUS_SUCCESS;
    case HWI_IOCTL_WRITE_PORT_UCHAR:
        /* Writing is reserved to administrators. */
        if (!privileged) return HWI_STATUS_ACCESS_DENIED;
        if (buffer && inLength >= HWI_WRITE_INPUT_SIZE) {
            const uint16_t port = RequestPort(buffer);
            if (!HwiPortAllowed(ports, port)) return HWI_STATUS_ACCESS_DENIED;
            access->write(access->context, port, buffer[2]);
        }
        return HWI_STATUS_SUCCESS;
    default:
        return HWI_STATUS_UNSUCCESSFUL;
    }
}

uint32_t HwiOpenStatus(const HwiCaller* caller) {
    if (caller->restrictedSids != 0 || caller->integrity < HWI_MEDIUM_INTEGRITY)
        return HWI_STATUS_ACCESS_DENIED;
    if (!caller->administrator && !caller->interactive) return HWI_STATUS_ACCESS_DENIED;
    return HWI_STATUS_SUCCESS;
}
