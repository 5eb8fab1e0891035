#pragma once

#include <cstddef>
#include <functional>
#include <list>
#include <string>
#include <utility>

namespace harpoly {

// Decoded pictures kept under a key within a budget of bytes, the least
// recently used given up first. `Picture` is any value type (the window keeps
// its images here; the tests keep numbers).
template <typename Picture> class PictureCache {
public:
    explicit PictureCache(std::size_t budget = 0) : budget_(budget) {}

    // A smaller budget drops pictures at once, as insert() does.
    void setBudget(std::size_t budget, const std::function<bool(const std::string&)>& wanted = {}) {
        budget_ = budget;
        makeRoom(0, wanted);
    }
    std::size_t budget() const { return budget_; }
    std::size_t used() const { return used_; }
    std::size_t size() const { return slots_.size(); }

    // The picture kept under `key`, marked as the most recently used; null
    // when there is none.
    const Picture* find(const std::string& key) {
        for (auto it = slots_.begin(); it != slots_.end(); ++it) {
            if (it->key == key) {
                slots_.splice(slots_.begin(), slots_, it);
                return &slots_.front().picture;
            }
        }
        return nullptr;
    }

    // Keeps `picture`, which costs `bytes`, under `key` (replacing what was
    // kept there). Older pictures are given up, least recently used first and
    // never one that `wanted` names, until it fits; a picture that cannot fit
    // is not kept. Returns whether it was kept.
    bool insert(std::string key, Picture picture, std::size_t bytes,
                const std::function<bool(const std::string&)>& wanted = {}) {
        erase(key);
        if (!makeRoom(bytes, wanted)) {
            return false;
        }
        slots_.push_front(Slot{std::move(key), std::move(picture), bytes});
        used_ += bytes;
        return true;
    }

    void erase(const std::string& key) {
        for (auto it = slots_.begin(); it != slots_.end(); ++it) {
            if (it->key == key) {
                used_ -= it->bytes;
                slots_.erase(it);
                return;
            }
        }
    }

    void clear() {
        slots_.clear();
        used_ = 0;
    }

private:
    struct Slot {
        std::string key;
        Picture picture;
        std::size_t bytes = 0;
    };

    // Gives up pictures until `bytes` more fit; false when they cannot.
    bool makeRoom(std::size_t bytes, const std::function<bool(const std::string&)>& wanted) {
        if (bytes > budget_) {
            return false;
        }
        for (auto it = slots_.end(); used_ + bytes > budget_ && it != slots_.begin();) {
            --it;
            if (!wanted || !wanted(it->key)) {
                used_ -= it->bytes;
                it = slots_.erase(it);
            }
        }
        return used_ + bytes <= budget_;
    }

    std::list<Slot> slots_; // the most recently used first
    std::size_t budget_;
    std::size_t used_ = 0;
};

} // namespace harpoly
