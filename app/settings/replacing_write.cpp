#include "app/settings/replacing_write.h"

#include "base/text_encoding.h"

namespace ombrix::app {

bool WriteReplacing(const SettingsFiles& files, const std::u16string& path, std::string_view bytes) {
  // Beside the target, so the replacing rename stays on one volume.
  const std::u16string temporaryPath =
      path + u'.' + base::FromUtf8(std::to_string(files.processId)) + u".tmp";
  if (files.writeFile(temporaryPath, bytes) && files.replaceFile(temporaryPath, path)) {
    return true;
  }
  files.removeFile(temporaryPath);
  return false;
}

}  // namespace ombrix::app
