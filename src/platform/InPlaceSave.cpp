#include "platform/InPlaceSave.h"

#include <string>

namespace brimview {

bool RewriteInPlace(InPlaceFile& file, std::string_view bytes) {
    const std::optional<std::uint64_t> size = file.Size();
    if (!size) return false;
    const std::uint64_t old = *size;
    if (bytes.size() > old) {
        std::string room(bytes.substr(old));
        room.front() = '\0';  // the old text still ends where it did
        if (!file.WriteAt(old, room) || !file.Flush()) {
            file.Cut(old);
            return false;
        }
    }
    std::string text(bytes);
    if (text.size() < old) text += '\0';  // the old tail is dead until it is cut
    return file.WriteAt(0, text) && file.Cut(bytes.size()) && file.Flush();
}

}  // namespace brimview
