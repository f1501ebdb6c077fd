#include "tools/volinspect/inspect.h"

#include <cstdio>
#include <memory>

#include "platform/cedb/core/volume.h"
#include "platform/unicode/utf8.h"

namespace volinspect {
namespace {

using namespace cedb;

std::string Hex(uint32_t v)
{
    char b[16];
    std::snprintf(b, sizeof b, "0x%08X", v);
    return b;
}

const char* TypeName(uint16_t t)
{
    switch (t) {
    case kTypeI2: return "I2";
    case kTypeUI2: return "UI2";
    case kTypeI4: return "I4";
    case kTypeUI4: return "UI4";
    case kTypeR8: return "R8";
    case kTypeBool: return "BOOL";
    case kTypeString: return "LPWSTR";
    case kTypeFiletime: return "FILETIME";
    case kTypeBlob: return "BLOB";
    default: return "?";
    }
}

// Strings are shown quoted, with control characters escaped.
std::string Quote(const std::u16string& s)
{
    std::string out = "\"";
    for (size_t at = 0; at < s.size();) {
        const char32_t c = unicode::NextCodePoint(s.data(), s.size(), &at);
        if (c == U'"' || c == U'\\') {
            out.push_back('\\');
            out.push_back(static_cast<char>(c));
        } else if (c < 0x20) {
            char b[8];
            std::snprintf(b, sizeof b, "\\x%02X", static_cast<unsigned>(c));
            out += b;
        } else {
            unicode::AppendUtf8(&out, c);
        }
    }
    return out + "\"";
}

std::string Value(const Prop& p)
{
    char b[64];
    switch (TypeOf(p.id)) {
    case kTypeR8: std::snprintf(b, sizeof b, "%.17g", p.d); return b;
    case kTypeBool: return p.i ? "TRUE" : "FALSE";
    case kTypeString: return Quote(p.s);
    case kTypeBlob: {
        std::string out = std::to_string(p.blob.size()) + " bytes";
        for (size_t i = 0; i < p.blob.size() && i < 16; ++i) {
            std::snprintf(b, sizeof b, " %02X", static_cast<unsigned char>(p.blob[i]));
            out += b;
        }
        return p.blob.size() > 16 ? out + " ..." : out;
    }
    default: return std::to_string(p.i);
    }
}

std::string SortText(const SortOrder& o)
{
    std::string out;
    for (size_t i = 0; i < o.size(); ++i) {
        if (i) out += " + ";
        out += Hex(o[i].propid);
        out += (o[i].flags & kSortDescending) ? " desc" : " asc";
        if (o[i].flags & kSortCaseInsensitive) out += " nocase";
        if (o[i].flags & kSortUnknownFirst) out += " unknown-first";
    }
    return out;
}

}  // namespace

Result Inspect(const std::string& path, const std::string& records_of, std::ostream& out, std::ostream& err)
{
    MountOptions opt;
    opt.read_only = true;
    std::unique_ptr<Volume> v;
    MountReport rep;
    Status s = Volume::Mount(FileSystem::Default(), path, opt, &v, &rep);
    if (!s.ok()) {
        if (s.code == kErrFileCorrupt) {
            err << "damaged volume: " << s.message << "\n";
            return kDamaged;
        }
        if (s.code == kErrSharingViolation) err << "cannot read " << path << ": it is in use by a running program\n";
        else err << "cannot read " << path << ": " << s.message << " (error " << s.code << ")\n";
        return kUnreadable;
    }
    out << "volume " << path << ": generation " << rep.generation << ", " << v->databases().size()
        << " databases, " << rep.log_bytes << " bytes of log\n";
    if (rep.torn_bytes)
        out << "note: " << rep.torn_bytes << " bytes after the log are an unfinished write and are ignored\n";
    const Database* wanted = nullptr;
    for (auto& kv : v->databases()) {
        const Database& db = *kv.second;
        out << Hex(db.oid) << "  " << Quote(db.layout.name) << "  type " << db.layout.type << "  " << db.count()
            << " records\n";
        for (size_t i = 0; i < db.layout.orders.size(); ++i)
            out << "    sort " << (i + 1) << ": " << SortText(db.layout.orders[i]) << "\n";
        if (!records_of.empty() && unicode::Utf16ToUtf8(db.layout.name) == records_of) wanted = &db;
    }
    if (records_of.empty()) return kOk;
    if (!wanted) {
        err << "no database named \"" << records_of << "\"\n";
        return kNoSuchDatabase;
    }
    out << "\nrecords of " << Quote(wanted->layout.name) << ":\n";
    for (const IndexEntry& e : wanted->indexes[0]) {
        std::vector<Prop> props;
        Volume::RecordProps(*v->FindRecord(e.oid), &props);
        out << "record " << Hex(e.oid) << " (" << props.size() << " properties)\n";
        for (const Prop& p : props)
            out << "    " << Hex(p.id) << " " << TypeName(TypeOf(p.id)) << " " << Value(p) << "\n";
    }
    return kOk;
}

}  // namespace volinspect
