#include "platform/Win32FileStore.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <iterator>
#include <limits>

#include "platform/Handles.h"
#include "platform/InPlaceSave.h"
#include "platform/WideText.h"

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

// The program's own paths are absolute and UTF-8; the others are relative (the skin files the
// settings file names, found in the current folder) and ANSI bytes, as that file stores them.
std::wstring WidePath(const std::string& path) {
    const bool absolute = path.starts_with("\\\\") || (path.size() > 1 && path[1] == ':');
    return absolute ? Widen(path) : AnsiToWide(path);
}

UniqueHandle OpenFile(const std::wstring& path, DWORD access, DWORD sharing, DWORD disposition) {
    HANDLE handle = CreateFileW(path.c_str(), access, sharing, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
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

// The full path, so that its folder is found; empty when the path cannot be resolved.
std::wstring FullWidePath(const std::string& path) {
    const std::wstring wide = WidePath(path);
    if (wide.empty()) return {};
    std::wstring full(GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr), L'\0');
    if (full.empty()) return {};
    full.resize(GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
    return full;
}

// A save writes "<settings file>.<8 hexadecimal digits>.tmp", flushes it, and renames it over
// the settings file in one step. Older builds also left copies ending in ".new"; those are
// cleared alike, and never taken for the settings.
constexpr std::size_t kTemporarySuffixLength = 13;
constexpr std::wstring_view kLeftoverEndings[] = {L".tmp", L".new"};

// Whether the name is one that a save gives its temporary file.
bool IsTemporaryName(std::wstring_view name, std::wstring_view settingsName) {
    if (name.size() != settingsName.size() + kTemporarySuffixLength) return false;
    if (_wcsnicmp(name.data(), settingsName.data(), settingsName.size()) != 0) return false;
    const std::wstring_view suffix = name.substr(settingsName.size());
    if (suffix.front() != L'.' || !std::any_of(std::begin(kLeftoverEndings), std::end(kLeftoverEndings), [&](auto e) {
            return _wcsnicmp(suffix.data() + 9, e.data(), e.size()) == 0;
        }))
        return false;
    return std::all_of(suffix.begin() + 1, suffix.begin() + 9, [](wchar_t c) { return std::iswxdigit(c); });
}

// A file beside the settings file, created new under a name no other file has: a file
// that stands in the way (a leftover, a planted link) is never opened, only passed over.
// It is deleted again unless kept.
class TemporaryFile {
public:
    TemporaryFile(const std::wstring& settingsPath, DWORD attributes) {
        DWORD name = GetTickCount() ^ (GetCurrentProcessId() << 16);
        for (int attempt = 0; attempt < 100; ++attempt, name = name * 1664525u + 1013904223u) {
            wchar_t number[14];
            swprintf(number, std::size(number), L".%08lX.tmp", static_cast<unsigned long>(name));
            std::wstring path = settingsPath + number;
            HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
            if (file != INVALID_HANDLE_VALUE) {
                file_.reset(file);
                path_ = std::move(path);
                return;
            }
            const DWORD error = GetLastError();
            // A folder the user may not write, or a read-only medium.
            refused_ = error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT;
            if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return;
        }
    }
    ~TemporaryFile() {
        file_.reset();
        if (!path_.empty()) DeleteFileW(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // The folder would not let it be created.
    bool Refused() const { return refused_; }
    const std::wstring& Path() const { return path_; }
    // Writes and flushes the whole content; closing is checked too, as it can fail.
    bool Write(std::string_view bytes) {
        return file_ && WriteAll(file_.get(), bytes) && FlushFileBuffers(file_.get()) && CloseHandle(file_.release());
    }
    // It has become the settings file.
    void Keep() { path_.clear(); }

private:
    std::wstring path_;  // empty once kept
    UniqueHandle file_;
    bool refused_ = false;
};

// Whether another program holds the file open so that it may not be deleted or renamed over.
// A rename over such a file fails as access denied, like one the user may not replace, so
// this asks first, with an answer that tells the two apart.
bool Held(const std::wstring& path) {
    const UniqueFile probe(CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, 0, nullptr));
    return !probe && GetLastError() == ERROR_SHARING_VIOLATION;
}

// The settings file open for the in-place save.
class OpenFileInPlace final : public InPlaceFile {
public:
    explicit OpenFileInPlace(HANDLE file) : file_(file) {}
    std::optional<std::uint64_t> Size() override {
        LARGE_INTEGER size{};
        if (!GetFileSizeEx(file_, &size)) return std::nullopt;
        return static_cast<std::uint64_t>(size.QuadPart);
    }
    bool WriteAt(std::uint64_t offset, std::string_view bytes) override {
        return Seek(offset) && WriteAll(file_, bytes);
    }
    bool Cut(std::uint64_t length) override { return Seek(length) && SetEndOfFile(file_); }
    bool Flush() override { return FlushFileBuffers(file_); }

private:
    bool Seek(std::uint64_t offset) {
        LARGE_INTEGER to{};
        to.QuadPart = static_cast<LONGLONG>(offset);
        return SetFilePointerEx(file_, to, nullptr, FILE_BEGIN);
    }
    HANDLE file_;
};

// Writes the bytes over the file itself, as a folder that refuses new files still lets a
// file in it be rewritten. Unlike the rename, this is not one step.
bool SaveInPlace(const std::wstring& path, std::string_view bytes) {
    const UniqueHandle file = RetryWhileShared([&] { return OpenFile(path, GENERIC_WRITE, 0, OPEN_ALWAYS); });
    if (!file) return false;
    OpenFileInPlace inPlace(file.get());
    return RewriteInPlace(inPlace, bytes);
}

// Deletes the temporary files that saves of this settings file left; no other file is touched.
void DeleteLeftovers(const std::wstring& settingsPath) {
    const std::size_t nameStart = settingsPath.find_last_of(L"\\/:") + 1;
    const std::wstring settingsName = settingsPath.substr(nameStart);
    WIN32_FIND_DATAW found{};
    const UniqueFind search(FindFirstFileW((settingsPath + L".*").c_str(), &found));
    if (!search) return;
    do {
        if (IsTemporaryName(found.cFileName, settingsName))
            DeleteFileW((settingsPath.substr(0, nameStart) + found.cFileName).c_str());
    } while (FindNextFileW(search.get(), &found));
}

}  // namespace

bool Win32FileStore::IsFile(const std::string& path) const {
    // Unlike a directory search, this takes "*" and "?" as they stand, not as a mask.
    const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::string> Win32FileStore::ReadWhole(const std::string& path, WhileHeld held) const {
    const std::wstring wide = WidePath(path);
    const auto open = [&] { return OpenFile(wide, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING); };
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
    // Made with the settings file's own attributes, which the rename carries over.
    constexpr DWORD kKept =
        FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    const DWORD kept = exists ? attributes & kKept : 0;
    TemporaryFile temporary(target, kept ? kept : FILE_ATTRIBUTE_NORMAL);
    if (temporary.Refused()) {
        if (!SaveInPlace(target, bytes)) return false;
    } else {
        if (!temporary.Write(bytes)) return false;
        // On one volume a rename that replaces is one step: a reader meets the old file or
        // the new one, never none.
        const bool replaced = RetryWhileShared([&] {
            return !Held(target) && MoveFileExW(temporary.Path().c_str(), target.c_str(),
                                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        });
        if (!replaced) return false;
        temporary.Keep();
    }
    // What saves ended midway left is of no use now.
    DeleteLeftovers(target);
    return true;
}

std::string Win32FileStore::ExecutablePath() const {
    return Narrow(ModulePath());
}

std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);  // truncated: try a larger buffer
    }
}

void EnterProgramFolder() {
    std::wstring folder = ModulePath();
    folder.resize(folder.find_last_of(L'\\') + 1);
    SetCurrentDirectoryW(folder.c_str());
}

}  // namespace brimview
