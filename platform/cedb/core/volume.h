// One mounted volume: every database's records and sort orders in memory,
// persisted as the append-only log described in log_format.h. One file per
// responsibility implements it: volume.cpp (the state in memory),
// volume_replay.cpp (mount, replay, recovery), volume_index_builder.cpp,
// volume_cursor.cpp (cursors and seeks), volume_write.cpp and
// volume_compaction.cpp; catalogue.h codes each database's layout.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/cedb/core/block_index.h"
#include "platform/cedb/core/catalogue.h"
#include "platform/cedb/core/file_system.h"
#include "platform/cedb/core/log_format.h"
#include "platform/cedb/core/property.h"
#include "platform/cedb/core/record_table.h"
#include "platform/cedb/core/status.h"

namespace cedb {

constexpr size_t kMaxRecordBytes = 1u << 20;

// Creation modes, numerically the platform's.
enum MountMode : uint32_t {
    kCreateNew = 1,
    kCreateAlways = 2,
    kOpenExisting = 3,
    kOpenAlways = 4,
    kTruncateExisting = 5,
};

// Seek kinds, numerically the platform's.
enum SeekKind : uint32_t {
    kSeekOid = 0x001,
    kSeekBeginning = 0x002,
    kSeekEnd = 0x004,
    kSeekCurrent = 0x008,
    kSeekValueSmaller = 0x010,
    kSeekValueFirstEqual = 0x020,
    kSeekValueGreater = 0x040,
    kSeekValueNextEqual = 0x080,
    kSeekValueSmallerOrEqual = 0x100,
    kSeekValueGreaterOrEqual = 0x200,
};

enum class Change { kRecordCreated, kRecordChanged, kRecordDeleted, kDatabaseCreated, kDatabaseDeleted };

// One record's place in one index: its sort-key values and object id. The
// first key is held inline; most sort orders have only one.
struct IndexEntry {
    KeyValue first;
    Boxed<std::vector<KeyValue>> rest;
    uint32_t oid = 0;
    const KeyValue& key(size_t i) const { return i == 0 ? first : (*rest)[i - 1]; }
};

// Bounds for value seeks: compares on the probe's leading keys; entries equal
// on them sort after a lower probe and before an upper one.
struct SeekProbe {
    const std::vector<KeyValue>* keys;
    bool upper;
};

struct IndexLess {
    using is_transparent = void;
    const SortOrder* order;
    bool operator()(const IndexEntry& a, const IndexEntry& b) const
    {
        const size_t n = order->size();
        for (size_t i = 0; i < n; ++i) {
            int c = CompareKey(a.key(i), b.key(i), (*order)[i]);
            if (c) return c < 0;
        }
        return a.oid < b.oid;  // equal keys keep creation order
    }
    bool operator()(const IndexEntry& a, const SeekProbe& p) const { return ComparePrefix(a, p) < 0; }
    bool operator()(const SeekProbe& p, const IndexEntry& a) const { return ComparePrefix(a, p) > 0; }
    int ComparePrefix(const IndexEntry& a, const SeekProbe& p) const;
};
using Index = BlockIndex<IndexEntry, IndexLess>;

// A position in one index of one database.
struct Database;

struct Cursor {
    uint32_t db = 0;
    Database* dbp = nullptr;  // valid while db != 0
    size_t index = 0;
    uint32_t oid = 0;   // record under the cursor, 0 = past the end
    Index::iterator it;  // valid while the database's last_change equals `seen`
    uint64_t seen = 0;
};

struct Database {
    uint32_t oid = 0;
    DatabaseLayout layout;
    uint32_t entry_bytes = 0;
    uint64_t record_bytes = 0;  // log bytes of its live records
    uint64_t last_change = 0;  // volume change counter at the last index change
    std::vector<Index> indexes;  // [0] object-id order, [1 + i] layout.orders[i]
    std::set<Cursor*> cursors;   // moved off a record before it is erased
    // While mounting: sort-order entries of the records the log created, in
    // log order; stale once the log rewrote or erased one of them.
    std::vector<std::vector<IndexEntry>> replayed;
    bool replayed_stale = false;
    size_t count() const { return indexes[0].size(); }
};


struct MountOptions {
    uint32_t mode = kOpenAlways;
    bool read_only = false;          // inspection: never writes, keeps a torn tail
    uint64_t allocate_ahead = 1u << 20;  // zeros kept ahead of the log end
    // A checkpoint vouches for the log as mounted; recovery from a failed
    // write skips it, since it must work on a full disk.
    bool checkpoint = true;
    // Several processes read and write the volume at once (volume_sharing.cpp).
    bool shared = false;
};

struct MountReport {
    bool created = false;
    uint64_t torn_bytes = 0;  // removed (or, read-only, found) after the valid log
    uint64_t log_bytes = 0;
    uint32_t generation = 0;
    size_t entries = 0;
};

class Volume {
public:
    using Observer = std::function<void(Change, uint32_t db, uint32_t oid)>;

