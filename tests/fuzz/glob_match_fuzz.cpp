// The wildcard matcher on any text and pattern. Besides ending without a fault: a text
// always matches itself taken as a pattern ('*' matches itself among the rest), and an
// anchored match is also a floating one.
#include "fuzz_check.h"
#include "fuzz_input.h"
#include "glob_match.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input input(data, size);
  const bool floating = input.byte() & 1;
  const std::u16string text = input.text16();
  const std::u16string pattern = input.text16();

  const bool anchored = globMatch(text, pattern, false);
  const bool found = globMatch(text, pattern, true);
  FUZZ_CHECK(!anchored || found);
  FUZZ_CHECK(globMatch(pattern, pattern, floating));
  return 0;
}
