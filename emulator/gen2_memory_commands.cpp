// Gen2 memory access of the emulated reader: read, write, block write and
// erase (word pointer of one byte, or two in the extended commands, high
// byte first) and the EPC rewrite of the tag in the field.
#include "emulator/gen2_commands.h"

namespace velkor::emu {

namespace {

// Bank, word pointer, word count, password.
void add_read(CommandTable &table, std::uint8_t code, std::size_t pointer_size) {
  add_tag_command(table, code, 0, fixed(2 + pointer_size + kPasswordSize),
                  [pointer_size](Gen2Tag &tag, const TagRequest &req) {
                    FieldReader in(req.fields);
                    const std::uint8_t bank = in.u8();
                    const std::size_t pointer = pointer_size == 2 ? in.u16() : in.u8();
                    const std::uint8_t count = in.u8();
                    Bytes words;
                    return read_words(tag, bank, pointer, count, in.u32(), words)
                        .response(words);
                  });
}

// Word count ahead of E; then bank, word pointer, the words, password.
void add_write(CommandTable &table, std::uint8_t code, std::size_t pointer_size) {
  const FieldSize size = [pointer_size](const Bytes &lead) {
    return 1 + pointer_size + 2u * lead[0] + kPasswordSize;
  };
  add_tag_command(table, code, 1, size, [pointer_size](Gen2Tag &tag, const TagRequest &req) {
    FieldReader in(req.fields);
    const std::uint8_t bank = in.u8();
    const std::size_t pointer = pointer_size == 2 ? in.u16() : in.u8();
    if (req.lead[0] == 0) return Response::status(kStatusParameterError);
    const Bytes data = in.take(2u * req.lead[0]);
    return write_words(tag, bank, pointer, data, in.u32()).response();
  });
}

}  // namespace

void register_gen2_memory_commands(CommandTable &table) {
  add_read(table, 0x02, 1);
  add_read(table, 0x15, 2);
  add_write(table, 0x03, 1);
  add_write(table, 0x10, 1);
  add_write(table, 0x16, 2);
  add_tag_command(table, 0x07, 0, fixed(3 + kPasswordSize),
                  [](Gen2Tag &tag, const TagRequest &req) {
                    FieldReader in(req.fields);
                    const std::uint8_t bank = in.u8();
                    const std::uint8_t pointer = in.u8();
                    const std::uint8_t count = in.u8();
                    return erase_words(tag, bank, pointer, count, in.u32()).response();
                  });
  // E words of new EPC after the password; the tag is the one in the field.
  table.add(0x04, 1 + kPasswordSize, 255, [](Reader &r, const Command &c) {
    FieldReader in(c.data);
    const std::uint8_t words = in.u8();
    const std::uint32_t password = in.u32();
    const Bytes epc = in.take(2u * words);
    if (!in.whole() || in.left() != 0) return Response::status(kStatusLengthError);
    return on_tag(r, first_answering(r.tags), [&](Gen2Tag &tag) {
      return write_epc(tag, epc, password).response();
    });
  });
}

}  // namespace velkor::emu
