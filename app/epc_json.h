// The EPC codec's results as JSON, and the GS1 encoding request every
// front-end takes (the tool's `epc encode`, the server's /api/v1/epc/encode):
// one set of rules and words, each front-end naming its own inputs.
#ifndef VELKOR_APP_EPC_JSON_H
#define VELKOR_APP_EPC_JSON_H

#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string>

#include "velkor_epc.hpp"

namespace velkor::app {

/// Every field of a decoded EPC: hex, scheme, filter, partition, the
/// components under their names ("item_reference"), the tag and
/// pure-identity URIs and the GS1 element string (null for GID-96).
nlohmann::json epc_json(const epc::Epc &epc);

/// The size in bits of the scheme named ("sgtin-96" -> 96); 0 when no
/// scheme has that name.
unsigned scheme_bits(const std::string &name);

/// A GS1 key an EPC can be encoded from.
struct EpcKeyName {
  const char *name;    ///< "gtin"
  epc::Key key;
  const char *family;  ///< of the schemes that hold it: "sgtin"
};
/// gtin, sscc, gln, grai, giai, gsrn, gdti.
extern const EpcKeyName kEpcKeys[7];

/// What to encode: a tag URI, a pure-identity URI, or one GS1 key with its
/// company prefix length (and serial or extension where the key has one).
struct EpcEncoding {
  std::string uri;
  std::map<std::string, std::string> keys;  ///< key name ("gtin") -> digits
  std::optional<std::string> serial;        ///< serial, or the GLN's extension
  std::optional<unsigned> prefix_length;
  std::optional<unsigned> filter;
  std::string scheme;  ///< "sgtin-96"; empty: the smallest that holds it
};

/// A request that cannot be encoded, in words for the person who made it.
class EpcRequestError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

/// How a front-end names an input in its words: "prefix_length" becomes
/// "--prefix-length" for the tool and stays as it is in JSON.
using InputName = std::function<std::string(const std::string &field)>;

/// Encodes the request.  Throws EpcRequestError when the inputs do not go
/// together (no URI and no key, two keys, a filter with a tag URI, a scheme
/// that does not hold the key) or the codec refuses them (its own words, as
/// "GTIN: check digit 9 ..."), the inputs named through name.
epc::Epc encode_epc(const EpcEncoding &request, const InputName &name);

}  // namespace velkor::app

#endif  // VELKOR_APP_EPC_JSON_H
