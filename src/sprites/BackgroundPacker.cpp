#include "sprites/BackgroundPacker.h"

namespace tess::sprites {

BackgroundPacker::BackgroundPacker(Done done)
    : done_(std::move(done)), thread_([this] { run(); }) {}

BackgroundPacker::~BackgroundPacker() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

std::uint64_t BackgroundPacker::pack(PackingJob job) {
    std::uint64_t number;
    {
        const std::lock_guard lock(mutex_);
        number = ++asked_;
        waiting_.emplace(number, std::move(job));
    }
    wake_.notify_one();
    return number;
}

void BackgroundPacker::run() {
    for (;;) {
        std::pair<std::uint64_t, PackingJob> job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || waiting_; });
            if (stopping_) return;
            job = std::move(*waiting_);
            waiting_.reset();
        }
        std::optional<std::int64_t> size;
        try {
            size = PackedSize(job.second);
        } catch (const std::bad_alloc&) {
            // Nothing to show; the next stroke asks again.
        }
        done_(job.first, size);
    }
}

}  // namespace tess::sprites
