// The emulator's C entry points (velkor_emulator.h): a registry of
// real-time servers by their host handle.  Built into the shared emulator
// library only.
#include "emulator/velkor_emulator.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <map>
#include <memory>
#include <mutex>

#ifdef _WIN32
#  include "emulator/pipe_server.h"
#else
#  include "emulator/socket_server.h"
#endif

namespace {

using velkor::emu::Emulator;
using velkor::emu::Faults;
#ifdef _WIN32
using Server = velkor::emu::PipeServer;
#else
using Server = velkor::emu::SocketServer;
#endif

struct Registry {
  std::mutex mutex;
  std::map<VelkorHandle, std::unique_ptr<Server>> servers;
};

// Never destroyed: a caller may still stop an emulator while the process
// runs its exit handlers, and the serving threads end with the process.
Registry &registry() {
  static Registry *r = new Registry;
  return *r;
}

// Runs f on the emulator behind handle with the registry held, so that no
// stop can destroy it meanwhile; -1 for an unknown handle.
template <typename F>
int with_emulator(VelkorHandle handle, F &&f) {
  Registry &r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  const auto it = r.servers.find(handle);
  if (it == r.servers.end()) return -1;
  return it->second->with_emulator(f);
}

bool valid_count(int count) { return count >= 0 && count <= VELKOR_EMULATOR_MAX_TAGS; }

}  // namespace

VelkorHandle velkor_emulator_start(uint64_t seed, int gen2_tags, int iso6b_tags) {
  if (!valid_count(gen2_tags) || !valid_count(iso6b_tags)) return VELKOR_INVALID_HANDLE;
  try {
    auto server = std::make_unique<Server>(velkor::emu::ReaderOptions{
        seed, static_cast<std::size_t>(gen2_tags), static_cast<std::size_t>(iso6b_tags)});
    const VelkorHandle handle = server->handle();
    Registry &r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.servers.emplace(handle, std::move(server));
    return handle;
  } catch (...) {  // no exception may cross the C boundary
    return VELKOR_INVALID_HANDLE;
  }
}

int velkor_emulator_stop(VelkorHandle handle) {
  std::unique_ptr<Server> server;
  {
    Registry &r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    const auto it = r.servers.find(handle);
    if (it == r.servers.end()) return -1;
    server = std::move(it->second);
    r.servers.erase(it);
  }
  // Joining the serving thread can take a moment; the registry stays free.
  server.reset();
  return 0;
}

int velkor_emulator_disconnect(VelkorHandle handle) {
  Registry &r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  const auto it = r.servers.find(handle);
  if (it == r.servers.end()) return -1;
  it->second->disconnect();
  return 0;
}

int velkor_emulator_inject(VelkorHandle handle, int fault, int value) {
  if (value < 0 || value > 0xFF) return -1;
  const auto byte = static_cast<std::uint8_t>(value);
  Faults faults;
  switch (fault) {
    case VELKOR_FAULT_STATUS: faults.status = byte; break;
    case VELKOR_FAULT_ECHO: faults.echo = byte; break;
    case VELKOR_FAULT_CORRUPT_CRC: faults.corrupt_crc = true; break;
    case VELKOR_FAULT_SILENCE: faults.silence = true; break;
    case VELKOR_FAULT_EMPTY_REPORTS: faults.empty_reports = byte; break;
    case VELKOR_FAULT_STRAY_BYTE: faults.stray = {byte}; break;
    case VELKOR_FAULT_LATE_REPORT: faults.late_ms = byte; break;
    case VELKOR_FAULT_ZERO_PADDING: faults.zero_padding = byte; break;
    case VELKOR_FAULT_LENGTH_MORE: faults.length_lie = byte; break;
    case VELKOR_FAULT_LENGTH_LESS: faults.length_lie = -value; break;
    case VELKOR_FAULT_ZERO_RESIDUE_REPORT: faults.zero_residue_first = true; break;
    case VELKOR_FAULT_STOP_READING: faults.stop_reading = true; break;
    case VELKOR_FAULT_REST_AFTER_GIVE_UP:
      faults.linger_ms = 100u * byte;
      faults.split = {1, 62};
      break;
    default: return -1;
  }
  return with_emulator(handle, [&](Emulator &e) {
    e.inject_next(faults);
    return 0;
  });
}

int velkor_emulator_violations(VelkorHandle handle) {
  return with_emulator(handle,
                       [](Emulator &e) { return static_cast<int>(e.violations().size()); });
}

int velkor_emulator_violation(VelkorHandle handle, int index, char *text, int size) {
  return with_emulator(handle, [&](Emulator &e) {
    const auto &all = e.violations();
    if (index < 0 || static_cast<std::size_t>(index) >= all.size() || size < 1) return -1;
    const std::string &what = all[static_cast<std::size_t>(index)].what;
    const std::size_t n = std::min(what.size(), static_cast<std::size_t>(size) - 1);
    std::memcpy(text, what.data(), n);
    text[n] = '\0';
    return 0;
  });
}

int velkor_emulator_gen2_count(VelkorHandle handle) {
  return with_emulator(handle,
                       [](Emulator &e) { return static_cast<int>(e.reader().tags.gen2.size()); });
}

int velkor_emulator_gen2_epc(VelkorHandle handle, int index, unsigned char *epc, int size) {
  return with_emulator(handle, [&](Emulator &e) {
    const auto &tags = e.reader().tags.gen2;
    if (index < 0 || static_cast<std::size_t>(index) >= tags.size()) return -1;
    const velkor::emu::Bytes id = tags[static_cast<std::size_t>(index)].epc();
    if (size < 0 || id.size() > static_cast<std::size_t>(size)) return -1;
    if (!id.empty()) std::memcpy(epc, id.data(), id.size());
    return static_cast<int>(id.size());
  });
}

int velkor_emulator_feed(VelkorHandle handle, int count) {
  if (!valid_count(count)) return -1;
  return with_emulator(handle, [&](Emulator &e) {
    velkor::emu::Reader &r = e.reader();
    r.feed.add(r.rng, static_cast<std::size_t>(count));
    return 0;
  });
}
