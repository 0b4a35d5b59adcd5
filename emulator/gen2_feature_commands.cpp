// Tag features of the emulated reader beyond plain memory: privacy, EAS and
// the Monza 4QT work parameter.
//
//  - A tag in privacy answers no inventory and no selection until
//    ResetPrivacy_G2, which takes out of privacy every tag the password
//    secures (0xFB when no tag is in privacy, tag error 0x04 when the
//    password secures none of them).  SetPrivacyWithoutEPC_G2 works on the
//    tag that answers first.  CheckPrivacy_G2 answers 1 when any tag in the
//    field (killed ones aside) is in privacy, else 0; 0xFB with no tag at all.
//  - EASConfigure_G2: bit 0 of the EAS byte sets or clears the tag's EAS bit.
//    EASAlarm_G2 answers status 0 while a tag that answers has its EAS bit
//    set, else 0xFB.
//  - The Monza 4QT parameter reads back as the two bytes 0x00, parameter;
//    the write takes 0x00, parameter.
//  - Every change needs the tag's secured state (its access password).
#include <algorithm>

#include "emulator/gen2_commands.h"

namespace velkor::emu {

namespace {

Response secured_change(Gen2Tag &tag, std::uint32_t password,
                        const std::function<void(Gen2Tag &)> &change) {
  if (!secured(tag, password)) return TagResult::tag_error(kTagErrorMemoryLocked).response();
  change(tag);
  return Response::ok();
}

bool in_privacy(const Gen2Tag &tag) { return !tag.killed && tag.privacy; }

Response reset_privacy(Reader &r, std::uint32_t password) {
  auto &tags = r.tags.gen2;
  const auto first = std::find_if(tags.begin(), tags.end(), in_privacy);
  if (first == tags.end()) return Response::status(kStatusNoTag);
  return on_tag(r, &*first, [&](Gen2Tag &) {
    bool any = false;
    for (Gen2Tag &tag : tags) {
      if (!in_privacy(tag) || !secured(tag, password)) continue;
      tag.privacy = false;
      any = true;
    }
    return any ? Response::ok() : TagResult::tag_error(kTagErrorMemoryLocked).response();
  });
}

Response check_privacy(Reader &r) {
  const auto &tags = r.tags.gen2;
  if (std::all_of(tags.begin(), tags.end(), [](const Gen2Tag &t) { return t.killed; }))
    return Response::status(kStatusNoTag);
  const bool any = std::any_of(tags.begin(), tags.end(), in_privacy);
  return Response::ok({static_cast<std::uint8_t>(any ? 1 : 0)});
}

Response eas_alarm(Reader &r) {
  const auto &tags = r.tags.gen2;
  const bool alarm = std::any_of(tags.begin(), tags.end(),
                                 [](const Gen2Tag &t) { return answers(t) && t.eas; });
  return alarm ? Response::ok() : Response::status(kStatusNoTag);
}

}  // namespace

void register_gen2_feature_commands(CommandTable &table) {
  const auto set_privacy = [](Gen2Tag &t) { t.privacy = true; };
  add_tag_command(table, 0x08, 0, fixed(kPasswordSize),
                  [=](Gen2Tag &tag, const TagRequest &req) {
                    FieldReader in(req.fields);
                    return secured_change(tag, in.u32(), set_privacy);
                  });
  table.add(0x09, kPasswordSize, [=](Reader &r, const Command &c) {
    FieldReader in(c.data);
    const std::uint32_t password = in.u32();
    return on_tag(r, first_answering(r.tags), [&](Gen2Tag &tag) {
      return secured_change(tag, password, set_privacy);
    });
  });
  table.add(0x0A, kPasswordSize, [](Reader &r, const Command &c) {
    FieldReader in(c.data);
    return reset_privacy(r, in.u32());
  });
  table.add(0x0B, 0, [](Reader &r, const Command &) { return check_privacy(r); });

  add_tag_command(table, 0x0C, 0, fixed(kPasswordSize + 1),
                  [](Gen2Tag &tag, const TagRequest &req) {
                    FieldReader in(req.fields);
                    const std::uint32_t password = in.u32();
                    const bool eas = in.u8() & 1u;
                    return secured_change(tag, password, [eas](Gen2Tag &t) { t.eas = eas; });
                  });
  table.add(0x0D, 0, [](Reader &r, const Command &) { return eas_alarm(r); });

  add_tag_command(table, 0x11, 0, fixed(kPasswordSize),
                  [](Gen2Tag &tag, const TagRequest &req) {
                    FieldReader in(req.fields);
                    if (!secured(tag, in.u32()))
                      return TagResult::tag_error(kTagErrorMemoryLocked).response();
                    return Response::ok({0x00, tag.monza_qt});
                  });
  add_tag_command(table, 0x12, 0, fixed(2 + kPasswordSize),
                  [](Gen2Tag &tag, const TagRequest &req) {
                    FieldReader in(req.fields);
                    if (in.u8() != 0x00) return Response::status(kStatusParameterError);
                    const std::uint8_t parameter = in.u8();
                    return secured_change(tag, in.u32(),
                                          [parameter](Gen2Tag &t) { t.monza_qt = parameter; });
                  });
}

}  // namespace velkor::emu
