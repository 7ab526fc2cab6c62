/* hwinterface.sys: the port-I/O driver of the status monitor. It offers
 * "\\.\hwinterface" with a byte read and a byte write of the registers of
 * the machine's parallel ports, which it learns from the parallel port
 * driver's devices; the requests are handled by port_request.c. Built with
 * HWI_SIMULATED_IO it works on a simulated I/O space with a fixed list of
 * ports instead of the hardware (test image). */
#include <ntifs.h>
#include <parallel.h>

#include "port_request.h"

#ifndef SE_GROUP_ENABLED
#define SE_GROUP_ENABLED 0x00000004L
#endif
#ifndef SE_GROUP_USE_FOR_DENY_ONLY
#define SE_GROUP_USE_FOR_DENY_ONLY 0x00000010L
#endif

#ifndef FILE_DEVICE_PARALLEL_PORT
#define FILE_DEVICE_PARALLEL_PORT 0x00000016
#endif
#ifndef IOCTL_INTERNAL_GET_PARALLEL_PORT_INFO
#define IOCTL_INTERNAL_GET_PARALLEL_PORT_INFO \
    CTL_CODE(FILE_DEVICE_PARALLEL_PORT, 12, METHOD_BUFFERED, FILE_ANY_ACCESS)
#endif

#define HWI_POOL_TAG 0x20697768 /* 'hwi ' */

/* Marks, in the file object's FsContext, a handle opened by an administrator. */
#define HWI_PRIVILEGED_HANDLE ((PVOID)(ULONG_PTR)1)

DRIVER_INITIALIZE DriverEntry;

#ifdef HWI_SIMULATED_IO
static UCHAR g_IoSpace[65536];

static uint8_t PortRead(void* context, uint16_t port) {
    (void)context;
    return g_IoSpace[port];
}

static void PortWrite(void* context, uint16_t port, uint8_t value) {
    (void)context;
    g_IoSpace[port] = value;
}

/* The simulated machine's parallel ports: LPT1 to LPT3 at their usual bases. */
static HwiLearnOutcome LearnPorts(HwiPortList* list) {
    HwiPortListAdd(list, 0x378);
    HwiPortListAdd(list, 0x278);
    HwiPortListAdd(list, 0x3BC);
    return HWI_LEARN_COMPLETE;
}
#else
static uint8_t PortRead(void* context, uint16_t port) {
    (void)context;
    return READ_PORT_UCHAR((PUCHAR)(ULONG_PTR)port);
}

static void PortWrite(void* context, uint16_t port, uint8_t value) {
    (void)context;
    WRITE_PORT_UCHAR((PUCHAR)(ULONG_PTR)port, value);
}

/* Asks the parallel port driver's device `name` for its port's base and
 * adds it to the list. TRUE when the device answered or does not exist,
 * FALSE when it exists but could not be asked. */
static BOOLEAN LearnPort(PUNICODE_STRING name, HwiPortList* list) {
    OBJECT_ATTRIBUTES attributes;
    HANDLE handle = NULL;
    PVOID file = NULL;
    PDEVICE_OBJECT target;
    PARALLEL_PORT_INFORMATION info;
    IO_STATUS_BLOCK io;
    KEVENT done;
    PIRP irp;
    NTSTATUS status;

    /* What IoGetDeviceObjectPointer does, step by step: the open tells
     * whether the device exists, the file object leads to its stack. */
    InitializeObjectAttributes(&attributes, name, OBJ_KERNEL_HANDLE | OBJ_CASE_INSENSITIVE, NULL,
                               NULL);
    status = ZwOpenFile(&handle, FILE_READ_ATTRIBUTES, &attributes, &io, 0, FILE_NON_DIRECTORY_FILE);
    if (status == STATUS_OBJECT_NAME_NOT_FOUND || status == STATUS_OBJECT_PATH_NOT_FOUND ||
        status == STATUS_NO_SUCH_DEVICE)
        return TRUE;  /* no such port (any more) */
    if (!NT_SUCCESS(status)) return FALSE;
    status = ObReferenceObjectByHandle(handle, 0, *IoFileObjectType, KernelMode, &file, NULL);
    ZwClose(handle);
    if (!NT_SUCCESS(status)) return FALSE;
    target = IoGetRelatedDeviceObject((PFILE_OBJECT)file);
    RtlZeroMemory(&info, sizeof(info));
    RtlZeroMemory(&io, sizeof(io));
    KeInitializeEvent(&done, NotificationEvent, FALSE);
    irp = IoBuildDeviceIoControlRequest(IOCTL_INTERNAL_GET_PARALLEL_PORT_INFO, target, NULL, 0,
                                        &info, sizeof(info), TRUE, &done, &io);
    if (irp) {
        status = IoCallDriver(target, irp);
        if (status == STATUS_PENDING) {
            KeWaitForSingleObject(&done, Executive, KernelMode, FALSE, NULL);
            status = io.Status;
        }
        if (NT_SUCCESS(status) && io.Information >= sizeof(info.OriginalController))
            HwiPortListAdd(list, (uint64_t)info.OriginalController.QuadPart);
        else
            status = STATUS_UNSUCCESSFUL;
    } else {
        status = STATUS_INSUFFICIENT_RESOURCES;
    }
    ObDereferenceObject(file);
    return NT_SUCCESS(status);
}

