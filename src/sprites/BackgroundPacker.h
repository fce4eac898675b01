#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "sprites/SpriteSave.h"

namespace tess::sprites {

// Packs jobs on a thread of its own, so that whoever asks never waits. Only
// the newest job counts: one asked for while another is packed replaces any
// that still waits, and a result's number says which job it belongs to.
class BackgroundPacker {
public:
    // `done` is called on the packer's thread with the job's number and its
    // PackedSize (nothing when it cannot be packed).
    using Done = std::function<void(std::uint64_t job, std::optional<std::int64_t> size)>;

    explicit BackgroundPacker(Done done);
    ~BackgroundPacker();  // waits for the job being packed, drops the waiting one
    BackgroundPacker(const BackgroundPacker&) = delete;
    BackgroundPacker& operator=(const BackgroundPacker&) = delete;

    // Queues the job in place of any still waiting and returns its number,
    // which grows with every call.
    std::uint64_t pack(PackingJob job);

private:
    void run();

    Done done_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<std::pair<std::uint64_t, PackingJob>> waiting_;
    std::uint64_t asked_ = 0;
    bool stopping_ = false;
    std::thread thread_;  // last: it starts once everything above exists
};

}  // namespace tess::sprites
