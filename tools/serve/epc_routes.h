// GET /api/v1/epc/{hex} and POST /api/v1/epc/encode: the EPC codec, no
// reader involved.
#ifndef VELKOR_SERVE_EPC_ROUTES_H
#define VELKOR_SERVE_EPC_ROUTES_H

#include "tools/serve/router.h"

namespace velkor::serve {

/// Adds the codec's two routes: decode answers every field of the EPC
/// (app::epc_json), encode takes the fields of app::EpcEncoding ("uri", one
/// GS1 key by name as "gtin", "serial", "prefix_length", "filter",
/// "scheme") and answers the same fields of the EPC made.  Both refuse bad
/// input with 400 and the codec's words.
void add_epc_routes(Router &router);

}  // namespace velkor::serve

#endif  // VELKOR_SERVE_EPC_ROUTES_H
