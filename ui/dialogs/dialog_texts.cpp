#include "ui/dialogs/dialog_texts.h"

#include <cstdint>
#include <string>

namespace ombrix::ui {

std::u16string LicenseTextForEditControl(const std::u16string& license) {
  std::u16string text;
  text.reserve(license.size() + 64);
  for (const char16_t unit : license) {
    if (unit == u'\u2029') {
      text += u"\r\n\r\n";
    } else if (unit == u'\u2028') {
      text += u"\r\n";
    } else {
      text += unit;
    }
  }
  return text;
}

std::u16string ThreadRangeText(const std::u16string& prefix, std::uint32_t maximum) {
  const std::string digits = std::to_string(maximum);
  return prefix + u' ' + std::u16string(digits.begin(), digits.end());
}

}  // namespace ombrix::ui
