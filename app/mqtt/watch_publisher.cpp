#include "app/mqtt/watch_publisher.h"

#include "app/reader/reader_info.h"
#include "app/tags/epc_text.h"

namespace velkor::app::mqtt {

Result<std::unique_ptr<WatchPublisher>> WatchPublisher::start(Session &s, Settings settings,
                                                              bool decode, bool tid,
                                                              Notice notice,
                                                              int first_connection_ms) {
  const Result<ReaderInfo> info = read_info(s, true);
  if (!info) {
    Error e = info.error();
    e.operation = "mqtt";
    e.words = "cannot read the reader's serial number, which names its topics: " + e.detail();
    e.status = 0;  // said in the words
    return e;
  }
  settings.reader = to_hex(info->serial.data(), info->serial.size());
  std::string why;
  std::unique_ptr<Publisher> p = Publisher::open(settings, std::move(notice), &why);
  if (!p || !p->await_first_connection(first_connection_ms, &why))
    return Error::because(ErrorKind::kBadInput, "mqtt", why);
  return std::unique_ptr<WatchPublisher>(new WatchPublisher(std::move(p), decode, tid));
}

void WatchPublisher::on_round(const Round &round, unsigned, const TagTable &) {
  for (const TagRead &read : round.tags) {
    Read r{read, tid_, decode_, std::nullopt};
    if (decode_) r.uri = tag_uri_of(read.epc);
    publisher_->publish_read(r);
  }
  publisher_->end_round();
  publisher_->service(0);
}

void WatchPublisher::on_reader_lost(unsigned, const Error &) { publisher_->set_reader_lost(true); }

void WatchPublisher::on_reader_back(std::int64_t) { publisher_->set_reader_lost(false); }

void WatchPublisher::idle(int ms, Clock &) { publisher_->service(ms); }

std::size_t WatchPublisher::finish(int limit_ms) { return publisher_->finish(limit_ms); }

}  // namespace velkor::app::mqtt
