/* hwinterface.sys: the port-I/O driver of the status monitor. It offers
 * "\\.\hwinterface" with a byte read and a byte write of any I/O port; the
 * requests are handled by port_request.c. Built with HWI_SIMULATED_IO it
 * works on a simulated I/O space instead of the hardware (test image). */
#include <ntifs.h>

#include "port_request.h"

#ifndef SE_GROUP_ENABLED
#define SE_GROUP_ENABLED 0x00000004L
#endif
#ifndef SE_GROUP_USE_FOR_DENY_ONLY
#define SE_GROUP_USE_FOR_DENY_ONLY 0x00000010L
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
#else
static uint8_t PortRead(void* context, uint16_t port) {
    (void)context;
    return READ_PORT_UCHAR((PUCHAR)(ULONG_PTR)port);
}

static void PortWrite(void* context, uint16_t port, uint8_t value) {
    (void)context;
    WRITE_PORT_UCHAR((PUCHAR)(ULONG_PTR)port, value);
}
#endif

static const HwiPortAccess g_PortAccess = {PortRead, PortWrite, NULL};

/* BUILTIN\Administrators, S-1-5-32-544. */
static const struct {
    UCHAR Revision;
    UCHAR SubAuthorityCount;
    UCHAR IdentifierAuthority[6];
    ULONG SubAuthority[2];
} g_AdministratorsSid = {1, 2, {0, 0, 0, 0, 0, 5}, {32, 544}};

/* Whether the thread sending the create request (the caller: a device
 * opened directly is created in its context) holds administrator rights:
 * its token, or its process's, has the enabled Administrators group. */
static BOOLEAN CallerIsAdministrator(PIRP irp) {
    HANDLE token = NULL;
    NTSTATUS status;
    ULONG size = 0;
    PTOKEN_GROUPS groups;
    BOOLEAN admin = FALSE;
    ULONG i;

    if (irp->RequestorMode == KernelMode) return TRUE;

    status = ZwOpenThreadTokenEx(NtCurrentThread(), TOKEN_QUERY, TRUE, OBJ_KERNEL_HANDLE, &token);
    if (status == STATUS_NO_TOKEN)
        status = ZwOpenProcessTokenEx(NtCurrentProcess(), TOKEN_QUERY, OBJ_KERNEL_HANDLE, &token);
    if (!NT_SUCCESS(status)) return FALSE;

    ZwQueryInformationToken(token, TokenGroups, NULL, 0, &size);
    if (size < sizeof(TOKEN_GROUPS)) {
        ZwClose(token);
        return FALSE;
    }
    groups = (PTOKEN_GROUPS)ExAllocatePoolWithTag(PagedPool, size, HWI_POOL_TAG);
    if (!groups) {
        ZwClose(token);
        return FALSE;
    }
    status = ZwQueryInformationToken(token, TokenGroups, groups, size, &size);
    ZwClose(token);
    if (NT_SUCCESS(status)) {
        for (i = 0; i < groups->GroupCount && !admin; ++i) {
            const ULONG attributes = groups->Groups[i].Attributes;
            if ((attributes & SE_GROUP_ENABLED) && !(attributes & SE_GROUP_USE_FOR_DENY_ONLY) &&
                RtlEqualSid(groups->Groups[i].Sid, (PSID)&g_AdministratorsSid))
                admin = TRUE;
        }
    }
    ExFreePoolWithTag(groups, HWI_POOL_TAG);
    return admin;
}

static NTSTATUS Complete(PIRP irp, NTSTATUS status, ULONG_PTR information) {
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

static NTSTATUS NTAPI DispatchCreate(PDEVICE_OBJECT device, PIRP irp) {
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    (void)device;
    /* Decided once per handle, in the opener's context. */
    if (stack->FileObject)
        stack->FileObject->FsContext = CallerIsAdministrator(irp) ? HWI_PRIVILEGED_HANDLE : NULL;
    return Complete(irp, STATUS_SUCCESS, 0);
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
        stack->Parameters.DeviceIoControl.OutputBufferLength, privileged, &g_PortAccess,
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