    static Status Mount(FileSystem* fs, const std::string& path, const MountOptions& opt,
                        std::unique_ptr<Volume>* out, MountReport* report = nullptr);
    ~Volume();

    // Writes pending entries and syncs. After a failed write or sync the
    // volume goes back to what the file holds durably: the unsynced end of
    // the log is cut off and the volume is read again, so changes that did
    // not become durable are gone from memory too (observers hear of each
    // record and database that changed back). Until that succeeds the
    // volume refuses changes, and each later change tries it again: a
    // failure lasts only as long as its cause, a full disk for instance.
    // On a shared volume it also ends the change: other processes may write.
    Status Flush();
    // A shared volume takes up what other processes appended since this one
    // last looked, telling observers of each change as if made here. Cheap
    // when nothing was appended; does nothing while another process writes
    // (the next call takes that up) or while this one has changes unflushed.
    Status Refresh();
    bool shared() const { return lock_ != nullptr; }
    // Flushes, compacts when more than half the log is dead, and closes.
    Status Unmount();
    Status Compact();

    void SetObserver(Observer o) { observer_ = std::move(o); }

    Status CreateDatabase(const DatabaseLayout& layout, uint32_t* oid);
    Status DeleteDatabase(uint32_t oid);
    Database* FindDatabase(uint32_t oid);
    Database* FindDatabaseByName(const std::u16string& name);
    const std::map<uint32_t, std::unique_ptr<Database>>& databases() const { return databases_; }

    // `props` may carry deletions in `deletes`; oid 0 makes a new record.
    Status WriteRecord(uint32_t db, uint32_t oid, const std::vector<Prop>& props, const std::vector<uint32_t>& deletes,
                       uint32_t* out_oid);
    Status DeleteRecord(uint32_t db, uint32_t oid);
    const Record* FindRecord(uint32_t oid) const;
    static bool RecordProps(const Record& r, std::vector<Prop>* props);

    // Cursors: propid 0 opens on object-id order.
    // The cursor must stay at one address until CloseCursor.
    Status OpenCursor(uint32_t db, uint32_t propid, Cursor* c);
    void CloseCursor(Cursor* c);
    // Returns the object id reached, 0 when none (then the cursor is past the end).
    uint32_t Seek(Cursor* c, uint32_t kind, int64_t value, const std::vector<Prop>& values, uint32_t* ordinal);
    const Record* Current(Cursor* c);
    void Advance(Cursor* c);

    const std::string& path() const { return path_; }
    uint64_t log_bytes() const { return end_ + pending_.size(); }
    uint64_t live_bytes() const { return live_; }
    uint32_t failed_code() const { return failed_.code; }
    uint32_t generation() const { return header_.generation; }
    bool read_only() const { return read_only_; }

private:
    static constexpr size_t kSpillBytes = 1u << 20;  // pending entries written early past this

