#pragma once
// The history the forecast works from: one row per sample of a drive's space, kept in a CSV
// file beside the settings file and appended one line at a time, so that a program ended
// midway loses at most the line it was writing.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "monitor/QueryThreads.h"
#include "platform/HistoryStore.h"

namespace brimview {

// One sample of a drive: when (UTC seconds since 1970), which drive and volume, and its bytes.
struct Sample {
    std::int64_t time = 0;
    char drive = '\0';
    std::uint32_t serial = 0;
    std::int64_t total = 0;
    std::int64_t free = 0;
    friend bool operator==(const Sample&, const Sample&) = default;
};

inline constexpr std::string_view kHistoryHeader = "time,drive,serial,total,free\r\n";
inline constexpr std::int64_t kDay = 24 * 60 * 60;
// At most one row per drive in this many seconds.
inline constexpr std::int64_t kSampleGap = 10 * 60;
// Rows older than this are dropped when the file is rewritten.
inline constexpr std::int64_t kHistoryKept = 60 * kDay;

// The history file beside the settings file: "-history.csv" in place of its ".ini".
std::string HistoryPathFor(std::string_view settingsPath);

// One row with its line break: "2026-12-10T05:00:00Z,X,1234ABCD,16777216,6291456".
std::string HistoryRow(const Sample& sample);

struct ParsedHistory {
    std::vector<Sample> rows;       // in the file's order
    bool endsWithLineBreak = true;  // false when the last line was cut short
};
// The rows of a history file. The header, and any line that is not a whole row (cut short
// by a kill, or not of this format), is passed over.
ParsedHistory ParseHistory(std::string_view content);

// The file is rewritten to drop old rows only once its oldest row is a day past the kept
// age: a rewrite then comes at most once a day, however often the program starts.
bool RewriteDue(const std::vector<Sample>& rows, std::int64_t now);

// The rows kept at `now`: those no older than kHistoryKept.
std::vector<Sample> KeptRows(std::vector<Sample> rows, std::int64_t now);

// The history of the drives shown: the rows read from the file once, then each sample taken,
// appended to the file. The file's reads and writes run away from the window's thread, one at
// a time and in order; their answers run on the window's thread while this object lives.
class HistoryLog {
public:
    // `failed` runs (window's thread) when a write fails for the first time; the rows are
    // still kept for this run, and later writes are tried again without a word.
    HistoryLog(QueryRunner& runner, std::shared_ptr<HistoryStore> store, std::function<void()> failed);

    // Reads the file, dropping old rows and rewriting it when that is due.
    void Open(std::int64_t now);
    // Takes the sample unless the file has not been read yet, or the drive's last row is
    // less than kSampleGap older; a clock set back takes it.
    bool Record(const Sample& sample);
    const std::vector<Sample>& Rows() const { return rows_; }

private:
    struct Opened {
        std::vector<Sample> rows;
        std::optional<std::string> lead;  // what the next append starts with
    };
    static Opened ReadFile(HistoryStore& store, std::int64_t now);
    void TookRows(Opened opened);
    void Send(QueryRunner::Job job);
    void WriteNext();
    void Wrote(bool written);

    QueryRunner& runner_;
    std::shared_ptr<HistoryStore> store_;
    std::function<void()> failed_;
    std::shared_ptr<HistoryLog*> self_;  // the answers' way back, gone with this object
    bool opened_ = false;
    bool writing_ = false;
    bool reported_ = false;
    // The header for a new file, a line break after a line cut short, or nothing; not known
    // after a failed write, when the next write reads the file first.
    std::optional<std::string> lead_;
    std::string pending_;  // rows to append
    std::vector<Sample> rows_;
    std::map<char, std::int64_t> lastTaken_;
};

}  // namespace brimview
