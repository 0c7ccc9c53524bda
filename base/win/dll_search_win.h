#pragma once

namespace ombrix::base {

// The first call of both programs' entry points. Ombrix is often started
// elevated from a downloads folder, and Windows looks for a DLL in the
// program's own folder before the system folder: a file dropped beside the
// executable would run with administrator rights. From here on, DLLs are
// looked for in System32 only. (The static imports, loaded before any code
// runs, are held to Windows' KnownDLLs, which always come from System32;
// the import-table check in tests/layout guards that.)
void RestrictDllSearchToSystem32();

}  // namespace ombrix::base