/* The machine's parallel ports: the parallel port driver names its devices
 * "\Device\ParallelPort0" onwards (numbers may have gaps once a port has
 * gone, so every number the list can hold is tried). PASSIVE_LEVEL only. */
static HwiLearnOutcome LearnPorts(HwiPortList* list) {
    static const WCHAR prefix[] = L"\\Device\\" DD_PARALLEL_PORT_BASE_NAME_U;
    WCHAR buffer[sizeof(prefix) / sizeof(WCHAR) + 4];
    UNICODE_STRING name;
    const USHORT prefixLength = (USHORT)(sizeof(prefix) - sizeof(WCHAR));
    ULONG number;
    HwiLearnOutcome outcome = HWI_LEARN_COMPLETE;

    if (KeGetCurrentIrql() != PASSIVE_LEVEL) return HWI_LEARN_NOT_RUN;
    RtlCopyMemory(buffer, prefix, prefixLength);
    name.Buffer = buffer;
    name.MaximumLength = sizeof(buffer);
    for (number = 0; number < 2 * HWI_MAX_PORTS && list->count < HWI_MAX_PORTS; ++number) {
        USHORT length = prefixLength / sizeof(WCHAR);
        if (number >= 10) buffer[length++] = (WCHAR)(L'0' + number / 10);
        buffer[length++] = (WCHAR)(L'0' + number % 10);
        name.Length = (USHORT)(length * sizeof(WCHAR));
        if (!LearnPort(&name, list)) outcome = HWI_LEARN_PARTIAL;
    }
    return outcome;
}
#endif

/* The ports learnt so far; the lock guards the table, the learning itself
 * runs unlocked at PASSIVE_LEVEL. */
static HwiPortTable g_KnownPorts;
static FAST_MUTEX g_KnownPortsLock;
static LONGLONG g_ClockTicksPerMs = 1;

static void LockPorts(void* context) {
    (void)context;
    ExAcquireFastMutex(&g_KnownPortsLock);
}

static void UnlockPorts(void* context) {
    (void)context;
    ExReleaseFastMutex(&g_KnownPortsLock);
}

/* Milliseconds of the performance counter, which only moves forward. */
static uint64_t ClockNow(void* context) {
    const LARGE_INTEGER count = KeQueryPerformanceCounter(NULL);
    (void)context;
    return count.QuadPart > 0 ? (uint64_t)(count.QuadPart / g_ClockTicksPerMs) : 0;
}

static HwiLearnOutcome Learn(void* context, HwiPortList* found) {
    (void)context;
    return LearnPorts(found);
}

static const HwiPortSource g_Ports = {&g_KnownPorts, LockPorts, UnlockPorts, ClockNow, Learn, NULL};

static const HwiPortAccess g_PortAccess = {PortRead, PortWrite, NULL};

