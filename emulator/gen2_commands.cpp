#include "emulator/gen2_commands.h"

namespace velkor::emu {

namespace {

// The longest request data a frame can carry.
constexpr std::size_t kMaxRequestData = 255;

}  // namespace

Response on_tag(Reader &reader, Gen2Tag *tag, const TagOperation &op) {
  if (tag == nullptr) return Response::status(kStatusNoTag);
  if (reader.gen2.tag_error) return TagResult::tag_error(*reader.gen2.tag_error).response();
  return op(*tag);
}

void add_tag_command(CommandTable &table, std::uint8_t code, std::size_t lead,
                     FieldSize fields_size, TagHandler handler) {
  table.add(code, lead + 1, kMaxRequestData,
            [lead, fields_size = std::move(fields_size), handler = std::move(handler)](
                Reader &r, const Command &c) {
              const TagRequest request = parse_tag_request(c.data, lead, fields_size);
              if (request.status != kStatusOk) return Response::status(request.status);
              return on_tag(r, select_tag(r.tags, request.selection),
                            [&](Gen2Tag &tag) { return handler(tag, request); });
            });
}

void register_gen2_commands(CommandTable &table) {
  register_gen2_inventory_commands(table);
  register_gen2_memory_commands(table);
  register_gen2_kill_lock_commands(table);
  register_gen2_feature_commands(table);
}

}  // namespace velkor::emu
