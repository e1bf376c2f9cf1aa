#include "platform/Win32FileStore.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <iterator>
#include <limits>

#include "platform/Handles.h"

namespace brimview {

namespace {

// How long a read or a save waits, trying again and again, while another program (a
// backup or a virus scanner) holds the settings file for a moment.
constexpr DWORD kSharingPatience = 1000;  // milliseconds
constexpr DWORD kSharingRetryPause = 50;

// Runs the attempt again while it fails on a sharing violation, until the patience runs out.
template <class Attempt>
auto RetryWhileShared(Attempt attempt) {
    const DWORD start = GetTickCount();
    for (;;) {
        auto result = attempt();
        if (result || GetLastError() != ERROR_SHARING_VIOLATION || GetTickCount() - start >= kSharingPatience)
            return result;
        Sleep(kSharingRetryPause);
    }
}

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

// The full path in UTF-16, so that its folder is found without minding double-byte
// characters; empty when the path cannot be resolved.
std::wstring FullWidePath(const std::string& path) {
    const int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    if (length <= 1) return {};
    std::wstring wide(length, L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), length);
    std::wstring full(GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr), L'\0');
    if (full.empty()) return {};
    full.resize(GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
    return full;
}

// Temporary files are named "<settings file>.<8 hexadecimal digits>.tmp".
constexpr std::size_t kTemporarySuffixLength = 13;

bool IsTemporaryName(std::wstring_view name, std::wstring_view settingsName) {
    if (name.size() != settingsName.size() + kTemporarySuffixLength) return false;
    if (_wcsnicmp(name.data(), settingsName.data(), settingsName.size()) != 0) return false;
    const std::wstring_view suffix = name.substr(settingsName.size());
    if (suffix.front() != L'.' || !suffix.ends_with(L".tmp")) return false;
    return std::all_of(suffix.begin() + 1, suffix.end() - 4, [](wchar_t c) { return std::iswxdigit(c); });
}

// A file beside the settings file, created new under a name no other file has: a file
// that stands in the way (a leftover, a planted link) is never opened, only passed over.
// It is deleted again unless kept.
class TemporaryFile {
public:
    TemporaryFile(const std::wstring& settingsPath, DWORD attributes) {
        DWORD name = GetTickCount() ^ (GetCurrentProcessId() << 16);
        for (int attempt = 0; attempt < 100; ++attempt, name = name * 1664525u + 1013904223u) {
            wchar_t suffix[kTemporarySuffixLength + 1];
            swprintf(suffix, std::size(suffix), L".%08lX.tmp", static_cast<unsigned long>(name));
            std::wstring path = settingsPath + suffix;
            HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
            if (file != INVALID_HANDLE_VALUE) {
                file_.reset(file);
                path_ = std::move(path);
                return;
            }
            if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) return;
        }
    }
    ~TemporaryFile() {
        file_.reset();
        if (!path_.empty()) DeleteFileW(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::wstring& Path() const { return path_; }
    // Writes and flushes the whole content; closing is checked too, as it can fail.
    bool Write(std::string_view bytes) {
        if (!file_ || !WriteAll(file_.get(), bytes) || !FlushFileBuffers(file_.get())) return false;
        return CloseHandle(file_.release()) != FALSE;
    }
    // It has become the settings file.
    void Keep() { path_.clear(); }

private:
    std::wstring path_;
    UniqueHandle file_;
};

// Whether the settings file can be replaced now. Wine's replace leaves a file of its own
// beside it each time it finds the file held, so a held file is found by this probe first.
bool Replaceable(const std::wstring& path) {
    const UniqueFile probe(CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, 0, nullptr));
    return static_cast<bool>(probe);
}

// Temporary files of this settings file that a save left when the program was ended in
// the middle of it.
void RemoveLeftovers(const std::wstring& settingsPath) {
    const std::size_t nameStart = settingsPath.find_last_of(L"\\/:") + 1;
    const std::wstring settingsName = settingsPath.substr(nameStart);
    WIN32_FIND_DATAW found{};
    const UniqueFind search(FindFirstFileW((settingsPath + L".*.tmp").c_str(), &found));
    if (!search) return;
    do {
        if (IsTemporaryName(found.cFileName, settingsName))
            DeleteFileW((settingsPath.substr(0, nameStart) + found.cFileName).c_str());
    } while (FindNextFileW(search.get(), &found));
}

}  // namespace

bool Win32FileStore::IsFile(const std::string& path) const {
    // Unlike a directory search, this takes "*" and "?" as they stand, not as a mask.
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::string> Win32FileStore::ReadWhole(const std::string& path, WhileHeld held) const {
    const auto open = [&] { return OpenFile(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING); };
    UniqueHandle file = held == WhileHeld::Wait ? RetryWhileShared(open) : open();
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
    const std::wstring target = FullWidePath(path);
    if (target.empty()) return false;
    const DWORD attributes = GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    // A rename may replace a read-only file (Wine's does); such a file is kept, as opening
    // it for writing would be refused.
    if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) return false;
    // Made with the settings file's own attributes, which the replace would not carry over
    // everywhere (Wine's does not).
    constexpr DWORD kKept =
        FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    const DWORD kept = exists ? attributes & kKept : 0;
    TemporaryFile temporary(target, kept ? kept : FILE_ATTRIBUTE_NORMAL);
    if (!temporary.Write(bytes)) return false;
    const auto moveIntoPlace = [&] {
        return MoveFileExW(temporary.Path().c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
    };
    bool replaced = exists ? RetryWhileShared([&] {
        return Replaceable(target) && ReplaceFileW(target.c_str(), temporary.Path().c_str(), nullptr,
                                                   REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
    })
                           : moveIntoPlace();
    // Without a backup name, a replace that could not rename the new file has removed the
    // old one already: the new one takes its place.
    if (!replaced && exists && GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT) replaced = moveIntoPlace();
    if (!replaced) return false;
    temporary.Keep();
    RemoveLeftovers(target);
    return true;
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
