// What `commission` issues, in order: identities made from a GTIN and a
// serial range, or read from a file of URIs or hex EPCs.  Every identity is
// encoded (and every bad one refused) before the first tag is touched.
#ifndef VELKOR_APP_COMMISSION_PLAN_H
#define VELKOR_APP_COMMISSION_PLAN_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/base/hex.h"
#include "app/files/file_system.h"

namespace velkor::app {

/// One identity to write to one tag.
struct Identity {
  std::string serial;  ///< the EPC's serial, or "line N" of a file when it has none
  Bytes epc;           ///< the EPC bank content, whole words
  std::string uri;     ///< the EPC Tag URI; "" when the EPC is of no known scheme
};

/// GS1 keys and a serial range.
struct KeyRange {
  std::string gtin;
  unsigned prefix_length = 0;
  std::uint64_t serial_from = 0;
  std::uint64_t count = 0;
  unsigned filter = 0;
  unsigned bits = 0;  ///< the scheme's size; 0: the smallest that holds each
};

/// The identities of the range, or nullopt with the reason (naming the
/// serial or field) in *error.
std::optional<std::vector<Identity>> plan_from_keys(const KeyRange &range, std::string *error);

/// The identities in `text` (a file's content): the first field of each
/// line is a tag URI, a pure-identity URI (encoded with filter and bits) or
/// an EPC in hex; blank lines and lines starting with '#' are skipped, and
/// so is a first line that is none of these (a header).  nullopt with the
/// line and the reason in *error for anything else, and for an EPC that
/// repeats an earlier line.
std::optional<std::vector<Identity>> plan_from_text(const std::string &text, unsigned filter,
                                                    unsigned bits, std::string *error);

/// The identities in the file at `path`, as plan_from_text reads them; the
/// file is read with limits (64 MiB, lines of 4 KiB), so a device or a
/// file without end is refused, not read on.  nullopt with the path and
/// the reason in *error (a bad field shown escaped and cut, never raw).
std::optional<std::vector<Identity>> plan_from_file(const std::string &path, unsigned filter,
                                                    unsigned bits, std::string *error,
                                                    FileSystem &fs = system_file_system());

}  // namespace velkor::app

#endif  // VELKOR_APP_COMMISSION_PLAN_H
