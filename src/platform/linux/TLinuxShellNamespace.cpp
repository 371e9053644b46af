// The shell namespace over a plain file tree: the root holds My Computer, whose children
// are the volumes of the drive table; below a volume the items are file names. An id
// list is [My Computer, volume root, name, name...].
#include "platform/IShellNamespace.h"
#include "platform/TDirWalker.h"
#include "platform/Volumes.h"
#include "platform/linux/StatxAttributes.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <string_view>

#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>

namespace Platform {

namespace {

// A virtual folder's parsing name holds "::", as the window's location rule expects.
const std::string MyComputerItem = "::{MyComputer}";

std::string VolumeName(const TVolumeInfo& v) {
    std::string mount = v.Root;
    if (mount.size() > 1 && mount.back() == '/')
        mount.pop_back();
    return (v.Label.empty() ? std::string("Local Disk") : v.Label) + " (" + mount + ")";
}

std::string PathOf(const TIdList& list) {
    if (list.Items.size() < 2)
        return {};
    std::string path = list.Items[1];
    for (size_t i = 2; i < list.Items.size(); ++i) {
        if (path.back() != '/')
            path += '/';
        path += list.Items[i];
    }
    return path;
}

// The collation key of a name: numbers sort by value, then the user's collation decides
// (case is a late difference there). Keys compare as plain bytes.
class TCollation {
public:
    TCollation() : FLocale(newlocale(LC_COLLATE_MASK, "", static_cast<locale_t>(0))) {
        // Under a code point collation (C, C.UTF-8) the key is the text itself; skipping
        // the transform saves most of the time of sorting a big folder.
        if (FLocale && ByteOrder()) {
            freelocale(FLocale);
            FLocale = static_cast<locale_t>(0);
        }
    }
    ~TCollation() {
        if (FLocale)
            freelocale(FLocale);
    }
    TCollation(const TCollation&) = delete;
    TCollation& operator=(const TCollation&) = delete;

    std::string Key(std::string_view name) {
        std::string key;
        AppendKey(name, key);
        return key;
    }

    // Appends the key of name to keys; a big folder's keys share one buffer.
    void AppendKey(std::string_view name, std::string& keys) {
        const size_t at = keys.size();
        if (!FLocale) {
            keys.resize(at + name.size() * 3);
            keys.resize(at + WriteNumbered(name, keys.data() + at));
            return;
        }
        FCounted.clear();
        AppendCounted(name, FCounted);
        keys.resize(at + FCounted.size() * 4 + 16);
        size_t n = strxfrm_l(keys.data() + at, FCounted.c_str(), keys.size() - at, FLocale);
        if (n >= keys.size() - at) {
            keys.resize(at + n + 1);
            n = strxfrm_l(keys.data() + at, FCounted.c_str(), keys.size() - at, FLocale);
        }
        keys.resize(at + n);
    }

private:
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

    // Writes name with each run of digits made to sort by its value: leading zeros go,
    // then the run begins with "0" (so that it sorts among other characters as a digit
    // does) and its count of digits, so a longer number sorts after a shorter one.
    // out has room for three bytes per byte of name; returns the length written.
    static size_t WriteNumbered(std::string_view name, char* out) {
        char* o = out;
        const char* p = name.data();
        const char* const end = p + name.size();
        while (p < end) {
            if (!IsDigit(*p)) {
                *o++ = *p++;
                continue;
            }
            const char* run = p;
            while (p < end && IsDigit(*p))
                ++p;
            while (run + 1 < p && *run == '0')
                ++run;
            *o++ = '0';
            *o++ = static_cast<char>(p - run); // names are at most 255 bytes
            std::memcpy(o, run, static_cast<size_t>(p - run));
            o += p - run;
        }
        return static_cast<size_t>(o - out);
    }

