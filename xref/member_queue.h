// Hands members from the thread that reads the import files to the thread that writes the
// database, so reading and writing overlap on two cores. Bounded, so a fast reader cannot
// fill memory with a whole import file.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

#include "import_model.h"

namespace xref {

class MemberQueue {
  public:
    explicit MemberQueue(size_t capacity) : capacity_(capacity) {}

    // Waits for room; false when the consumer has given up (the member is dropped).
    bool Push(ImportMember&& member);
    // Waits for a member; nothing once the producer has closed the queue and it is empty.
    std::optional<ImportMember> Pop();
    void Close();  // the producer is done
    void Cancel(); // the consumer is done; Push fails from now on

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<ImportMember> members_;
    size_t capacity_;
    bool closed_ = false;
    bool cancelled_ = false;
};

} // namespace xref
