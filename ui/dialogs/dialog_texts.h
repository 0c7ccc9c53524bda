// Texts the dialogs show that need shaping before a Win32 control can show
// them.
#pragma once

#include <cstdint>
#include <string>

namespace ombrix::ui {

// The licence arrives as one line of the language file with its paragraphs
// separated by U+2029 (and lines, rarely, by U+2028). A multi-line edit
// control breaks lines only at CR LF, so paragraphs become CR LF CR LF and
// lines CR LF.
std::u16string LicenseTextForEditControl(const std::u16string& license);

// "Range: 1 to" and the maximum, with one space between.
std::u16string ThreadRangeText(const std::u16string& prefix, std::uint32_t maximum);

}  // namespace ombrix::ui
