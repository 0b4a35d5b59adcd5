// A request target taken apart: the path's segments and the query's
// parameters, percent-decoded.
#ifndef VELKOR_SERVE_REQUEST_TARGET_H
#define VELKOR_SERVE_REQUEST_TARGET_H

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velkor::serve {

struct RequestTarget {
  /// "/api/v1/epc/30%20A" -> {"api", "v1", "epc", "30 A"}; "/" -> {}.  A
  /// trailing slash adds an empty segment.
  std::vector<std::string> segments;
  /// "?address=2&words=4" -> {address: 2, words: 4}; the last of a repeated
  /// name wins; "+" stands for a space.
  std::map<std::string, std::string> query;
};

/// Takes an origin-form target apart.  Nullopt when it does not start with
/// "/", holds a bad percent escape or a fragment, or decodes to a NUL or
/// another control character: nothing downstream has to think about those.
/// A segment may hold an encoded "/" ("a%2Fb" is the one segment "a/b").
std::optional<RequestTarget> parse_target(std::string_view target);

/// "%41+b" -> "A b" (with plus_is_space) ; nullopt on a bad escape.
std::optional<std::string> percent_decode(std::string_view text, bool plus_is_space);

}  // namespace velkor::serve

#endif  // VELKOR_SERVE_REQUEST_TARGET_H
