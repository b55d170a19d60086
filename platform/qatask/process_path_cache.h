#pragma once
// The executable paths of the processes qatask.dll listed, kept from one listing to the next
// so that a path is looked up once per process and not once a second. A process number is
// given to a new process once the old one has ended: a kept path stands only for the process
// of the same number that has the same creation time.

#include <cstdint>
#include <map>
#include <string>
#include <utility>

class ProcessPathCache {
public:
  // The kept path of the process `id` created at `created`, carried into the listing under
  // way; nullptr when the last listing had no such process.
  const std::string* Take(uint32_t id, int64_t created) {
    const auto last = last_.find(id);
    if (last == last_.end() || last->second.created != created) return nullptr;
    return &(current_[id] = last->second).path;
  }
  // Keeps the path looked up for a process of the listing under way.
  void Keep(uint32_t id, int64_t created, std::string path) { current_[id] = {created, std::move(path)}; }
  // The listing is complete: what it did not keep or take is forgotten.
  void EndListing() {
    last_.swap(current_);
    current_.clear();
  }

private:
  struct Entry {
    int64_t created = 0;
    std::string path;
  };
  std::map<uint32_t, Entry> last_;
  std::map<uint32_t, Entry> current_;
};
