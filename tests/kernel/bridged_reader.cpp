#include "tests/kernel/bridged_reader.h"

#include <stdexcept>

#include "tests/kernel/hid_devices.h"

namespace velkor::kernel {

namespace {

constexpr int kNodeWaitMs = 3000;
constexpr int kEventWaitMs = 20;
constexpr std::size_t kReportSize = 64;

}  // namespace

BridgedReader::BridgedReader(const std::string &uniq, const emu::ReaderOptions &options)
    : emulator_(options), device_(reader_identity(uniq)) {
  thread_ = std::thread([this] { serve(); });
  node_ = device_.wait_for_node(kNodeWaitMs);
  if (node_.empty()) {
    stop_ = true;
    thread_.join();
    throw std::runtime_error("no hidraw node for reader " + uniq);
  }
}

BridgedReader::~BridgedReader() {
  stop_ = true;
  thread_.join();
}

void BridgedReader::unplug() { device_.destroy(); }

bool BridgedReader::send_unasked(const Bytes &report) {
  std::lock_guard<std::mutex> lock(mutex_);
  inputs_.push_back({report, -1});
  return device_.input(report.data(), report.size());
}

void BridgedReader::serve() {
  while (!stop_) {
    uhid_event event;
    if (!device_.next_event(&event, kEventWaitMs)) continue;
    switch (event.type) {
      case UHID_OUTPUT:
        on_output(event);
        break;
      case UHID_OPEN: {
        std::lock_guard<std::mutex> lock(mutex_);
        ++opens_;
        break;
      }
      case UHID_CLOSE: {
        std::lock_guard<std::mutex> lock(mutex_);
        ++closes_;
        break;
      }
      case UHID_GET_REPORT:
      case UHID_SET_REPORT: {
        device_.refuse(event);
        std::lock_guard<std::mutex> lock(mutex_);
        oddities_.push_back(event.type == UHID_GET_REPORT ? "the kernel asked for a report"
                                                          : "the kernel set a report");
        break;
      }
      default:
        break;
    }
  }
}

void BridgedReader::on_output(const uhid_event &event) {
  const uhid_output_req &out = event.u.output;
  std::vector<emu::SentReport> answers;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    outputs_.push_back({Bytes(out.data, out.data + out.size), out.rtype});
    if (out.size != kReportSize || out.rtype != UHID_OUTPUT_REPORT) {
      oddities_.push_back("an output of " + std::to_string(out.size) + " bytes, type " +
                          std::to_string(out.rtype));
      return;
    }
    answers = emu::answer_report(emulator_, out.data, clock_);
  }
  // Late reports wait out their delay here, as the socket server's do.
  emu::send_reports(answers, [&](const std::uint8_t *report) {
    std::lock_guard<std::mutex> lock(mutex_);
    inputs_.push_back({Bytes(report, report + kReportSize), -1});
    return device_.input(report, kReportSize);
  });
}

std::vector<Crossing> BridgedReader::outputs() {
  std::lock_guard<std::mutex> lock(mutex_);
  return outputs_;
}

std::vector<Crossing> BridgedReader::inputs() {
  std::lock_guard<std::mutex> lock(mutex_);
  return inputs_;
}

void BridgedReader::clear_log() {
  std::lock_guard<std::mutex> lock(mutex_);
  outputs_.clear();
  inputs_.clear();
}

int BridgedReader::opens() {
  std::lock_guard<std::mutex> lock(mutex_);
  return opens_;
}

int BridgedReader::closes() {
  std::lock_guard<std::mutex> lock(mutex_);
  return closes_;
}

std::vector<std::string> BridgedReader::faults() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> all = oddities_;
  for (const emu::Violation &v : emulator_.violations())
    all.push_back("host protocol violation at " + std::to_string(v.ms) + " ms: " + v.what);
  return all;
}

}  // namespace velkor::kernel
