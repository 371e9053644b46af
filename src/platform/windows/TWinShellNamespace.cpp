// The shell namespace of Windows through IShellFolder. An id list item holds the bytes of
// one SHITEMID after its count; lists are rebuilt into ITEMIDLIST memory for each call.
#include "platform/IShellNamespace.h"
#include "platform/TDirWalker.h"
#include "platform/windows/WinText.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>

namespace Platform {

namespace {

// An ITEMIDLIST built from a TIdList, freed with CoTaskMemFree.
class TPidl {
public:
    explicit TPidl(const TIdList& list) {
        size_t bytes = 2;
        for (const std::string& item : list.Items)
            bytes += item.size() + 2;
        FData = static_cast<BYTE*>(CoTaskMemAlloc(bytes));
        if (!FData)
            return;
        BYTE* p = FData;
        for (const std::string& item : list.Items) {
            const USHORT cb = static_cast<USHORT>(item.size() + 2);
            std::memcpy(p, &cb, 2);
            std::memcpy(p + 2, item.data(), item.size());
            p += cb;
        }
        p[0] = p[1] = 0;
    }
    ~TPidl() { CoTaskMemFree(FData); }
    TPidl(const TPidl&) = delete;
    TPidl& operator=(const TPidl&) = delete;
    LPITEMIDLIST Get() const { return reinterpret_cast<LPITEMIDLIST>(FData); }

private:
    BYTE* FData = nullptr;
};

TIdList ToIdList(LPCITEMIDLIST pidl) {
    TIdList list;
    const BYTE* p = reinterpret_cast<const BYTE*>(pidl);
    while (p) {
        USHORT cb = 0;
        std::memcpy(&cb, p, 2);
        if (cb < 2)
            break;
        list.Items.emplace_back(reinterpret_cast<const char*>(p + 2), cb - 2);
        p += cb;
    }
    return list;
}

// A returned name: a wide string (freed here), an offset into the item's own bytes, or
// an ANSI string.
std::string StrRetText(STRRET& sr, LPCITEMIDLIST pidl) {
    switch (sr.uType) {
    case STRRET_WSTR: {
        std::string text = sr.pOleStr ? Win::Narrow(sr.pOleStr) : std::string();
        CoTaskMemFree(sr.pOleStr);
        return text;
    }
    case STRRET_OFFSET: {
        const BYTE* item = reinterpret_cast<const BYTE*>(pidl);
        USHORT cb = 0;
        std::memcpy(&cb, item, 2);
        if (sr.uOffset >= cb)
            return {};
        const char* text = reinterpret_cast<const char*>(item + sr.uOffset);
        return std::string(text, strnlen(text, cb - sr.uOffset));
    }
    case STRRET_CSTR: {
        wchar_t wide[MAX_PATH] = {};
        MultiByteToWideChar(CP_ACP, 0, sr.cStr, -1, wide, MAX_PATH);
        return Win::Narrow(wide);
    }
    default:
        return {};
    }
}

std::string HResultText(HRESULT hr) { return Win::ErrorText(static_cast<unsigned long>(hr)); }

class TWinShellNamespace : public IShellNamespace {
public:
    TWinShellNamespace() {
        FComInit = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        SHGetDesktopFolder(&FDesktop);
    }
    ~TWinShellNamespace() override {
        if (FDesktop)
            FDesktop->Release();
        if (FComInit)
            CoUninitialize();
    }
    TWinShellNamespace(const TWinShellNamespace&) = delete;
    TWinShellNamespace& operator=(const TWinShellNamespace&) = delete;

