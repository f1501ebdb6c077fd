// A sorted set kept as a list of small sorted arrays: lookups and inserts
// touch a few contiguous blocks instead of chasing tree nodes, and positions
// are cheap to count, which positional seeks need. Any insert or erase
// invalidates iterators; cursors find their place again by key.
#pragma once
#include <algorithm>
#include <cstddef>
#include <iterator>
#include <vector>

namespace cedb {

template <class T, class Less>
class BlockIndex {
    static constexpr size_t kBlock = 256;
    using Block = std::vector<T>;

public:
    class iterator {
    public:
        using iterator_category = std::bidirectional_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using pointer = const T*;
        using reference = const T&;

        iterator() = default;
        const T& operator*() const { return (*blocks_)[b_][i_]; }
        const T* operator->() const { return &(*blocks_)[b_][i_]; }
        iterator& operator++()
        {
            if (++i_ == (*blocks_)[b_].size()) ++b_, i_ = 0;
            return *this;
        }
        iterator& operator--()
        {
            if (i_ == 0) i_ = (*blocks_)[--b_].size();
            --i_;
            return *this;
        }
        iterator operator++(int)
        {
            iterator t = *this;
            ++*this;
            return t;
        }
        iterator operator--(int)
        {
            iterator t = *this;
            --*this;
            return t;
        }
        bool operator==(const iterator& o) const { return b_ == o.b_ && i_ == o.i_; }
        bool operator!=(const iterator& o) const { return !(*this == o); }

    private:
        friend class BlockIndex;
        iterator(const std::vector<Block>* blocks, size_t b, size_t i) : blocks_(blocks), b_(b), i_(i) {}
        const std::vector<Block>* blocks_ = nullptr;
        size_t b_ = 0, i_ = 0;
    };
    using const_iterator = iterator;

    explicit BlockIndex(Less less) : less_(less) {}

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    iterator begin() const { return iterator(&blocks_, 0, 0); }
    iterator end() const { return iterator(&blocks_, blocks_.size(), 0); }
    const Less& key_comp() const { return less_; }

    // First element not less than `key` (an element or any key Less accepts).
    template <class K>
    iterator lower_bound(const K& key) const
    {
        size_t b = BlockFor(key);
        if (b == blocks_.size()) return end();
        const Block& blk = blocks_[b];
        auto it = std::lower_bound(blk.begin(), blk.end(), key, [&](const T& e, const K& k) { return less_(e, k); });
        return iterator(&blocks_, b, static_cast<size_t>(it - blk.begin()));
    }

    iterator find(const T& key) const
    {
        iterator it = lower_bound(key);
        return it != end() && !less_(key, *it) ? it : end();
    }

    bool insert(T value)
    {
        if (blocks_.empty()) {
            blocks_.emplace_back();
            blocks_.back().reserve(kBlock);
            blocks_.back().push_back(std::move(value));
            size_ = 1;
            return true;
        }
        size_t b = std::min(BlockFor(value), blocks_.size() - 1);
        Block& blk = blocks_[b];
        auto it = std::lower_bound(blk.begin(), blk.end(), value, less_);
        if (it != blk.end() && !less_(value, *it)) return false;
        blk.insert(it, std::move(value));
        ++size_;
        if (blk.size() > 2 * kBlock) Split(b);
        return true;
    }

    // Appends when `value` sorts after everything, the common case of new
    // object ids; otherwise an ordinary insert.
    void emplace_hint(iterator, T value)
    {
        if (!blocks_.empty() && less_(blocks_.back().back(), value)) {
            if (blocks_.back().size() >= kBlock) {
                blocks_.emplace_back();
                blocks_.back().reserve(kBlock);
            }
            blocks_.back().push_back(std::move(value));
            ++size_;
            return;
        }
        insert(std::move(value));
    }

    // Replaces the contents with `sorted`, which must be ordered by Less and
    // free of duplicates: a bulk load without a search per element.
    void AssignSorted(std::vector<T> sorted)
    {
        blocks_.clear();
        size_ = sorted.size();
        for (size_t at = 0; at < sorted.size(); at += kBlock) {
            const size_t n = std::min(kBlock, sorted.size() - at);
            blocks_.emplace_back();
            blocks_.back().reserve(kBlock);
            auto from = sorted.begin() + static_cast<std::ptrdiff_t>(at);
            std::move(from, from + static_cast<std::ptrdiff_t>(n), std::back_inserter(blocks_.back()));
        }
    }

    size_t erase(const T& key)
    {
        iterator it = find(key);
        if (it == end()) return 0;
        Block& blk = blocks_[it.b_];
        blk.erase(blk.begin() + static_cast<std::ptrdiff_t>(it.i_));
        if (blk.empty()) blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(it.b_));
        --size_;
        return 1;
    }

    // The element at position k (end() when k >= size()).
    iterator At(size_t k) const
    {
        if (k >= size_) return end();
        size_t b = 0;
        while (k >= blocks_[b].size()) k -= blocks_[b++].size();
        return iterator(&blocks_, b, k);
    }

    size_t Position(iterator it) const
    {
        size_t k = it.i_;
        for (size_t b = 0; b < it.b_ && b < blocks_.size(); ++b) k += blocks_[b].size();
        return k;
    }

private:
    // First block whose last element is not less than `key`.
    template <class K>
    size_t BlockFor(const K& key) const
    {
        size_t lo = 0, hi = blocks_.size();
        while (lo < hi) {
            size_t mid = (lo + hi) / 2;
            if (less_(blocks_[mid].back(), key)) lo = mid + 1;
            else hi = mid;
        }
        return lo;
    }

    void Split(size_t b)
    {
        Block right;
        right.reserve(2 * kBlock);
        Block& left = blocks_[b];
        const size_t half = left.size() / 2;
        std::move(left.begin() + static_cast<std::ptrdiff_t>(half), left.end(), std::back_inserter(right));
        left.resize(half);
        blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(b) + 1, std::move(right));
    }

    Less less_;
    std::vector<Block> blocks_;
    size_t size_ = 0;
};

}  // namespace cedb
