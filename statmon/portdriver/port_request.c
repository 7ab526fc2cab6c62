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

void HwiPortTableInit(HwiPortTable* table) {
    HwiPortListClear(&table->ports);
    table->learntAt = 0;
    table->learnt = 0;
}

int HwiPortTableClaimLearn(HwiPortTable* table, uint16_t port, uint64_t now) {
    /* A clock that went back (it should not) lets the next learn run. */
    if (table->learnt && now >= table->learntAt) {
        const uint64_t age = now - table->learntAt;
        if (HwiPortListContains(&table->ports, port) && age < HWI_PORT_LIST_LIFETIME_MS) return 0;
        if (age < HWI_RELEARN_INTERVAL_MS) return 0;
    }
    table->learnt = 1;
    table->learntAt = now;
    return 1;
}

void HwiPortTableLearnt(HwiPortTable* table, HwiLearnOutcome outcome, const HwiPortList* found) {
    uint32_t i;
    if (outcome == HWI_LEARN_NOT_RUN) return;
    /* Complete: the list is what was found. Partial: what was found is added. */
    if (outcome == HWI_LEARN_COMPLETE) HwiPortListClear(&table->ports);
    for (i = 0; i < found->count && i < HWI_MAX_PORTS; ++i)
        HwiPortListAdd(&table->ports, found->bases[i]);
}

int HwiPortAllowed(const HwiPortSource* ports, uint16_t port) {
    HwiPortList found;
    HwiLearnOutcome outcome;
    int learn, allowed;
    const uint64_t now = ports->now(ports->context);

    ports->lock(ports->context);
    learn = HwiPortTableClaimLearn(ports->table, port, now);
    allowed = HwiPortListContains(&ports->table->ports, port);
    ports->unlock(ports->context);
    if (!learn) return allowed;

    HwiPortListClear(&found);
    outcome = ports->learn(ports->context, &found);
    ports->lock(ports->context);
    HwiPortTableLearnt(ports->table, outcome, &found);
    allowed = HwiPortListContains(&ports->table->ports, port);
    ports->unlock(ports->context);
    return allowed;
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

int HwiCreateIsChecked(int fromKernelMode, int forceAccessCheck) {
    return !fromKernelMode || forceAccessCheck;
}
