// Paths as the engines hand them to the system.
#pragma once

#include <string>

namespace ombrix::base {

// Plain paths stop at MAX_PATH unless the process opted into long paths, so
// the folders of a deep tree would come back "path not found" and silently
// lose their contents. A path that long goes to the system in extended-length
// form (\\?\C:\... or \\?\UNC\server\share\...), after GetFullPathNameW has
// applied the plain-path rules ('/' separators, "." and "..") the extended
// form skips. Shorter paths, and paths already in a device form, stay as
// they are.
std::u16string ExtendedLengthPath(const std::u16string& path);


// The same for a folder about to be created: CreateDirectoryW keeps room
// for an 8.3 name inside the new folder and refuses plain paths from 248
// units on, 12 short of the limit for files.
std::u16string ExtendedLengthFolderPath(const std::u16string& path);

// A scan root in extended-length form whatever its length: made absolute by
// the plain-path rules first (it is what the user typed), then prefixed, so
// that names appended to it later reach the system exactly as listed. The
// classic parser would drop a trailing dot or space and turn CON or NUL.txt
// into devices, listing the wrong folder or none. Device forms stay.
std::u16string SystemRootPath(const std::u16string& root);

}  // namespace ombrix::base
