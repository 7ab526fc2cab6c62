/* The device interface of the port-I/O driver "\\.\hwinterface", shared by
 * the driver and the monitor: the two control codes, the 3-byte request
 * record and the handling of one device control request. Plain C with no
 * platform header, so that the handling is exercised natively as well. */
#ifndef STATMON_PORTDRIVER_PORT_REQUEST_H
#define STATMON_PORTDRIVER_PORT_REQUEST_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Device type 0x9C40, METHOD_BUFFERED, FILE_ANY_ACCESS, functions 0x801/0x802. */
#define HWI_IOCTL_READ_PORT_UCHAR 0x9C402004u
#define HWI_IOCTL_WRITE_PORT_UCHAR 0x9C402008u

/* Completion statuses (NTSTATUS values). */
#define HWI_STATUS_SUCCESS 0x00000000u
#define HWI_STATUS_UNSUCCESSFUL 0xC0000001u
#define HWI_STATUS_ACCESS_DENIED 0xC0000022u

/* The request record: port address (little-endian), value to write; for a
 * read the driver returns the byte read at offset 0. */
#pragma pack(push, 1)
typedef struct HwiPortRequest {
    uint16_t port;
    uint8_t value;
} HwiPortRequest;
#pragma pack(pop)

#define HWI_READ_INPUT_SIZE 2u
#define HWI_READ_OUTPUT_SIZE 1u
#define HWI_WRITE_INPUT_SIZE 3u

#ifdef __cplusplus
static_assert(sizeof(HwiPortRequest) == 3, "the request record is 3 bytes");
#else
_Static_assert(sizeof(HwiPortRequest) == 3, "the request record is 3 bytes");
#endif

/* Port access the handling runs on: the hardware in the driver, a simulated
 * I/O space in the test image and in native tests. */
typedef struct HwiPortAccess {
    uint8_t (*read)(void* context, uint16_t port);
    void (*write)(void* context, uint16_t port, uint8_t value);
    void* context;
} HwiPortAccess;

/* The ports a request may reach: the register blocks of the machine's
 * parallel ports, each its data, status and control register (base to
 * base + 2), the registers every mode of a parallel port has. */
#define HWI_PORT_REGISTERS 3u
#define HWI_MAX_PORTS 16u

typedef struct HwiPortList {
    uint32_t count;
    uint16_t bases[HWI_MAX_PORTS];
} HwiPortList;

void HwiPortListClear(HwiPortList* list);
/* Adds the block of the port at I/O address `base` as the parallel port
 * driver reports it. A base of 0, one whose block would pass 0xFFFF, a
 * port already listed or a full list adds nothing. Returns nonzero when
 * the block was added. */
int HwiPortListAdd(HwiPortList* list, uint64_t base);
int HwiPortListContains(const HwiPortList* list, uint16_t port);

/* Where the list comes from: `known` copies the ports learnt so far,
 * `refresh` learns the machine's ports anew, keeps them and copies them. */
typedef struct HwiPortSource {
    void (*known)(void* context, HwiPortList* list);
    void (*refresh)(void* context, HwiPortList* list);
    void* context;
} HwiPortSource;

/* Whether a request may reach `port`: a port outside the known blocks has
 * the list refreshed once (a port added since) and is checked again. */
int HwiPortAllowed(const HwiPortSource* ports, uint16_t port);

/* Handles one device control request on the system buffer `buffer`
 * (inLength bytes in, room for outLength bytes out). `privileged` tells
 * whether the handle was opened by a caller with administrator rights;
 * writes are refused otherwise. A port outside `ports` is refused for reads
 * and writes alike, without touching it. Returns the completion status and
 * sets *information to the byte count returned. */
uint32_t HwiHandleControl(uint32_t code, uint8_t* buffer, uint32_t inLength, uint32_t outLength,
                          int privileged, const HwiPortSource* ports, const HwiPortAccess* access,
                          uint32_t* information);

/* What the driver learns of the token of a caller opening the device. */
typedef struct HwiCaller {
    uint32_t integrity;       /* mandatory label's RID: 0x1000 low, 0x2000 medium, ... */
    uint32_t restrictedSids;  /* nonzero for a restricted token (restricting SIDs) */
    int interactive;          /* holds the enabled INTERACTIVE group (S-1-5-4) */
    int administrator;        /* holds the enabled Administrators group (S-1-5-32-544) */
} HwiCaller;

#define HWI_MEDIUM_INTEGRITY 0x2000u

/* Who may open the device: administrators (SYSTEM among them) and users
 * logged on interactively, neither from a restricted token nor below
 * medium integrity. Returns the completion status of the open. */
uint32_t HwiOpenStatus(const HwiCaller* caller);

#ifdef __cplusplus
}
#endif

#endif
