// ombrix-scan's entry point in the native build: the arguments are UTF-8.
#include <string>
#include <vector>

#include "base/text_encoding.h"
#include "tools/ombrix_scan/console_program.h"

int main(int argc, char** argv) {
  std::vector<std::u16string> args;
  for (int i = 1; i < argc; ++i) args.push_back(ombrix::base::FromUtf8(argv[i]));
  return ombrix::scan_tool::RunConsoleProgram(args);
}
