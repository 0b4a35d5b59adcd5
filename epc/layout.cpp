// The scheme table: every scheme's header, size, partition table and
// component kinds.
#include "epc/layout.h"

namespace velkor::epc {
namespace {

// Company prefix of 12 down to 6 digits for partitions 0 to 6; the
// reference takes the rest of the bits.
constexpr PartitionTable kSgtin{{{40, 12, 4, 1}, {37, 11, 7, 2}, {34, 10, 10, 3},
                                 {30, 9, 14, 4}, {27, 8, 17, 5}, {24, 7, 20, 6},
                                 {20, 6, 24, 7}}};
constexpr PartitionTable kSscc{{{40, 12, 18, 5}, {37, 11, 21, 6}, {34, 10, 24, 7},
                                {30, 9, 28, 8}, {27, 8, 31, 9}, {24, 7, 34, 10},
                                {20, 6, 38, 11}}};
constexpr PartitionTable kSgln{{{40, 12, 1, 0}, {37, 11, 4, 1}, {34, 10, 7, 2},
                                {30, 9, 11, 3}, {27, 8, 14, 4}, {24, 7, 17, 5},
                                {20, 6, 21, 6}}};
constexpr PartitionTable kGrai{{{40, 12, 4, 0}, {37, 11, 7, 1}, {34, 10, 10, 2},
                                {30, 9, 14, 3}, {27, 8, 17, 4}, {24, 7, 20, 5},
                                {20, 6, 24, 6}}};
// GIAI: the reference column is the individual asset reference (digits, or
// characters for GIAI-202).
constexpr PartitionTable kGiai96{{{40, 12, 42, 13}, {37, 11, 45, 14}, {34, 10, 48, 15},
                                  {30, 9, 52, 16}, {27, 8, 55, 17}, {24, 7, 58, 18},
                                  {20, 6, 62, 19}}};
constexpr PartitionTable kGiai202{{{40, 12, 148, 18}, {37, 11, 151, 19}, {34, 10, 154, 20},
                                   {30, 9, 158, 21}, {27, 8, 161, 22}, {24, 7, 164, 23},
                                   {20, 6, 168, 24}}};

constexpr const char *kCompany = "company prefix";

constexpr Layout kLayouts[] = {
    {VELKOR_EPC_SGTIN_96, "sgtin-96", "sgtin", Family::Sgtin, 0x30, 96, &kSgtin, Kind::Padded,
     Kind::Integer, 38, 0, {kCompany, "item reference", "serial"}},
    {VELKOR_EPC_SGTIN_198, "sgtin-198", "sgtin", Family::Sgtin, 0x36, 198, &kSgtin,
     Kind::Padded, Kind::String, 140, 20, {kCompany, "item reference", "serial"}},
    {VELKOR_EPC_SSCC_96, "sscc-96", "sscc", Family::Sscc, 0x31, 96, &kSscc, Kind::Padded,
     Kind::Reserved, 24, 0, {kCompany, "serial reference", nullptr}},
    {VELKOR_EPC_SGLN_96, "sgln-96", "sgln", Family::Sgln, 0x32, 96, &kSgln, Kind::Padded,
     Kind::Integer, 41, 0, {kCompany, "location reference", "extension"}},
    {VELKOR_EPC_SGLN_195, "sgln-195", "sgln", Family::Sgln, 0x39, 195, &kSgln, Kind::Padded,
     Kind::String, 140, 20, {kCompany, "location reference", "extension"}},
    {VELKOR_EPC_GRAI_96, "grai-96", "grai", Family::Grai, 0x33, 96, &kGrai, Kind::Padded,
     Kind::Integer, 38, 0, {kCompany, "asset type", "serial"}},
    {VELKOR_EPC_GRAI_170, "grai-170", "grai", Family::Grai, 0x37, 170, &kGrai, Kind::Padded,
     Kind::String, 112, 16, {kCompany, "asset type", "serial"}},
    {VELKOR_EPC_GIAI_96, "giai-96", "giai", Family::Giai, 0x34, 96, &kGiai96, Kind::Absent,
     Kind::Integer, 0, 0, {kCompany, nullptr, "individual asset reference"}},
    {VELKOR_EPC_GIAI_202, "giai-202", "giai", Family::Giai, 0x38, 202, &kGiai202,
     Kind::Absent, Kind::String, 0, 0, {kCompany, nullptr, "individual asset reference"}},
    {VELKOR_EPC_GID_96, "gid-96", "gid", Family::Gid, 0x35, 96, nullptr, Kind::Integer,
     Kind::Integer, 36, 0, {"general manager number", "object class", "serial"}},
    {VELKOR_EPC_GSRN_96, "gsrn-96", "gsrn", Family::Gsrn, 0x2D, 96, &kSscc, Kind::Padded,
     Kind::Reserved, 24, 0, {kCompany, "service reference", nullptr}},
    {VELKOR_EPC_GDTI_96, "gdti-96", "gdti", Family::Gdti, 0x2C, 96, &kSgln, Kind::Padded,
     Kind::Integer, 41, 0, {kCompany, "document type", "serial"}},
};

}  // namespace

const Layout *layout_of(velkor_epc_scheme scheme) {
  for (const Layout &layout : kLayouts)
    if (layout.scheme == scheme) return &layout;
  return nullptr;
}

const Layout *layout_by_header(std::uint8_t header) {
  for (const Layout &layout : kLayouts)
    if (layout.header == header) return &layout;
  return nullptr;
}

const Layout *layout_by_name(std::string_view name) {
  for (const Layout &layout : kLayouts)
    if (name == layout.name) return &layout;
  return nullptr;
}

const Layout *layout_by_family(Family family, unsigned bits) {
  for (const Layout &layout : kLayouts)
    if (layout.family == family && (bits == 0 || bits == layout.bits)) return &layout;
  return nullptr;
}

const Layout *larger_layout(const Layout &layout) {
  for (const Layout &other : kLayouts)
    if (other.family == layout.family && other.bits > layout.bits) return &other;
  return nullptr;
}

bool family_by_name(std::string_view name, Family *family) {
  for (const Layout &layout : kLayouts) {
    if (name == layout.family_name) {
      *family = layout.family;
      return true;
    }
  }
  return false;
}

std::array<Component, 3> components(const Layout &layout, unsigned partition) {
  if (layout.partitions == nullptr)  // GID: fixed integer fields
    return {Component{Kind::Integer, 28, 0}, Component{Kind::Integer, 24, 0},
            Component{Kind::Integer, 36, 0}};
  const PartitionRow &row = (*layout.partitions)[partition];
  Component company{Kind::Padded, row.company_bits, row.company_digits};
  if (layout.reference_kind == Kind::Absent)  // GIAI: the asset reference is the tail
    return {company, Component{},
            Component{layout.tail_kind, row.reference_bits, row.reference_digits}};
  return {company, Component{Kind::Padded, row.reference_bits, row.reference_digits},
          Component{layout.tail_kind, layout.tail_bits, layout.tail_chars}};
}

}  // namespace velkor::epc

using namespace velkor::epc;

extern "C" const char *velkor_epc_scheme_name(velkor_epc_scheme scheme) {
  const Layout *layout = layout_of(scheme);
  return layout != nullptr ? layout->name : "";
}

extern "C" unsigned velkor_epc_scheme_bits(velkor_epc_scheme scheme) {
  const Layout *layout = layout_of(scheme);
  return layout != nullptr ? layout->bits : 0;
}

extern "C" const char *velkor_epc_component_name(velkor_epc_scheme scheme,
                                                 velkor_epc_field field) {
  const Layout *layout = layout_of(scheme);
  if (layout == nullptr) return nullptr;
  switch (field) {
    case VELKOR_EPC_FIELD_COMPANY_PREFIX: return layout->names[0];
    case VELKOR_EPC_FIELD_REFERENCE: return layout->names[1];
    case VELKOR_EPC_FIELD_SERIAL: return layout->names[2];
    default: return nullptr;
  }
}
