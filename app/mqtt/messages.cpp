#include "app/mqtt/messages.h"

namespace velkor::app::mqtt {

std::string message(const std::string &reader, std::uint64_t seq, const events::Json &document) {
  events::Json m = {{"reader", reader}};
  if (seq != 0) m["seq"] = seq;
  m.update(document);
  return m.dump();
}

}  // namespace velkor::app::mqtt
