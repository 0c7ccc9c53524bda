#include "tests/support/test_data.h"

#include "core/text_encoding.h"

namespace ombrix::test {

std::string TestDataDir() { return OMBRIX_TESTDATA_DIR; }
std::string SharedTestDataDir() { return OMBRIX_SHARED_TESTDATA_DIR; }
std::string SourceDir() { return OMBRIX_SOURCE_DIR; }

std::u16string ToU16(const std::string& utf8) { return core::FromUtf8(utf8); }
std::string ToUtf8(const std::u16string& text) { return core::ToUtf8(text); }

}  // namespace ombrix::test
