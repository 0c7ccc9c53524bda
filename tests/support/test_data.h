// Where the tests find their data. OMBRIX_TESTDATA_DIR is made on the Linux
// side by tests/data/make_testdata.sh (reached as Z:\... under Wine);
// OMBRIX_SHARED_TESTDATA_DIR holds the NTFS images made by Windows, which
// may be absent, so tests that need them skip.
#pragma once

#include <string>

namespace ombrix::test {

// Native paths in the form the test program's platform uses.
std::string TestDataDir();
std::string SharedTestDataDir();
std::string SourceDir();

std::u16string ToU16(const std::string& utf8);

}  // namespace ombrix::test
