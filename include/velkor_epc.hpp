// velkor_epc.hpp: C++ types over the EPC codec's C API (velkor_epc.h).
// Header-only; link libvelkor_epc.  Failures throw velkor::epc::Error, except
// in Epc::try_decode, which reports them through an optional.
#ifndef VELKOR_EPC_HPP
#define VELKOR_EPC_HPP

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "velkor_epc.h"

namespace velkor::epc {

enum class Scheme : int {
  sgtin_96 = VELKOR_EPC_SGTIN_96,
  sgtin_198 = VELKOR_EPC_SGTIN_198,
  sscc_96 = VELKOR_EPC_SSCC_96,
  sgln_96 = VELKOR_EPC_SGLN_96,
  sgln_195 = VELKOR_EPC_SGLN_195,
  grai_96 = VELKOR_EPC_GRAI_96,
  grai_170 = VELKOR_EPC_GRAI_170,
  giai_96 = VELKOR_EPC_GIAI_96,
  giai_202 = VELKOR_EPC_GIAI_202,
  gid_96 = VELKOR_EPC_GID_96,
  gsrn_96 = VELKOR_EPC_GSRN_96,
  gdti_96 = VELKOR_EPC_GDTI_96,
};

enum class Key : int {
  gtin = VELKOR_EPC_KEY_GTIN,
  sscc = VELKOR_EPC_KEY_SSCC,
  gln = VELKOR_EPC_KEY_GLN,
  grai = VELKOR_EPC_KEY_GRAI,
  giai = VELKOR_EPC_KEY_GIAI,
  gsrn = VELKOR_EPC_KEY_GSRN,
  gdti = VELKOR_EPC_KEY_GDTI,
};

/// A failed conversion: the codec's status and field, and its message.
class Error : public std::runtime_error {
 public:
  explicit Error(const velkor_epc_error &error)
      : std::runtime_error(error.message), status_(error.status), field_(error.field) {}
  velkor_epc_status status() const noexcept { return status_; }
  velkor_epc_field field() const noexcept { return field_; }

 private:
  velkor_epc_status status_;
  velkor_epc_field field_;
};

/// An EPC: its bank content and its fields, always consistent.
class Epc {
 public:
  /// Decodes EPC bank content; throws Error.
  static Epc decode(std::span<const std::uint8_t> bytes) {
    velkor_epc_error error{};
    std::optional<Epc> epc = try_decode(bytes, &error);
    if (!epc) throw Error(error);
    return *epc;
  }

  /// Decodes EPC bank content; empty (and *error written, when given) if it does not decode.
  static std::optional<Epc> try_decode(std::span<const std::uint8_t> bytes,
                                       velkor_epc_error *error = nullptr) noexcept {
    Epc epc;
    if (bytes.size() > epc.bytes_.size() ||
        velkor_epc_decode(bytes.data(), bytes.size(), &epc.fields_, error) != VELKOR_EPC_OK) {
      if (error != nullptr && bytes.size() > epc.bytes_.size())
        *error = velkor_epc_error{VELKOR_EPC_BAD_LENGTH, VELKOR_EPC_FIELD_EPC,
                                  "epc: longer than any scheme"};
      return std::nullopt;
    }
    epc.length_ = bytes.size();
    for (std::size_t i = 0; i < bytes.size(); ++i) epc.bytes_[i] = bytes[i];
    return epc;
  }

  /// From an EPC Tag URI ("urn:epc:tag:sgtin-96:3.0614141.812345.6789").
  static Epc from_tag_uri(const std::string &uri) {
    return encoded([&](std::uint8_t *out, std::size_t *length, velkor_epc_error *error) {
      return velkor_epc_encode_tag_uri(uri.c_str(), out, VELKOR_EPC_BYTES_MAX, length, error);
    });
  }

  /// From a pure-identity URI with a filter and a size (0: the smallest that holds it).
  static Epc from_id_uri(const std::string &uri, unsigned filter = 0, unsigned bits = 0) {
    return encoded([&](std::uint8_t *out, std::size_t *length, velkor_epc_error *error) {
      return velkor_epc_encode_id_uri(uri.c_str(), filter, bits, out, VELKOR_EPC_BYTES_MAX,
                                      length, error);
    });
  }

  /// From a GS1 key whose company prefix has prefix_length digits; serial as
  /// velkor_epc_encode_gs1 wants it (nullopt for none).
  static Epc from_gs1(Key key, const std::string &digits, unsigned prefix_length,
                      const std::optional<std::string> &serial, unsigned filter = 0,
                      unsigned bits = 0) {
    return encoded([&](std::uint8_t *out, std::size_t *length, velkor_epc_error *error) {
      return velkor_epc_encode_gs1(static_cast<velkor_epc_key>(key), digits.c_str(),
                                   serial ? serial->c_str() : nullptr, prefix_length, filter,
                                   bits, out, VELKOR_EPC_BYTES_MAX, length, error);
    });
  }

  Scheme scheme() const noexcept { return static_cast<Scheme>(fields_.scheme); }
  std::string_view scheme_name() const noexcept { return velkor_epc_scheme_name(fields_.scheme); }
  unsigned filter() const noexcept { return fields_.filter; }
  unsigned partition() const noexcept { return fields_.partition; }
  std::string_view company_prefix() const noexcept { return fields_.company_prefix; }
  std::string_view reference() const noexcept { return fields_.reference; }
  std::string_view serial() const noexcept { return fields_.serial; }
  const velkor_epc_fields &fields() const noexcept { return fields_; }

  /// The bank content: the scheme's bits, zero-padded to whole words.
  std::span<const std::uint8_t> bytes() const noexcept { return {bytes_.data(), length_}; }
  /// The bank content in upper-case hex.
  std::string hex() const {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (std::uint8_t byte : bytes()) {
      text += kDigits[byte >> 4];
      text += kDigits[byte & 0xF];
    }
    return text;
  }

  std::string tag_uri() const { return text(velkor_epc_tag_uri, VELKOR_EPC_URI_MAX); }
  std::string id_uri() const { return text(velkor_epc_id_uri, VELKOR_EPC_URI_MAX); }
  /// The GS1 element string, or nullopt for a scheme without one (GID-96).
  std::optional<std::string> gs1() const {
    if (scheme() == Scheme::gid_96) return std::nullopt;
    return text(velkor_epc_gs1_string, VELKOR_EPC_GS1_MAX);
  }

 private:
  Epc() = default;

  template <typename Encode>
  static Epc encoded(Encode encode) {
    std::uint8_t bytes[VELKOR_EPC_BYTES_MAX];
    std::size_t length = 0;
    velkor_epc_error error{};
    if (encode(bytes, &length, &error) != VELKOR_EPC_OK) throw Error(error);
    return decode(std::span<const std::uint8_t>(bytes, length));
  }

  using TextFunction = velkor_epc_status (*)(const velkor_epc_fields *, char *, std::size_t,
                                             velkor_epc_error *);
  std::string text(TextFunction function, std::size_t room) const {
    std::array<char, VELKOR_EPC_URI_MAX> out{};
    velkor_epc_error error{};
    if (function(&fields_, out.data(), room, &error) != VELKOR_EPC_OK) throw Error(error);
    return out.data();
  }

  velkor_epc_fields fields_{};
  std::array<std::uint8_t, VELKOR_EPC_BYTES_MAX> bytes_{};
  std::size_t length_ = 0;
};

}  // namespace velkor::epc

#endif  // VELKOR_EPC_HPP
