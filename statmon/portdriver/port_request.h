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

/* Handles one device control request on the system buffer `buffer`
 * (inLength bytes in, room for outLength bytes out). `privileged` tells
 * whether the handle was opened by a caller with administrator rights;
 * writes are refused otherwise. Returns the completion status and sets
 * *information to the byte count returned. */
uint32_t HwiHandleControl(uint32_t code, uint8_t* buffer, uint32_t inLength, uint32_t outLength,
                          int privileged, const HwiPortAccess* access, uint32_t* information);

#ifdef __cplusplus
}
#endif

#endif