    // The collation transform needs real digits: there a run of digits, without its
    // leading zeros, is preceded by its count of digits written with three digits.
    static void AppendCounted(std::string_view name, std::string& out) {
        for (size_t i = 0; i < name.size();) {
            if (!IsDigit(name[i])) {
                const size_t j = FirstDigit(name, i);
                out.append(name, i, j - i);
                i = j;
                continue;
            }
            size_t j = i;
            while (j < name.size() && IsDigit(name[j]))
                ++j;
            size_t start = i;
            while (start + 1 < j && name[start] == '0')
                ++start;
            const size_t digits = j - start; // names are at most 255 bytes
            out += static_cast<char>('0' + digits / 100 % 10);
            out += static_cast<char>('0' + digits / 10 % 10);
            out += static_cast<char>('0' + digits % 10);
            out.append(name, start, digits);
            i = j;
        }
    }

    static size_t FirstDigit(std::string_view name, size_t from) {
        while (from < name.size() && !IsDigit(name[from]))
            ++from;
        return from;
    }

    bool ByteOrder() const {
        const char* samples[] = {"B", "a", "b", "\xc3\xa9", "_", "A", "1"};
        for (const char* x : samples)
            for (const char* y : samples)
                if ((strcoll_l(x, y, FLocale) < 0) != (std::strcmp(x, y) < 0))
                    return false;
        return true;
    }

    locale_t FLocale;
    std::string FCounted; // scratch for the transform's input
};

// Sorts a folder's children by their keys, all kept in one buffer. Each key is
// represented by eight bytes taken past the part every key shares, so most
// comparisons are one integer comparison; ties go on to the rest of the bytes and then
// to the listing order, as a stable sort would.
class TKeySort {
public:
    explicit TKeySort(size_t count) {
        FRefs.reserve(count);
        FKeys.reserve(count * 24);
    }

    void Add(std::string_view folderMark, std::string_view name, TCollation& collation) {
        const size_t at = FKeys.size();
        FKeys.append(folderMark);
        collation.AppendKey(name, FKeys);
        FRefs.push_back({0, at, FKeys.size() - at, FRefs.size()});
    }

    // The listing positions in sorted order.
    std::vector<size_t> Order() {
        const size_t shared = SharedLength();
        for (TRef& r : FRefs)
            r.Head = Head(r, shared);
        std::sort(FRefs.begin(), FRefs.end(), [&](const TRef& a, const TRef& b) {
            if (a.Head != b.Head)
                return a.Head < b.Head;
            return Rest(a, b, shared + 8) < 0;
        });
        std::vector<size_t> order;
        order.reserve(FRefs.size());
        for (const TRef& r : FRefs)
            order.push_back(r.Index);
        return order;
    }

private:
    struct TRef {
        uint64_t Head; // eight key bytes past the shared part, the first the highest
        size_t Offset; // in FKeys
        size_t Length;
        size_t Index; // listing position
    };

    size_t SharedLength() const {
        if (FRefs.empty())
            return 0;
        const TRef& first = FRefs.front();
        size_t shared = first.Length;
        for (const TRef& r : FRefs) {
            shared = std::min(shared, r.Length);
            size_t i = 0;
            while (i < shared && FKeys[first.Offset + i] == FKeys[r.Offset + i])
                ++i;
            shared = i;
        }
        return shared;
    }

    // No key holds a zero byte, so zeros past a short key's end sort it first.
    uint64_t Head(const TRef& r, size_t from) const {
        uint64_t head = 0;
        if (r.Length >= from + 8) {
            std::memcpy(&head, FKeys.data() + r.Offset + from, 8);
            if constexpr (std::endian::native == std::endian::little)
                head = __builtin_bswap64(head); // the first byte the highest
            return head;
        }
        for (size_t i = 0; i < 8; ++i) {
            const size_t at = from + i;
            const unsigned char c =
                at < r.Length ? static_cast<unsigned char>(FKeys[r.Offset + at]) : 0;
            head = head << 8 | c;
        }
        return head;
    }

    int Rest(const TRef& a, const TRef& b, size_t from) const {
        const size_t la = a.Length > from ? a.Length - from : 0;
        const size_t lb = b.Length > from ? b.Length - from : 0;
        const int c =
            std::memcmp(FKeys.data() + a.Offset + std::min(from, a.Length),
                        FKeys.data() + b.Offset + std::min(from, b.Length), std::min(la, lb));
        if (c != 0)
            return c;
        if (la != lb)
            return la < lb ? -1 : 1;
        return a.Index < b.Index ? -1 : a.Index > b.Index;
    }

