#include "tests/support/test_data.h"

#include "base/text_encoding.h"

namespace ombrix::test {

std::string TestDataDir() { return OMBRIX_TESTDATA_DIR; }
std::string SharedTestDataDir() { return OMBRIX_SHARED_TESTDATA_DIR; }
std::string SourceDir() { return OMBRIX_SOURCE_DIR; }

std::u16string ToU16(const std::string& utf8) { return base::FromUtf8(utf8); }

}  // namespace ombrix::test
