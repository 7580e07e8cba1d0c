#include "member_queue.h"

namespace xref {

bool MemberQueue::Push(ImportMember&& member) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return cancelled_ || members_.size() < capacity_; });
    if (cancelled_) return false;
    members_.push_back(std::move(member));
    changed_.notify_all();
    return true;
}

std::optional<ImportMember> MemberQueue::Pop() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return closed_ || !members_.empty(); });
    if (members_.empty()) return std::nullopt;
    ImportMember member = std::move(members_.front());
    members_.pop_front();
    changed_.notify_all();
    return member;
}

void MemberQueue::Close() {
    std::lock_guard lock(mutex_);
    closed_ = true;
    changed_.notify_all();
}

void MemberQueue::Cancel() {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    changed_.notify_all();
}

} // namespace xref