/* SIDs of the groups that decide who may open the device. */
typedef struct {
    UCHAR Revision;
    UCHAR SubAuthorityCount;
    UCHAR IdentifierAuthority[6];
    ULONG SubAuthority[2];
} HwiSid;
/* BUILTIN\Administrators, S-1-5-32-544. */
static const HwiSid g_AdministratorsSid = {1, 2, {0, 0, 0, 0, 0, 5}, {32, 544}};
/* NT AUTHORITY\INTERACTIVE, S-1-5-4. */
static const HwiSid g_InteractiveSid = {1, 1, {0, 0, 0, 0, 0, 5}, {4, 0}};

/* One token information class in a pool buffer (NULL when unavailable). */
static PVOID QueryToken(HANDLE token, TOKEN_INFORMATION_CLASS what) {
    ULONG size = 0;
    PVOID data;
    ZwQueryInformationToken(token, what, NULL, 0, &size);
    if (size == 0) return NULL;
    data = ExAllocatePoolWithTag(PagedPool, size, HWI_POOL_TAG);
    if (data && !NT_SUCCESS(ZwQueryInformationToken(token, what, data, size, &size))) {
        ExFreePoolWithTag(data, HWI_POOL_TAG);
        data = NULL;
    }
    return data;
}

static BOOLEAN HasEnabledGroup(const TOKEN_GROUPS* groups, const HwiSid* sid) {
    ULONG i;
    for (i = 0; i < groups->GroupCount; ++i) {
        const ULONG attributes = groups->Groups[i].Attributes;
        if ((attributes & SE_GROUP_ENABLED) && !(attributes & SE_GROUP_USE_FOR_DENY_ONLY) &&
            RtlEqualSid(groups->Groups[i].Sid, (PSID)sid))
            return TRUE;
    }
    return FALSE;
}

/* What the token of the create request says of its requestor: the token
 * its access state's subject context names (the impersonation token the
 * request was made under, else the primary token), whichever thread the
 * request reaches the driver on. Whatever cannot be read counts against
 * the requestor. */
static void QueryRequestor(PIO_SECURITY_CONTEXT context, HwiCaller* caller) {
    HANDLE token = NULL;
    PACCESS_TOKEN subjectToken;
    NTSTATUS status;
    PTOKEN_GROUPS groups;
    PTOKEN_GROUPS restricted;
    PTOKEN_MANDATORY_LABEL label;
    ULONG size = 0;

    RtlZeroMemory(caller, sizeof(*caller));
    if (!context || !context->AccessState) return;
    subjectToken = SeQuerySubjectContextToken(&context->AccessState->SubjectSecurityContext);
    if (!subjectToken) return;
    status = ObOpenObjectByPointer(subjectToken, OBJ_KERNEL_HANDLE, NULL, TOKEN_QUERY,
                                   *SeTokenObjectType, KernelMode, &token);
    if (!NT_SUCCESS(status)) return;

    groups = (PTOKEN_GROUPS)QueryToken(token, TokenGroups);
    if (groups) {
        caller->administrator = HasEnabledGroup(groups, &g_AdministratorsSid);
        caller->interactive = HasEnabledGroup(groups, &g_InteractiveSid);
        ExFreePoolWithTag(groups, HWI_POOL_TAG);
    }
    /* A system that has no restricted tokens cannot answer the class. */
    status = ZwQueryInformationToken(token, TokenRestrictedSids, NULL, 0, &size);
    if (status == STATUS_INVALID_INFO_CLASS || status == STATUS_NOT_IMPLEMENTED) {
        caller->restrictedSids = 0;
    } else {
        restricted = (PTOKEN_GROUPS)QueryToken(token, TokenRestrictedSids);
        caller->restrictedSids = restricted ? restricted->GroupCount : 1;
        if (restricted) ExFreePoolWithTag(restricted, HWI_POOL_TAG);
    }
    label = (PTOKEN_MANDATORY_LABEL)QueryToken(token, TokenIntegrityLevel);
    if (label) {
        const ULONG count = *RtlSubAuthorityCountSid(label->Label.Sid);
        if (count > 0) caller->integrity = *RtlSubAuthoritySid(label->Label.Sid, count - 1);
        ExFreePoolWithTag(label, HWI_POOL_TAG);
    }
    ZwClose(token);
}

