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

/* The ports learnt so far and when they were learnt. A learn asks the
 * parallel port driver for every port anew; it runs at most once every
 * HWI_RELEARN_INTERVAL_MS, however many requests name an unknown port, and
 * a list older than HWI_PORT_LIST_LIFETIME_MS is learnt again before a
 * request may use it, so that a port whose device has gone stops being
 * allowed. Times are milliseconds of a clock that only moves forward. */
#define HWI_RELEARN_INTERVAL_MS 5000u
#define HWI_PORT_LIST_LIFETIME_MS 30000u

typedef struct HwiPortTable {
    HwiPortList ports;
    uint64_t learntAt;   /* when the last learn was started */
    int learnt;          /* a learn has been started */
} HwiPortTable;

/* How a learn ended: it could not run (above PASSIVE_LEVEL), some device
 * of the parallel port driver could not be asked, or every device was
 * asked (those that do not exist answered so). */
typedef enum HwiLearnOutcome {
    HWI_LEARN_NOT_RUN = 0,
    HWI_LEARN_PARTIAL = 1,
    HWI_LEARN_COMPLETE = 2
} HwiLearnOutcome;

void HwiPortTableInit(HwiPortTable* table);
/* Whether a request for `port` at time `now` may start a learn: the port
 * is unknown or the list has outlived its lifetime, and the last learn
 * started at least HWI_RELEARN_INTERVAL_MS ago (or none has). A nonzero
 * answer records the learn as started. */
int HwiPortTableClaimLearn(HwiPortTable* table, uint16_t port, uint64_t now);
/* Takes a learn's result: a complete learn replaces the list (ports that
 * have gone are dropped, even the last one); a partial one adds what it
 * found to the list it had; one that could not run changes nothing. */
void HwiPortTableLearnt(HwiPortTable* table, HwiLearnOutcome outcome, const HwiPortList* found);

/* Where the table lives and how it is learnt: `lock` and `unlock` guard
 * the table, `now` reads the clock, `learn` asks the machine for its ports
 * (unlocked, at the request's IRQL). */
typedef struct HwiPortSource {
    HwiPortTable* table;
    void (*lock)(void* context);
    void (*unlock)(void* context);
    uint64_t (*now)(void* context);
    HwiLearnOutcome (*learn)(void* context, HwiPortList* found);
    void* context;
} HwiPortSource;

/* Whether a request may reach `port`, learning the ports first when
 * HwiPortTableClaimLearn allows it. */
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

/* Whether a create request is judged by the security context it carries
 * (the subject context of its access state): every request from user mode,
 * and one from kernel mode that asks for an access check
 * (SL_FORCE_ACCESS_CHECK, as for a name a user handed down). Other
 * kernel-mode requests come from the system itself and are trusted. */
int HwiCreateIsChecked(int fromKernelMode, int forceAccessCheck);

#ifdef __cplusplus
}
#endif

#endif