    TIdList MyComputer() override {
        LPITEMIDLIST pidl = nullptr;
        if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &pidl)) || !pidl)
            return {};
        TIdList list = ToIdList(pidl);
        CoTaskMemFree(pidl);
        return list;
    }

    bool Enumerate(const TIdList& folder, std::vector<TShellChild>& children, std::string& error) override {
        children.clear();
        IShellFolder* sf = Bind(folder, error);
        if (!sf)
            return false;
        IEnumIDList* items = nullptr;
        const HRESULT hr = sf->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN, &items);
        if (FAILED(hr) || !items) {
            error = HResultText(hr);
            sf->Release();
            return false;
        }
        LPITEMIDLIST child = nullptr;
        while (items->Next(1, &child, nullptr) == S_OK) {
            TShellChild c;
            const TIdList rel = ToIdList(child);
            c.Item = rel.Items.empty() ? std::string() : rel.Items[0];
            STRRET sr{};
            if (SUCCEEDED(sf->GetDisplayNameOf(child, SHGDN_NORMAL, &sr)))
                c.DisplayName = StrRetText(sr, child);
            SFGAOF attrs = SFGAO_FOLDER;
            LPCITEMIDLIST one = child;
            c.IsFolder = SUCCEEDED(sf->GetAttributesOf(1, &one, &attrs)) && (attrs & SFGAO_FOLDER);
            children.push_back(std::move(c));
            CoTaskMemFree(child);
        }
        items->Release();
        sf->Release();
        return true;
    }

    std::string ParsingName(const TIdList& list) override {
        if (!FDesktop)
            return {};
        TPidl pidl(list);
        STRRET sr{};
        if (FAILED(FDesktop->GetDisplayNameOf(pidl.Get(), SHGDN_FORPARSING, &sr)))
            return {};
        return StrRetText(sr, pidl.Get());
    }

    int CompareIDs(const TIdList& folder, const TShellChild& a, const TShellChild& b) override {
        std::string error;
        IShellFolder* sf = Bind(folder, error);
        if (!sf)
            return 0;
        TPidl pa(TIdList{{a.Item}});
        TPidl pb(TIdList{{b.Item}});
        const HRESULT hr = sf->CompareIDs(0, pa.Get(), pb.Get());
        sf->Release();
        return static_cast<short>(HRESULT_CODE(hr));
    }

    TShellDetails Details(const TIdList& full, bool largeIcon) override {
        TShellDetails d;
        TPidl pidl(full);
        SHFILEINFOW info{};
        const UINT iconFlags = SHGFI_SYSICONINDEX | SHGFI_PIDL | (largeIcon ? 0 : SHGFI_SMALLICON);
        if (SHGetFileInfoW(reinterpret_cast<LPCWSTR>(pidl.Get()), 0, &info, sizeof info, iconFlags))
            d.IconIndex = info.iIcon;
        SHFILEINFOW type{};
        if (SHGetFileInfoW(reinterpret_cast<LPCWSTR>(pidl.Get()), 0, &type, sizeof type, SHGFI_TYPENAME | SHGFI_PIDL))
            d.TypeName = Win::Narrow(type.szTypeName);
        // File data through the parent folder: zero for objects that are no files.
        if (full.Items.empty())
            return d;
        TIdList parent = full;
        const TIdList child{{parent.Items.back()}};
        parent.Items.pop_back();
        std::string error;
        IShellFolder* sf = Bind(parent, error);
        if (!sf)
            return d;
        WIN32_FIND_DATAW fd{};
        TPidl rel(child);
        if (SUCCEEDED(SHGetDataFromIDListW(sf, rel.Get(), SHGDFIL_FINDDATA, &fd, sizeof fd))) {
            d.Attributes = fd.dwFileAttributes;
            d.Size = (static_cast<int64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
            d.LastWrite.Ticks = (static_cast<int64_t>(fd.ftLastWriteTime.dwHighDateTime) << 32) |
                                fd.ftLastWriteTime.dwLowDateTime;
        }
        sf->Release();
        return d;
    }

    std::optional<TIdList> Parse(const std::string& text, std::string& error) override {
        if (!FDesktop) {
            error = HResultText(E_FAIL);
            return std::nullopt;
        }
        std::wstring wide = Win::Widen(text);
        LPITEMIDLIST pidl = nullptr;
        const HRESULT hr = FDesktop->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, &pidl, nullptr);
        if (FAILED(hr) || !pidl) {
            error = HResultText(hr);
            return std::nullopt;
        }
        TIdList list = ToIdList(pidl);
        CoTaskMemFree(pidl);
        return list;
    }

private:
    // The folder object of an absolute id list (the root itself for the empty list); the
    // caller releases it. nullptr with error on failure.
    IShellFolder* Bind(const TIdList& list, std::string& error) {
        if (!FDesktop) {
            error = HResultText(E_FAIL);
            return nullptr;
        }
        if (list.Empty()) {
            FDesktop->AddRef();
            return FDesktop;
        }
        TPidl pidl(list);
        IShellFolder* sf = nullptr;
        const HRESULT hr = FDesktop->BindToObject(pidl.Get(), nullptr, IID_IShellFolder, reinterpret_cast<void**>(&sf));
        if (FAILED(hr) || !sf) {
            error = HResultText(hr);
            return nullptr;
        }
        return sf;
    }

    IShellFolder* FDesktop = nullptr;
    bool FComInit = false;
};

} // namespace

std::unique_ptr<IShellNamespace> CreateShellNamespace() {
    return std::make_unique<TWinShellNamespace>();
}

} // namespace Platform
