// Loads arbitrary bytes as a settings file, reads the program's keys, saves, loads and
// saves again: the two saved texts must be identical.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "../support/SettingsFakes.h"
#include "settings/MemIniFile.h"

namespace {

struct Key {
    const char* section;
    const char* name;
};
constexpr Key kKeys[] = {
    {"General", "Interval"},
    {"General", "Interval_s"},
    {"General", "Interval_m"},
    {"Display", "Minimized"},
    {"Display", "On_Top"},
    {"Display", "Transparency"},
    {"Display", "Transparent_Position"},
    {"Display", "Skin"},
    {"Display", "Skin_File"},
    {"Display", "PanelTransparent"},
    {"Window", "Top"},
    {"Window", "Left"},
    {"Window", "Drive"},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brimview;
    const std::string path = "C:\\brimview.ini";
    fakes::MemoryFileStore files;
    fakes::FakeTextServices text;
    files.files[path].assign(reinterpret_cast<const char*>(data), size);

    TMemIniFile first(path, files, text);
    for (const Key& key : kKeys) {
        first.GetText(key.section, key.name, "");
        first.GetInteger(key.section, key.name, 0);
    }
    first.Save();
    const std::string saved = files.files.at(path);

    TMemIniFile(path, files, text).Save();
    if (files.files.at(path) != saved) std::abort();
    return 0;
}
