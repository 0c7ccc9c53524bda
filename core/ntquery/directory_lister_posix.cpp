// The system lister for platforms without ntdll: the Windows one is in
// directory_lister_win.cpp.
#include "base/system_error_codes.h"
#include "core/ntquery/directory_lister.h"

namespace ombrix::core {
namespace {

class MissingQueryCallLister final : public IDirectoryLister {
 public:
  bool HasQueryCall() const override { return false; }
  std::optional<PathAttributes> ReadAttributes(const std::u16string&) const override {
    return std::nullopt;
  }
  DirectoryOpenResult OpenDirectory(const std::u16string&) const override {
    return DirectoryOpenResult{nullptr, base::kErrorProcNotFound};
  }
  std::optional<std::uint32_t> MapStatus(NtStatus) const override { return std::nullopt; }
};

}  // namespace

std::shared_ptr<const IDirectoryLister> MakeSystemDirectoryLister() {
  return std::make_shared<MissingQueryCallLister>();
}

}  // namespace ombrix::core
