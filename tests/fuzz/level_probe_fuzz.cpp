// What a device answers voskelcfg's level query: a level reply is heard exactly where the
// panel, seeking a lost receiver, would hear one.
#include <cstdint>
#include <string_view>

#include "fuzz/invariant.h"
#include "link/reply_fields.h"
#include "voskelcfg/level_probe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view heard(reinterpret_cast<const char*>(data), size);
  voskel::fuzz::Require(voskelcfg::HoldsLevelReply(heard) ==
                            (voskel::FindLevelReply(heard) != std::string_view::npos),
                        "voskelcfg and the panel agree on a level reply");
  return 0;
}
