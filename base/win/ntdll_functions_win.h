// ntdll exports the engine uses, looked up at run time because they are
// not part of the documented Win32 import libraries. Our own prototypes, so
// no driver-kit header is needed. Resolved once per process; a member is
// null when the export is missing.
#pragma once

#include <windows.h>

namespace ombrix::base {

// IO_STATUS_BLOCK: learn.microsoft.com, "IO_STATUS_BLOCK structure (wdm.h)".
struct NtIoStatusBlock {
  union {
    LONG Status;
    PVOID Pointer;
  };
  ULONG_PTR Information;
};

// NtQueryDirectoryFile: learn.microsoft.com, "NtQueryDirectoryFile function
// (ntifs.h)" (ZwQueryDirectoryFile has the same parameters). The APC routine
// and FileName (a PUNICODE_STRING) are always null here, so they are typed
// as plain pointers.
using NtQueryDirectoryFileFunction = LONG(NTAPI*)(HANDLE fileHandle, HANDLE event, PVOID apcRoutine,
                                                  PVOID apcContext, NtIoStatusBlock* ioStatusBlock,
                                                  PVOID fileInformation, ULONG length,
                                                  ULONG fileInformationClass,
                                                  BOOLEAN returnSingleEntry, PVOID fileName,
                                                  BOOLEAN restartScan);

// RtlNtStatusToDosError: learn.microsoft.com, "RtlNtStatusToDosError
// function (winternl.h)".
using RtlNtStatusToDosErrorFunction = ULONG(NTAPI*)(LONG status);

struct NtdllFunctions {
  NtQueryDirectoryFileFunction queryDirectoryFile = nullptr;
  RtlNtStatusToDosErrorFunction statusToDosError = nullptr;
};

const NtdllFunctions& Ntdll();

}  // namespace ombrix::base
