#include "app/mqtt/outbox.h"

namespace velkor::app::mqtt {

std::size_t MemoryOutbox::append(const Record &record) {
  std::size_t dropped = 0;
  while (!records_.empty() && bytes_ + record.size() > limit_) {
    bytes_ -= records_.front().size();
    records_.pop_front();
    if (handed_ > 0) --handed_;
    ++dropped;
  }
  bytes_ += record.size();
  records_.push_back(record);
  return dropped;
}

const Record *MemoryOutbox::next() {
  if (handed_ >= records_.size()) return nullptr;
  return &records_[handed_++];
}

void MemoryOutbox::commit(std::size_t n) {
  for (; n > 0 && handed_ > 0; --n, --handed_) {
    bytes_ -= records_.front().size();
    records_.pop_front();
  }
}

}  // namespace velkor::app::mqtt
