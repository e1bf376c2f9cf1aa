#pragma once
// The forecast's history file on the real file system, with a UTF-8 path as the settings file has.
#include <memory>
#include <string>

#include "platform/FileStore.h"
#include "platform/HistoryStore.h"

namespace brimview {

class Win32HistoryStore final : public HistoryStore {
public:
    // `files` reads and replaces the file as it does the settings file.
    Win32HistoryStore(std::string path, std::unique_ptr<FileStore> files)
        : path_(std::move(path)), files_(std::move(files)) {}
    // A file another program holds is not waited for: the next start reads it again.
    std::optional<std::string> Read() override { return files_->ReadWhole(path_, WhileHeld::GiveUp); }
    // One write at the file's end, so that a kill leaves at most this write cut short.
    bool Append(std::string_view bytes) override;
    bool Replace(std::string_view bytes) override { return files_->ReplaceWhole(path_, bytes); }
    std::string Path() const override { return path_; }

private:
    std::string path_;
    std::unique_ptr<FileStore> files_;
};

}  // namespace brimview
