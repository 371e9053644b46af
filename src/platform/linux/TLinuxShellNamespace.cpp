// The shell namespace over a plain file tree: the root holds My Computer, whose children
// are the volumes of the drive table; below a volume the items are file names. An id
// list is [My Computer, volume root, name, name...].
#include "platform/IShellNamespace.h"
#include "platform/TDirWalker.h"
#include "platform/Volumes.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <locale.h>

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

// The collation key of a name: digit runs padded to one width so that numbers sort by
// value, then the user's collation (case is a late difference there).
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

    std::string Key(const std::string& name) const {
        std::string padded;
        padded.reserve(name.size() + 8);
        for (size_t i = 0; i < name.size();) {
            if (name[i] >= '0' && name[i] <= '9') {
                size_t j = i;
                while (j < name.size() && name[j] >= '0' && name[j] <= '9')
                    ++j;
                size_t start = i;
                while (start + 1 < j && name[start] == '0')
                    ++start;
                if (j - start < 20)
                    padded.append(20 - (j - start), '0');
                padded.append(name, start, j - start);
                i = j;
            } else {
                padded += name[i++];
            }
        }
        if (!FLocale)
            return padded;
        std::string key(padded.size() * 4 + 16, '\0');
        size_t n = strxfrm_l(key.data(), padded.c_str(), key.size(), FLocale);
        if (n >= key.size()) {
            key.resize(n + 1);
            n = strxfrm_l(key.data(), padded.c_str(), key.size(), FLocale);
        }
        key.resize(n);
        return key;
    }

private:
    bool ByteOrder() const {
        const char* samples[] = {"B", "a", "b", "\xc3\xa9", "_", "A", "1"};
        for (const char* x : samples)
            for (const char* y : samples)
                if ((strcoll_l(x, y, FLocale) < 0) != (std::strcmp(x, y) < 0))
                    return false;
        return true;
    }

    locale_t FLocale;
};

std::string TypeText(uint32_t attributes, const std::string& name) {
    if ((attributes & Attr::Directory) && !(attributes & Attr::ReparsePoint))
        return "Folder";
    if (attributes & Attr::ReparsePoint)
        return "Link";
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

    bool Enumerate(const TIdList& folder, std::vector<TShellChild>& children, std::string& error) override {
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
        const TWalkResult r = FWalker.Walk(path, [&](const TDirEntry& e) {
            children.push_back({std::string(e.Name), std::string(e.Name), e.IsDirectory()});
            return TVisit::Continue;
        }, options);
        if (!r.Opened) {
            error = std::strerror(IsFolder(path) ? EACCES : (QueryEntry(path) ? ENOTDIR : ENOENT));
            children.clear();
            return false;
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
        // One key per child instead of two per comparison.
        std::vector<std::pair<std::string, size_t>> keys(children.size());
        for (size_t i = 0; i < children.size(); ++i)
            keys[i] = {(children[i].IsFolder ? "0" : "1") + FCollation.Key(children[i].DisplayName), i};
        std::sort(keys.begin(), keys.end());
        std::vector<TShellChild> sorted;
        sorted.reserve(children.size());
        for (const auto& k : keys)
            sorted.push_back(std::move(children[k.second]));
        children = std::move(sorted);
    }

    TShellDetails Details(const TIdList& full, bool) override {
        TShellDetails d;
        if (full.Items.size() == 2) { // a volume: no file data, as for a drive
            d.TypeName = Volumes().TypeOf(full.Items[1]) == DriveType::Remote ? "Network Drive" : "Local Disk";
            d.IconName = "drive-harddisk";
            return d;
        }
        const std::optional<TEntryInfo> e = QueryEntry(PathOf(full));
        if (!e)
            return d;
        d.Attributes = e->Attributes;
        d.Size = (e->Attributes & Attr::Directory) ? 0 : e->Size;
        d.LastWrite = e->LastWrite;
        d.TypeName = TypeText(e->Attributes, full.Items.back());
        d.IconName = d.TypeName == "Folder" ? "folder" : "text-x-generic";
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
            const std::string part = rest.substr(i, slash == std::string::npos ? std::string::npos : slash - i);
            if (!part.empty())
                list.Items.push_back(part);
            if (slash == std::string::npos)
                break;
            i = slash + 1;
        }
        return list;
    }

private:
    TDirWalker FWalker;
    TCollation FCollation;
};

} // namespace

std::unique_ptr<IShellNamespace> CreateShellNamespace() {
    return std::make_unique<TLinuxShellNamespace>();
}

} // namespace Platform
