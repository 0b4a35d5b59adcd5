// The schemes' bit layouts: header, filter and partition, then up to three
// components whose widths come from a partition table or are fixed.
#ifndef VELKOR_EPC_LAYOUT_H
#define VELKOR_EPC_LAYOUT_H

#include <array>
#include <cstdint>
#include <string_view>

#include "velkor_epc.h"

namespace velkor::epc {

/// The identity a scheme carries; a family has one or two sizes.
enum class Family : std::uint8_t { Sgtin, Sscc, Sgln, Grai, Giai, Gid, Gsrn, Gdti };

/// How a component is held in the bits and written in URIs.
enum class Kind : std::uint8_t {
  Absent,    // no such component
  Padded,    // a fixed number of digits, leading zeros kept
  Integer,   // decimal without leading zeros
  String,    // 7-bit characters, zero-terminated unless the field is full
  Reserved,  // bits that must be zero, no URI component
};

/// One component's place in a given partition.
struct Component {
  Kind kind = Kind::Absent;
  std::uint8_t bits = 0;
  std::uint8_t size = 0;  // Padded: digits; String: most characters
};

/// One row of a partition table: company prefix and reference widths.
struct PartitionRow {
  std::uint8_t company_bits, company_digits, reference_bits, reference_digits;
};
using PartitionTable = std::array<PartitionRow, 7>;

struct Layout {
  velkor_epc_scheme scheme;
  const char *name;    // as in a tag URI: "sgtin-96"
  const char *family_name;  // as in a pure-identity URI: "sgtin"
  Family family;
  std::uint8_t header;
  std::uint8_t bits;
  const PartitionTable *partitions;  // null: fixed widths (GID)
  Kind reference_kind;  // Padded, or Absent when the table's reference is the tail (GIAI)
  Kind tail_kind;
  std::uint8_t tail_bits;   // 0: the table's reference width
  std::uint8_t tail_chars;  // String: most characters; 0: the table's reference digits
  std::array<const char *, 3> names;  // component names, null where absent
};

/// The layout of a scheme, or null.
const Layout *layout_of(velkor_epc_scheme scheme);
/// The layout with this header byte, or null.
const Layout *layout_by_header(std::uint8_t header);
/// The layout with this tag-URI name ("sgtin-96"), or null.
const Layout *layout_by_name(std::string_view name);
/// The layout of a family with a size; bits 0 gives the family's smallest.
const Layout *layout_by_family(Family family, unsigned bits);
/// The family's larger scheme when it has one, else null.
const Layout *larger_layout(const Layout &layout);
/// The family with this pure-identity name ("sgtin"), false if none.
bool family_by_name(std::string_view name, Family *family);

/// The three components of a layout under a partition (0..6).
std::array<Component, 3> components(const Layout &layout, unsigned partition);

/// True when the layout has a filter and a partition (all but GID).
inline bool has_filter(const Layout &layout) { return layout.partitions != nullptr; }

}  // namespace velkor::epc

#endif  // VELKOR_EPC_LAYOUT_H
