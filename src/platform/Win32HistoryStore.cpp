#include "platform/Win32HistoryStore.h"

#include <windows.h>

#include "platform/Handles.h"
#include "platform/WideText.h"

namespace brimview {

bool Win32HistoryStore::Append(std::string_view bytes) {
    const UniqueFile file(CreateFileW(Widen(path_).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

}  // namespace brimview
