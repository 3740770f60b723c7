#pragma once
// The indexes built once per table image and shared by every reader of it.
//
// Images are immutable once published (a change publishes a new image), so
// an index never goes stale while its images live. An index says whether
// it was built from given images (the caller's `matches`, by image
// ownership, so a later image at a reused address is never taken for an
// earlier one) and whether one of its images is gone (`stale()`); stale
// indexes are dropped whenever a new one is stored, so a replaced image's
// index goes away with it.
//
//   static auto* cache = new SMIS_ImageIndexCache<My_Index>;   // outlives every static reader
//   auto index = cache->get([&](const My_Index& x) { return x.isFor(image); },
//                           [&] { return std::make_shared<const My_Index>(image); });
//
// The cache holds one index per live image (a few per configured array),
// so finding one is a short walk whatever the size of the images.

#include <algorithm>
#include <cstddef>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

template <class Index>
class SMIS_ImageIndexCache {
public:
    // The held index that matches, else the one build() makes (stored for
    // the next reader); NULL when memory runs out.
    template <class Matches, class Build>
    std::shared_ptr<const Index> get(Matches matches, Build build)
    {
        {
            std::lock_guard<std::mutex> g(_lock);
            if (auto held = find(matches))
                return held;
        }
        // Built outside the lock: two readers may both build, the first
        // stored wins.
        std::shared_ptr<const Index> built;
        try {
            built = build();
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
        if (!built)
            return nullptr;
        std::lock_guard<std::mutex> g(_lock);
        std::erase_if(_held, [](const std::shared_ptr<const Index>& held) { return held->stale(); });
        if (auto held = find(matches))
            return held;
        try {
            _held.push_back(built);
        } catch (const std::bad_alloc&) {
            // Not kept: the reader still has its index.
        }
        return built;
    }

    // Indexes held whose images all live (for tests).
    std::size_t liveCount()
    {
        std::lock_guard<std::mutex> g(_lock);
        return static_cast<std::size_t>(std::count_if(
            _held.begin(), _held.end(), [](const std::shared_ptr<const Index>& held) { return !held->stale(); }));
    }

private:
    template <class Matches>
    std::shared_ptr<const Index> find(Matches& matches) const
    {
        for (const std::shared_ptr<const Index>& held : _held)
            if (!held->stale() && matches(*held))
                return held;
        return nullptr;
    }

    std::mutex _lock;
    std::vector<std::shared_ptr<const Index>> _held;
};
