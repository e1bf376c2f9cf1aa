// Loads arbitrary bytes as a settings file, reads the program's keys, saves, loads and
// saves again: the two saved texts must be identical.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "../support/SettingsFakes.h"
#include "settings/MemIniFile.h"
#include "settings/SettingsKeys.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brimview;
    const std::string path = "C:\\brimview.ini";
    fakes::MemoryFileStore files;
    fakes::FakeTextServices text;
    files.files[path].assign(reinterpret_cast<const char*>(data), size);

    TMemIniFile first(path, files, text);
    const auto read = [&](const SettingKey& setting) {
        first.GetText(setting.section, setting.key, "");
        first.GetInteger(setting.section, setting.key, 0);
    };
    ForEachOption(read);
    for (const SettingKey& setting : {SettingKey(setting::Top), SettingKey(setting::Left), SettingKey(setting::Drive)})
        read(setting);
    first.Save();
    const std::string saved = files.files.at(path);

    TMemIniFile(path, files, text).Save();
    if (files.files.at(path) != saved) std::abort();
    return 0;
}
