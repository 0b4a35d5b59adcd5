#include "app/watch/tag_table.h"

#include <algorithm>
#include <tuple>

namespace velkor::app {

namespace {

std::string key_of(const Bytes &epc, const Bytes &tid) {
  // A reader that sends TIDs alone: the TID names the tag.
  if (epc.empty()) return "tid:" + std::string(tid.begin(), tid.end());
  return std::string(epc.begin(), epc.end());
}

}  // namespace

bool TagTable::add(const TagRead &read, std::int64_t now_ms, std::size_t *place) {
  ++reads_;
  const Bytes tid = read.tid ? *read.tid : Bytes{};
  const auto [at, fresh] = index_.emplace(key_of(read.epc, tid), entries_.size());
  if (fresh) entries_.push_back({read.epc, tid, 0, read.time, read.time, read.antenna, now_ms, false});
  Entry &e = entries_[at->second];
  ++e.reads;
  e.last = read.time;
  e.antenna = read.antenna;
  e.last_ms = now_ms;
  if (read.tid) e.tid = tid;
  const bool arrived = !e.present;
  e.present = true;
  if (place) *place = at->second;
  return arrived;
}

std::vector<TagTable::Entry> TagTable::depart(std::int64_t now_ms) {
  std::vector<Entry> gone;
  for (Entry &e : entries_)
    if (e.present && now_ms - e.last_ms > depart_after_ms_) {
      e.present = false;
      gone.push_back(e);
    }
  std::sort(gone.begin(), gone.end(), [](const Entry &a, const Entry &b) {
    return std::tie(a.last_ms, a.epc) < std::tie(b.last_ms, b.epc);
  });
  if (forget_departed_ && !gone.empty()) {
    std::erase_if(entries_, [](const Entry &e) { return !e.present; });
    index_.clear();
    for (std::size_t i = 0; i < entries_.size(); ++i)
      index_.emplace(key_of(entries_[i].epc, entries_[i].tid), i);
  }
  return gone;
}

std::size_t TagTable::present() const {
  return static_cast<std::size_t>(
      std::count_if(entries_.begin(), entries_.end(), [](const Entry &e) { return e.present; }));
}

std::vector<const TagTable::Entry *> TagTable::sorted(Order order) const {
  std::vector<const Entry *> rows;
  for (const Entry &e : entries_) rows.push_back(&e);
  // Stable, so first-seen order is the entries' own.
  std::stable_sort(rows.begin(), rows.end(), [order](const Entry *a, const Entry *b) {
    switch (order) {
      case Order::kLastSeen:
        if (a->last != b->last) return a->last > b->last;
        break;
      case Order::kFirstSeen: return false;
      case Order::kReads:
        if (a->reads != b->reads) return a->reads > b->reads;
        break;
      case Order::kEpc: break;
    }
    return a->epc < b->epc;
  });
  return rows;
}

}  // namespace velkor::app
