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

// RtlSetProcessPlaceholderCompatibilityMode: learn.microsoft.com,
// "RtlSetProcessPlaceholderCompatibilityMode function (ntifs.h)"; Windows
// 10 1803 and later. Returns the previous mode, or a negative value.
using RtlSetProcessPlaceholderCompatibilityModeFunction = CHAR(NTAPI*)(CHAR mode);
inline constexpr CHAR kPlaceholdersExposed = 2;  // PHCM_EXPOSE_PLACEHOLDERS

struct NtdllFunctions {
  NtQueryDirectoryFileFunction queryDirectoryFile = nullptr;
  RtlNtStatusToDosErrorFunction statusToDosError = nullptr;
  RtlSetProcessPlaceholderCompatibilityModeFunction setPlaceholderCompatibilityMode = nullptr;
};

const NtdllFunctions& Ntdll();

// Cloud placeholders are shown to this process as what they are (their
// attributes and reparse tags) rather than disguised as ordinary files, so
// a scan can tell what is stored from what is only online. Opening them is
// never needed for that. False where Windows lacks the call.
bool ExposePlaceholders(const NtdllFunctions& functions = Ntdll());

}  // namespace ombrix::base
