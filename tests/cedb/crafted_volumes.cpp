#include "tests/cedb/crafted_volumes.h"

#include <algorithm>
#include <vector>

#include "platform/cedb/core/log_format.h"
#include "platform/cedb/core/property.h"

namespace cedb_test {

using namespace cedb;

std::string CandidateHeadersVolume(size_t bytes)
{
    std::string file;
    EncodeHeader(Header(), &file);
    while (file.size() + kEntryHeaderSize <= bytes) {
        const size_t rest = bytes - file.size() - kEntryHeaderSize;
        PutU32(&file, 0);  // the checksum, wrong
        PutU32(&file, static_cast<uint32_t>(std::min<size_t>(rest, kMaxEntryPayload)));
        file.push_back(static_cast<char>(kEntryPutRecord));
        PutU64(&file, 0);  // claims nothing flushed, so the search goes on
    }
    file.resize(bytes, '\0');
    return file;
}

std::string WideRecordsVolume(size_t bytes, size_t properties)
{
    Header header;
    std::string file;
    EncodeHeader(header, &file);
    const uint32_t db = 1;
    std::string entry = DatabaseEntry(db, u"wide", 0);
    AppendEntry(&file, header.generation, kEntryCreateDatabase, 0, entry.data(), entry.size());

    std::vector<Prop> props(std::min<size_t>(properties, 0xFFFF));
    for (size_t k = 0; k < props.size(); ++k) props[k].id = static_cast<uint32_t>((k + 1) << 16 | kTypeI2);
    for (uint32_t oid = db + 1;; ++oid) {
        entry.clear();
        PutU32(&entry, db);
        PutU32(&entry, oid);
        EncodeProps(props, &entry);
        if (file.size() + kEntryHeaderSize + entry.size() > bytes) break;
        AppendEntry(&file, header.generation, kEntryPutRecord, 0, entry.data(), entry.size());
    }
    return file;
}

std::string DatabaseEntry(uint32_t oid, const std::u16string& name, uint8_t orders)
{
    std::string e;
    PutU32(&e, oid), PutU32(&e, 0), PutU32(&e, 0), PutU16(&e, static_cast<uint16_t>(name.size()));  // type, flags
    for (char16_t c : name) PutU16(&e, static_cast<uint16_t>(c));
    e.push_back(static_cast<char>(orders));
    return e;
}

}  // namespace cedb_test