static NTSTATUS Complete(PIRP irp, NTSTATUS status, ULONG_PTR information) {
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

static NTSTATUS NTAPI DispatchCreate(PDEVICE_OBJECT device, PIRP irp) {
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    PIO_SECURITY_CONTEXT context = stack->Parameters.Create.SecurityContext;
    HwiCaller caller;
    NTSTATUS status;
    (void)device;
    /* Decided once per handle, by the request's own security context. */
    if (!HwiCreateIsChecked(irp->RequestorMode == KernelMode,
                            (stack->Flags & SL_FORCE_ACCESS_CHECK) != 0)) {
        caller.integrity = HWI_MEDIUM_INTEGRITY;
        caller.restrictedSids = 0;
        caller.interactive = 0;
        caller.administrator = 1;
    } else {
        QueryRequestor(context, &caller);
#ifdef HWI_SIMULATED_IO
        /* Test image only: Wine's driver host hands creates no security
         * context (and gives out the handle whatever the create answers);
         * the test image takes such a requestor as an administrator, so
         * that its simulated registers can be written. */
        if (!context) {
            caller.administrator = 1;
            caller.integrity = HWI_MEDIUM_INTEGRITY;
        }
#endif
    }
    status = (NTSTATUS)HwiOpenStatus(&caller);
    if (NT_SUCCESS(status) && stack->FileObject)
        stack->FileObject->FsContext = caller.administrator ? HWI_PRIVILEGED_HANDLE : NULL;
    return Complete(irp, status, 0);
}

static NTSTATUS NTAPI DispatchClose(PDEVICE_OBJECT device, PIRP irp) {
    (void)device;
    return Complete(irp, STATUS_SUCCESS, 0);
}

static NTSTATUS NTAPI DispatchControl(PDEVICE_OBJECT device, PIRP irp) {
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    const int privileged =
        stack->FileObject && stack->FileObject->FsContext == HWI_PRIVILEGED_HANDLE;
    uint32_t information = 0;
    const uint32_t status = HwiHandleControl(
        stack->Parameters.DeviceIoControl.IoControlCode, (uint8_t*)irp->AssociatedIrp.SystemBuffer,
        stack->Parameters.DeviceIoControl.InputBufferLength,
        stack->Parameters.DeviceIoControl.OutputBufferLength, privileged, &g_Ports, &g_PortAccess,
        &information);
    (void)device;
    return Complete(irp, (NTSTATUS)status, information);
}

static VOID NTAPI DriverUnload(PDRIVER_OBJECT driver) {
    UNICODE_STRING link;
    RtlInitUnicodeString(&link, L"\\DosDevices\\hwinterface");
    IoDeleteSymbolicLink(&link);
    if (driver->DeviceObject) IoDeleteDevice(driver->DeviceObject);
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath) {
    UNICODE_STRING name;
    UNICODE_STRING link;
    PDEVICE_OBJECT device = NULL;
    NTSTATUS status;
    (void)registryPath;

    /* The ports are learnt at the first request: at system start the
     * parallel port driver may not have started yet. */
    HwiPortTableInit(&g_KnownPorts);
    ExInitializeFastMutex(&g_KnownPortsLock);
    {
        LARGE_INTEGER frequency;
        KeQueryPerformanceCounter(&frequency);
        if (frequency.QuadPart >= 1000) g_ClockTicksPerMs = frequency.QuadPart / 1000;
    }

    RtlInitUnicodeString(&name, L"\\Device\\hwinterface");
    // Secure open: the device's security also guards opens of names below it.
    status = IoCreateDevice(driver, 0, &name, FILE_DEVICE_UNKNOWN, FILE_DEVICE_SECURE_OPEN, FALSE,
                            &device);
    if (!NT_SUCCESS(status)) return status;

    RtlInitUnicodeString(&link, L"\\DosDevices\\hwinterface");
    status = IoCreateSymbolicLink(&link, &name);
    if (!NT_SUCCESS(status)) {
        IoDeleteDevice(device);
        return status;
    }

    driver->MajorFunction[IRP_MJ_CREATE] = DispatchCreate;
    driver->MajorFunction[IRP_MJ_CLOSE] = DispatchClose;
    driver->MajorFunction[IRP_MJ_CLEANUP] = DispatchClose;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = DispatchControl;
    driver->DriverUnload = DriverUnload;
    return STATUS_SUCCESS;
}