    std::string FKeys;
    std::vector<TRef> FRefs;
};

// Puts items in the given order (order[i] is the old position of the new i-th item) in
// place, following each cycle of the permutation, so a big folder needs no second list.
template <typename T> void Permute(std::vector<T>& items, std::vector<size_t> order) {
    for (size_t i = 0; i < order.size(); ++i) {
        if (order[i] == i)
            continue;
        T held = std::move(items[i]);
        size_t at = i;
        while (order[at] != i) {
            const size_t from = order[at];
            items[at] = std::move(items[from]);
            order[at] = at;
            at = from;
        }
        items[at] = std::move(held);
        order[at] = at;
    }
}

// The type column's texts of the entries that are not plain files.
const char* const FolderType = "Folder";
const char* const FolderLinkType = "Folder Link";
// Short enough for the narrow column a folder row shows its type in.
const char* const OtherFileSystemType = "Mount Point";

std::string TypeText(uint32_t attributes, const std::string& name) {
    if ((attributes & Attr::Directory) && !(attributes & Attr::ReparsePoint))
        return FolderType;
    if (attributes & Attr::ReparsePoint)
        return (attributes & Attr::Directory) ? FolderLinkType : "Link";
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == name.size())
        return "File";
    std::string ext = name.substr(dot + 1);
    for (char& c : ext)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return ext + " File";
}

class TLinuxShellNamespace : public IShellNamespace {
public:
    TIdList MyComputer() override { return TIdList{{MyComputerItem}}; }

    bool Enumerate(const TIdList& folder, std::vector<TShellChild>& children,
                   std::string& error) override {
        children.clear();
        if (folder.Items.size() == 1 && folder.Items[0] == MyComputerItem) {
            for (const TVolumeInfo& v : Volumes().List())
                children.push_back({v.Root, VolumeName(v), true});
            return true;
        }
        if (folder.Items.size() < 2 || folder.Items[0] != MyComputerItem) {
            error = std::strerror(ENOTDIR);
            return false;
        }
        const std::string path = PathOf(folder);
        TWalkOptions options;
        options.Details = false; // names and kinds only; the rest is read for shown rows
        // The names are gathered in one buffer first, so the list of children is made
        // once at its final size rather than moved each time it grows.
        FNames.clear();
        FListed.clear();
        const TWalkResult r = FWalker.Walk(
            path,
            [&](const TDirEntry& e) {
                // A link to a folder is entered as the folder it points to (sizes below it
                // are still never taken through it); the listing alone does not tell where
                // a link points, so only links cost a look at their target.
                const bool isFolder = e.IsDirectory() || (e.IsLink() && IsFolder(e.Path()));
                FListed.push_back({FNames.size(), e.Name.size(), isFolder});
                FNames.append(e.Name);
                return TVisit::Continue;
            },
            options);
        if (!r.Opened) {
            error = std::strerror(IsFolder(path) ? EACCES : (QueryEntry(path) ? ENOTDIR : ENOENT));
            return false;
        }
        children.reserve(FListed.size());
        for (const TListed& l : FListed) {
            TShellChild& c = children.emplace_back();
            c.Item.assign(FNames, l.Offset, l.Length);
            c.DisplayName = c.Item;
            c.IsFolder = l.IsFolder;
        }
        return true;
    }

    std::string ParsingName(const TIdList& list) override {
        if (list.Items.empty())
            return "::{Desktop}";
        if (list.Items.size() == 1)
            return list.Items[0];
        return PathOf(list);
    }

    int CompareIDs(const TIdList&, const TShellChild& a, const TShellChild& b) override {
        if (a.IsFolder != b.IsFolder)
            return a.IsFolder ? -1 : 1;
        return FCollation.Key(a.DisplayName).compare(FCollation.Key(b.DisplayName));
    }

