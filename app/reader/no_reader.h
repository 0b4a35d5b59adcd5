// Why discovery found no reader, in words the user can act on.
#ifndef VELKOR_APP_READER_NO_READER_H
#define VELKOR_APP_READER_NO_READER_H

#include <string>
#include <vector>

namespace velkor::app {

/// The nodes of the readers present (known by their identifiers in sysfs)
/// that this user may not open, by number.
std::vector<std::string> readers_out_of_reach();

/// What to say when GetDeviceList found no reader: the udev rule to
/// install, naming the readers this user may not open when there are some.
std::string no_reader_message();

}  // namespace velkor::app

#endif  // VELKOR_APP_READER_NO_READER_H
