#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

class TPersistent;

// The kinds of published property that the property stream carries.
enum class TPropertyKind { Boolean, Integer, DateTime };

// A property value: bool for Boolean, int32_t for Integer, double for DateTime.
using TPropertyValue = std::variant<bool, int32_t, double>;

// One published property of a persistent object: its stream name and how to reach it.
struct TPropertyInfo {
    std::string_view Name;
    TPropertyKind Kind;
    TPropertyValue (*Get)(const TPersistent& object);
    void (*Set)(TPersistent& object, const TPropertyValue& value);
};

// An object whose published properties the property writer and reader stream by name,
// in the order of PublishedProperties().
class TPersistent {
public:
    virtual ~TPersistent() = default;
    // The class name used in read error texts ("TSetting").
    virtual std::string ClassName() const = 0;
    virtual std::span<const TPropertyInfo> PublishedProperties() const = 0;
};
