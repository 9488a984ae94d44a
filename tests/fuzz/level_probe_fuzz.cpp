// What a device answers voskelcfg's level query, arriving byte by byte. The probe reads
// until it holds a level reply, so however the line splits the answer into reads, the
// reply must be heard exactly when its last byte has come: not on a part of it, and not
// lost again as more bytes follow.
#include <cstdint>
#include <string_view>

#include "fuzz/invariant.h"
#include "link/reply_fields.h"
#include "voskelcfg/level_probe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view heard(reinterpret_cast<const char*>(data), size);
  const std::size_t at = voskel::FindLevelReply(heard);
  const std::size_t complete =
      at == std::string_view::npos ? size + 1 : at + voskel::kLevelReplyLength;
  for (std::size_t arrived = 0; arrived <= size; ++arrived)
    voskel::fuzz::Require(
        voskelcfg::HoldsLevelReply(heard.substr(0, arrived)) == (arrived >= complete),
        "a level reply is heard once its last byte has come, and stays heard");
  return 0;
}
