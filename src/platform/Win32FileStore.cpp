#include "platform/Win32FileStore.h"

#include <windows.h>

#include <algorithm>
#include <limits>

#include "platform/Handles.h"

namespace brimview {

namespace {

UniqueHandle OpenFile(const std::string& path, DWORD access, DWORD sharing, DWORD disposition) {
    HANDLE handle = CreateFileA(path.c_str(), access, sharing, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

// Writes and flushes the whole temporary file; closing is checked too, as it can fail.
bool WriteTemporary(const std::string& path, std::string_view bytes) {
    UniqueHandle file = OpenFile(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
    if (!file || !WriteAll(file.get(), bytes) || !FlushFileBuffers(file.get())) return false;
    return CloseHandle(file.release()) != FALSE;
}

}  // namespace

bool Win32FileStore::IsFile(const std::string& path) const {
    // Unlike a directory search, this takes "*" and "?" as they stand, not as a mask.
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::string> Win32FileStore::ReadWhole(const std::string& path) const {
    UniqueHandle file = OpenFile(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size)) return std::nullopt;
    // Far beyond any settings file; beyond it, the size would not fit the 32-bit program's memory.
    if (static_cast<unsigned long long>(size.QuadPart) > std::numeric_limits<DWORD>::max() / 2) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD read = 0;
        if (!ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &read, nullptr))
            return std::nullopt;
        if (read == 0) break;  // the file shrank meanwhile
        done += read;
    }
    bytes.resize(done);
    return bytes;
}

bool Win32FileStore::ReplaceWhole(const std::string& path, std::string_view bytes) {
    // A rename may replace a read-only file (Wine's does); such a file is kept, as opening
    // it for writing would be refused.
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;
    const std::string temporary = path + ".tmp";
    if (WriteTemporary(temporary, bytes) &&
        MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileA(temporary.c_str());
    return false;
}

std::string Win32FileStore::ExecutablePath() const {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);  // truncated: try a larger buffer
    }
}

}  // namespace brimview
