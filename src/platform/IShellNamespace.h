#pragma once

#include "platform/Clock.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Platform {

// An item id list: the path of one object of the shell namespace from its root, one item
// per level. Each item is an opaque run of bytes that only the namespace interprets (on
// Windows the bytes of one SHITEMID without its count; on Linux a volume root or a name).
// The empty list is the namespace root itself.
struct TIdList {
    std::vector<std::string> Items;
    bool Empty() const { return Items.empty(); }
    bool operator==(const TIdList&) const = default;
};

// One child of a folder as the enumeration returns it.
struct TShellChild {
    std::string Item;        // the child's relative id (one item)
    std::string DisplayName; // its normal display name
    bool IsFolder = false;   // the folder test of the namespace
};

// What costs a call per row: asked only for rows that are shown.
struct TShellDetails {
    std::string TypeName;    // type text, at most 80 characters
    std::string IconName;    // icon theme name on Linux; empty on Windows
    int IconIndex = 0;       // system image list index on Windows; 0 on Linux
    uint32_t Attributes = 0; // Attr bits; 0 when the child is no file-system object
    int64_t Size = 0;        // bytes (full 64 bits)
    TFileTime LastWrite;     // zero when unknown
};

// The shell namespace: a root whose children include "My Computer", whose children are
// the volumes, whose children are folders and files. Failures of the calls that the
// browsing relies on return false / nullopt with the system's text in error.
class IShellNamespace {
public:
    virtual ~IShellNamespace() = default;
    // The absolute id list of My Computer.
    virtual TIdList MyComputer() = 0;
    // Every child of the folder named by an absolute id list (folders and files, hidden
    // ones included), in the namespace's order. False when it cannot be opened.
    virtual bool Enumerate(const TIdList& folder, std::vector<TShellChild>& children,
                           std::string& error) = 0;
    // The parsing name of an absolute id list: a full path for a file-system object, a
    // class text containing "::" for a virtual folder.
    virtual std::string ParsingName(const TIdList& list) = 0;
    // The namespace's order of two children of one folder: negative, 0 or positive.
    virtual int CompareIDs(const TIdList& folder, const TShellChild& a, const TShellChild& b) = 0;
    // Sorts the children of one folder by CompareIDs; a backend may do it faster with
    // precomputed keys.
    virtual void SortChildren(const TIdList& folder, std::vector<TShellChild>& children);
    // Icon, type and file data of an absolute id list.
    virtual TShellDetails Details(const TIdList& full, bool largeIcon) = 0;
    // The absolute id list of a typed location; nullopt with error when it names nothing.
    virtual std::optional<TIdList> Parse(const std::string& text, std::string& error) = 0;
};

// The system's namespace (defined once in each backend).
std::unique_ptr<IShellNamespace> CreateShellNamespace();

} // namespace Platform