    void SortChildren(const TIdList&, std::vector<TShellChild>& children) override {
        TKeySort sort(children.size());
        for (const TShellChild& c : children)
            sort.Add(c.IsFolder ? "0" : "1", c.DisplayName, FCollation);
        Permute(children, sort.Order());
    }

    TShellDetails Details(const TIdList& full, bool) override {
        TShellDetails d;
        if (full.Items.size() == 2) { // a volume: no file data, as for a drive
            d.TypeName = Volumes().TypeOf(full.Items[1]) == DriveType::Remote ? "Network Drive"
                                                                              : "Local Disk";
            d.IconName = "drive-harddisk";
            return d;
        }
        const std::string path = PathOf(full);
        const std::optional<TEntryInfo> e = QueryEntry(path);
        if (!e)
            return d;
        d.Attributes = e->Attributes;
        d.Size = (e->Attributes & Attr::Directory) ? 0 : e->Size;
        d.LastWrite = e->LastWrite;
        d.TypeName = TypeText(e->Attributes, full.Items.back());
        if (d.TypeName == FolderType && OnAnotherFileSystem(path, full))
            d.TypeName = OtherFileSystemType;
        d.IconName = (e->Attributes & Attr::Directory) ? "folder" : "text-x-generic";
        return d;
    }

    std::optional<TIdList> Parse(const std::string& text, std::string& error) override {
        if (text.find("::") != std::string::npos || text == "My Computer")
            return MyComputer();
        if (text.empty() || text[0] != '/' || !QueryEntry(text)) {
            error = std::strerror(ENOENT);
            return std::nullopt;
        }
        const std::string path = std::filesystem::path(text).lexically_normal().string();
        // The volume holding the path: the longest mount root that begins it.
        std::string best;
        for (const TVolumeInfo& v : Volumes().List()) {
            const std::string& root = v.Root;
            const bool holds = path.rfind(root, 0) == 0 || path + "/" == root;
            if (holds && root.size() > best.size())
                best = root;
        }
        if (best.empty()) {
            error = std::strerror(ENOENT);
            return std::nullopt;
        }
        TIdList list{{MyComputerItem, best}};
        std::string rest = path.size() > best.size() ? path.substr(best.size()) : std::string();
        size_t i = 0;
        while (i < rest.size()) {
            const size_t slash = rest.find('/', i);
            const std::string part =
                rest.substr(i, slash == std::string::npos ? std::string::npos : slash - i);
            if (!part.empty())
                list.Items.push_back(part);
            if (slash == std::string::npos)
                break;
            i = slash + 1;
        }
        return list;
    }

private:
    struct TListed {
        size_t Offset; // in FNames
        size_t Length;
        bool IsFolder;
    };

    // A folder where another file system is mounted below the folder that lists it: the
    // size walks count it 0, and its row says why.
    bool OnAnotherFileSystem(const std::string& path, const TIdList& full) {
        TIdList parent = full;
        parent.Items.pop_back();
        const std::string parentPath = PathOf(parent);
        if (parentPath != FDeviceOf) {
            struct statx st {};
            FDeviceKnown =
                statx(AT_FDCWD, parentPath.c_str(), AT_NO_AUTOMOUNT, STATX_TYPE, &st) == 0;
            FDeviceOf = parentPath;
            FMajor = st.stx_dev_major;
            FMinor = st.stx_dev_minor;
        }
        struct statx st;
        return FDeviceKnown &&
               statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_TYPE,
                     &st) == 0 &&
               S_ISDIR(st.stx_mode) && IsMountRoot(st, FMajor, FMinor);
    }

    TDirWalker FWalker;
    TCollation FCollation;
    std::string FNames; // the last listing's names, kept for its buffer
    std::vector<TListed> FListed;
    std::string FDeviceOf; // the folder whose device is known, for the mount test
    bool FDeviceKnown = false;
    uint32_t FMajor = 0;
    uint32_t FMinor = 0;
};

} // namespace

std::unique_ptr<IShellNamespace> CreateShellNamespace() {
    return std::make_unique<TLinuxShellNamespace>();
}

} // namespace Platform
