// Prints the export table the Windows DLL must have, one "ordinal name" line
// per export ("-" for the unnamed one), straight from the export list.
#include <cstdio>

#include "framework/interface/ExportList.h"

int main() {
#define RIR_PRINT(ordinal, name, ...) std::printf("%u %s\n", static_cast<unsigned>(ordinal), #name);
  RIR_INIT_EXPORTS(RIR_PRINT)
  RIR_DIALOG_EXPORTS(RIR_PRINT)
#undef RIR_PRINT
  // A PE ordinal has 16 bits: a caller passing the greeting's number reaches it modulo 65536.
  std::printf("%u -\n", kHelloOrdinal % 65536u);
  std::printf("* RirEda_SetMessageHandler\n* RirEda_SetLanguage\n* RirEda_SetHostServices\n");
  return 0;
}