    Volume() = default;
    // Where compaction and creation write a volume before renaming it.
    static std::string TempPath(const std::string& path);
    // A new volume appears whole or not at all.
    static Status CreateEmpty(FileSystem* fs, const std::string& path);
    // Finishes a compaction whose rename stopped half way.
    static Status AdoptCompaction(FileSystem* fs, const std::string& path);
    // Opens the file as the mode asks, creating an empty volume where it must:
    // then *fresh and *made.
    Status OpenFile(const MountOptions& opt, bool* fresh, bool* made);
    // Reads the file into memory, or starts an empty log where it never held
    // a database.
    Status LoadFile(const MountOptions& opt, bool fresh, bool made, bool* ends_vouched, MountReport* rep);
    // Replays the log read and cuts off a torn tail (unless reading only).
    Status ReadLog(const MountOptions& opt, bool* ends_vouched, MountReport* rep);
    Status Replay(const LogScan& scan);
    // One log entry into memory, told to the observer; while mounting the
    // payload borrows from the image, otherwise it is copied.
    Status ApplyEntry(const LogEntry& e, std::vector<PropRef>* props, uint32_t* max_oid);
    // Shared volumes (volume_sharing.cpp). Writing holds the writer lock from
    // the first change to the flush that makes the changes durable, and
    // starts by taking up what other processes appended meanwhile.
    static std::string LockPath(const std::string& path);
    Status OpenSharing();
    Status BeginChange();
    // Lets other processes write once nothing of this one's is unflushed.
    void EndChangeIfIdle();
    void ReleaseWriter();
    // Reads and applies the entries past end_ that another process wrote.
    Status CatchUp();
    // Compaction replaces the file: only when no other process has it open.
    // False, with the lock as it was, when another has.
    bool TakeVolumeAlone();
    void ShareVolumeAgain();
    OpenMode WriteMode() const { return lock_ ? OpenMode::kShared : OpenMode::kOpenExisting; }
    // Flush without ending the change.
    Status WriteAndSync();
    // Replay keeps only object-id order; the sort orders are built once at
    // its end, sorting instead of inserting record by record.
    void BuildSortIndexes();
    // Payloads borrowed from the mount image keep all of it in memory; when
    // most of it is dead entries, the live payloads move to a buffer of
    // their own.
    void PackImage();
    Status AddDatabase(uint32_t oid, const DatabaseLayout& layout, uint32_t entry_bytes);
    void RemoveDatabase(Database* db);
    // `before` holds the record's old index entries when the caller has them.
    // `props` are Prop or, while mounting, PropRef.
    template <class P>
    void PutRecord(Database* db, uint32_t oid, Payload payload, const std::vector<P>& props,
                   uint32_t entry_bytes, bool* created, const std::vector<IndexEntry>* before = nullptr);
    void EraseRecord(Database* db, uint32_t oid);
    template <class P>
    IndexEntry MakeEntry(const Database& db, size_t index, const std::vector<P>& props, uint32_t oid) const;
    Status Append(uint8_t type, const std::string& payload, uint32_t* entry_bytes);
    Status WritePending();
    // Refuses changes while a failure stands that recovery cannot mend.
    Status Writable();
    // Records `s` as the volume's failure and, outside a mount, recovers.
    Status Fail(const Status& s);
    Status Recover();
    // Takes the state of `fresh`, a new mount of the same file, leaving it
    // the old one; moves open cursors over and notifies what differs.
    void Adopt(Volume* fresh);
    void NotifyDifferences(Volume* old);
    Status Checkpoint();
    // Where a value seek lands; the index's end when nothing fits.
    Index::iterator SeekValue(Cursor* c, uint32_t kind, const std::vector<Prop>& values);
    // Writes the live state as a log of h's generation to `temp` and syncs it;
    // *size is the bytes written.
    Status WriteCompacted(const std::string& temp, const Header& h, uint64_t* size);
    // Renames the compacted file over the volume and continues on it.
    Status SwitchToCompacted(const std::string& temp, const Header& h, uint64_t written);
    void Locate(Cursor* c);
    void SetPosition(Cursor* c, Index::iterator it);
    void Notify(Change ch, uint32_t db, uint32_t oid);

    FileSystem* fs_ = nullptr;
    std::string path_;
    std::unique_ptr<File> file_;
    Header header_;
    uint64_t end_ = 0;        // logical end of the log in the file
    uint64_t synced_ = 0;     // bytes known durable
    uint64_t allocated_ = 0;  // file size including zeros ahead of end_
    uint64_t live_ = 0;       // bytes of entries still describing live state
    uint64_t proven_ = 0;     // the log up to here is known flushed by a later entry
    uint64_t allocate_ahead_ = 0;
    std::string pending_;     // entries not yet written to the file
    Status failed_;
    bool read_only_ = false;
    bool loading_ = false;  // inside Mount: a failure there fails the mount
    std::unique_ptr<FileLock> lock_;  // shared volumes only
    bool writing_ = false;            // holds the writer lock
    uint64_t change_counter_ = 1;
    std::map<uint32_t, std::unique_ptr<Database>> databases_;
    // The file as read at mount, later only its live payloads, which borrow
    // from it: held by pointer so its characters never move, not even those
    // of a string short enough to live inside the string object.
    std::unique_ptr<std::string> image_{new std::string};
    RecordTable records_;
    Observer observer_;
    std::vector<Prop> scratch_;  // decoding buffers reused across calls
    bool replaying_ = false;     // sort-order indexes are left empty meanwhile
    std::vector<Prop> merged_;
    std::string encoded_;  // WriteRecord's entry, reused for its buffer
};

}  // namespace cedb
