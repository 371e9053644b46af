// Feeds arbitrary bytes to the settings file reader. Any outcome but a clean read or one
// of the reader's own error texts is a fault, and so is a clean read whose values do not
// survive a save and a second read.
#include "core/EMorvaneError.h"
#include "core/TMemoryStream.h"
#include "core/TSetting.h"
#include "core/TTolvikReader.h"
#include "core/TTolvikWriter.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

bool IsReaderError(const std::string& text) {
    if (text == "Stream read error")
        return true;
    if (text.rfind("Error reading TSetting.", 0) != 0)
        return false;
    return EndsWith(text, ": Invalid property value") || EndsWith(text, ": Stream read error") ||
           (EndsWith(text, " does not exist") && text.find(": Property ") != std::string::npos);
}

[[noreturn]] void Fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "%s: %s\n", what, detail.c_str());
    std::abort();
}

// Built once: the constructor also reads the drive table, which is slow and beside the
// point here. A path that cannot exist keeps them away from real files.
TSetting& Target() {
    static TSetting setting("/nonexistent/morvane-fuzz/Morvane.cfg");
    return setting;
}

TSetting& Mirror() {
    static TSetting setting("/nonexistent/morvane-fuzz/Mirror.cfg");
    return setting;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TSetting& first = Target();
    first.SetDefaults();
    TMemoryStream input(std::string(reinterpret_cast<const char*>(data), size));
    try {
        LoadObjectFromStream(input, first);
    } catch (const EMorvaneError& e) {
        if (!IsReaderError(e.what()))
            Fail("unexpected read error", e.what());
        return 0;
    }

    TMemoryStream saved;
    SaveObjectToStream(first, saved);
    TSetting& second = Mirror();
    second.SetDefaults();
    try {
        LoadObjectFromStream(saved, second);
    } catch (const EMorvaneError& e) {
        Fail("saved settings do not read back", e.what());
    }
    for (const TPropertyInfo& property : first.PublishedProperties())
        if (property.Get(first) != property.Get(second))
            Fail("value changed on the way through the file", std::string(property.Name));
    return 0;
}
