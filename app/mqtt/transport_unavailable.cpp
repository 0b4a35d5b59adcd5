// Built in place of the libmosquitto transport when libmosquitto is missing.
#include "app/mqtt/transport.h"

namespace velkor::app::mqtt {

const char *const kNoTransport =
    "MQTT publishing is unavailable: this build has no libmosquitto (install libmosquitto-dev "
    "and build again)";

std::unique_ptr<Transport> mosquitto_transport() { return nullptr; }

}  // namespace velkor::app::mqtt
