#include "core/process_elevation_win.h"

#include <windows.h>

namespace ombrix::core {

bool IsProcessElevated() {
  SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
  PSID administrators = nullptr;
  if (!::AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                  DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &administrators)) {
    return false;
  }
  BOOL member = FALSE;
  // A null token asks about the caller's effective token, so a filtered
  // administrator token answers "not a member".
  const BOOL asked = ::CheckTokenMembership(nullptr, administrators, &member);
  ::FreeSid(administrators);
  return asked && member;
}

}  // namespace ombrix::core
