// Built in place of the libmosquitto transport when libmosquitto is missing.
#include "tools/publish/transport.h"

namespace velkor::publish {

const char *const kNoTransport =
    "MQTT publishing is unavailable: this build has no libmosquitto (install libmosquitto-dev "
    "and build again)";

std::unique_ptr<Transport> mosquitto_transport() { return nullptr; }

}  // namespace velkor::publish
