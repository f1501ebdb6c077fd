// Every record of a mounted volume, by object id.
//
// Records live in one open-addressed slot array (linear probing, at most
// half full) rather than in a node per record: a large volume's mount,
// compaction and teardown were dominated by the allocation, the pointer
// chasing and the freeing of those nodes. For the same reason a payload
// read at mount is not copied but borrowed from the volume's file image.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace cedb {

// A record's bytes as logged: u32 database, u32 object id, EncodeProps form.
// Either owned, or borrowed from memory that outlives the record.
class Payload {
public:
    Payload() = default;
    Payload(const Payload&) = delete;
    Payload& operator=(const Payload&) = delete;
    Payload(Payload&& o) noexcept : data_(o.data_), size_(o.size_), owned_(o.owned_) { o.Forget(); }
    Payload& operator=(Payload&& o) noexcept
    {
        if (this != &o) {
            Release();
            data_ = o.data_, size_ = o.size_, owned_ = o.owned_;
            o.Forget();
        }
        return *this;
    }
    ~Payload() { Release(); }

    static Payload Borrow(const char* p, size_t n)
    {
        Payload b;
        b.data_ = p;
        b.size_ = static_cast<uint32_t>(n);
        return b;
    }
    static Payload Copy(const char* p, size_t n)
    {
        Payload c;
        char* own = new char[n ? n : 1];
        if (n) std::memcpy(own, p, n);
        c.data_ = own;
        c.size_ = static_cast<uint32_t>(n);
        c.owned_ = true;
        return c;
    }

    const char* data() const { return data_; }
    size_t size() const { return size_; }
    bool borrowed() const { return data_ && !owned_; }

private:
    void Release()
    {
        if (owned_) delete[] data_;
        Forget();
    }
    void Forget()
    {
        data_ = nullptr;
        size_ = 0;
        owned_ = false;
    }

    const char* data_ = nullptr;
    uint32_t size_ = 0;  // log entries are far smaller than 4 GB
    bool owned_ = false;
};

struct Record {
    uint32_t db = 0;
    uint32_t entry_bytes = 0;
    Payload payload;
};

// Object id 0 is never a record's, so it marks a free slot. Inserting may
// move records: a Record* is valid until the next Insert.
class RecordTable {
public:
    size_t size() const { return size_; }

    const Record* Find(uint32_t oid) const
    {
        if (slots_.empty() || oid == 0) return nullptr;
        for (size_t i = Home(oid);; i = (i + 1) & Mask()) {
            if (slots_[i].oid == oid) return &slots_[i].rec;
            if (slots_[i].oid == 0) return nullptr;
        }
    }
    Record* Find(uint32_t oid) { return const_cast<Record*>(static_cast<const RecordTable*>(this)->Find(oid)); }

    // Starts loading the slot of `oid` into the cache: for loops that look
    // up many records one after another.
    void Prefetch(uint32_t oid) const
    {
        if (!slots_.empty()) __builtin_prefetch(&slots_[Home(oid)]);
    }

    // The record for `oid` (not 0); a new, empty one when *created.
    Record* Insert(uint32_t oid, bool* created)
    {
        if (Record* r = Find(oid)) {
            *created = false;
            return r;
        }
        if (2 * (size_ + 1) > slots_.size()) Grow(size_ + 1);
        size_t i = Home(oid);
        while (slots_[i].oid != 0) i = (i + 1) & Mask();
        slots_[i].oid = oid;
        ++size_;
        *created = true;
        return &slots_[i].rec;
    }

    bool Erase(uint32_t oid)
    {
        if (slots_.empty() || oid == 0) return false;
        size_t hole = Home(oid);
        for (; slots_[hole].oid != oid; hole = (hole + 1) & Mask())
            if (slots_[hole].oid == 0) return false;
        // Close the gap: later members of the probe run move back unless
        // their home lies cyclically after the hole.
        for (size_t j = (hole + 1) & Mask(); slots_[j].oid != 0; j = (j + 1) & Mask()) {
            const size_t home = Home(slots_[j].oid);
            const bool stays = hole < j ? (home > hole && home <= j) : (home > hole || home <= j);
            if (stays) continue;
            slots_[hole].oid = slots_[j].oid;
            slots_[hole].rec = std::move(slots_[j].rec);
            hole = j;
        }
        slots_[hole].oid = 0;
        slots_[hole].rec = Record();
        --size_;
        return true;
    }

    void Reserve(size_t n)
    {
        if (2 * n > slots_.size()) Grow(n);
    }

    template <class F>
    void ForEach(F f)
    {
        for (Slot& s : slots_)
            if (s.oid) f(s.oid, s.rec);
    }

private:
    struct Slot {
        uint32_t oid = 0;
        Record rec;
    };

    // Multiplicative hashing spreads runs of consecutive ids, and any other
    // pattern a volume file could hold, over the whole table.
    size_t Home(uint32_t oid) const { return static_cast<size_t>((oid * 0x9E3779B97F4A7C15ull) >> shift_); }
    size_t Mask() const { return slots_.size() - 1; }

    void Grow(size_t n)
    {
        size_t cap = 16;
        int bits = 4;
        while (cap < 2 * n) cap *= 2, ++bits;
        std::vector<Slot> old(cap);
        old.swap(slots_);
        shift_ = 64 - bits;
        for (Slot& s : old) {
            if (!s.oid) continue;
            size_t i = Home(s.oid);
            while (slots_[i].oid != 0) i = (i + 1) & Mask();
            slots_[i].oid = s.oid;
            slots_[i].rec = std::move(s.rec);
        }
    }

    std::vector<Slot> slots_;
    size_t size_ = 0;
    int shift_ = 64;
};

}  // namespace cedb
