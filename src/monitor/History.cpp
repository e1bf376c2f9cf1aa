#include "monitor/History.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <iterator>
#include <limits>
#include <utility>

namespace brimview {
namespace {

// Days since 1970-01-01 of a date of the Gregorian calendar from 1970 on, and back
// (H. Hinnant's algorithms, for years that are not negative).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = y / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

struct Civil {
    std::int64_t year;
    unsigned month;
    unsigned day;
};

Civil CivilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = z / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2), m, d};
}

// A whole field of decimal digits, or of hex digits, within the bounds; nothing otherwise.
template <class T>
std::optional<T> Number(std::string_view field, int base, T least, T most) {
    T value{};
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value, base);
    if (field.empty() || field[0] == '-' || field[0] == '+' || error != std::errc{} ||
        end != field.data() + field.size() || value < least || value > most)
        return std::nullopt;
    return value;
}

// "YYYY-MM-DDTHH:MM:SSZ" as UTC seconds since 1970.
std::optional<std::int64_t> ParseTime(std::string_view text) {
    if (text.size() != 20 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' ||
        text[16] != ':' || text[19] != 'Z')
        return std::nullopt;
    const auto year = Number<int>(text.substr(0, 4), 10, 1970, 9999);
    const auto month = Number<unsigned>(text.substr(5, 2), 10, 1, 12);
    const auto day = Number<unsigned>(text.substr(8, 2), 10, 1, 31);
    const auto hour = Number<int>(text.substr(11, 2), 10, 0, 23);
    const auto minute = Number<int>(text.substr(14, 2), 10, 0, 59);
    const auto second = Number<int>(text.substr(17, 2), 10, 0, 59);
    if (!year || !month || !day || !hour || !minute || !second) return std::nullopt;
    const std::int64_t days = DaysFromCivil(*year, *month, *day);
    if (CivilFromDays(days).day != *day) return std::nullopt;  // no 31 April
    return days * kDay + *hour * 3600 + *minute * 60 + *second;
}

std::optional<Sample> ParseRow(std::string_view line) {
    std::string_view fields[5];
    std::size_t count = 0;
    for (std::size_t start = 0;;) {
        const auto comma = line.find(',', start);
        if (count == std::size(fields)) return std::nullopt;
        fields[count++] = line.substr(start, comma - start);
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    if (count != std::size(fields)) return std::nullopt;
    constexpr auto kMost = std::numeric_limits<std::int64_t>::max();
    const auto time = ParseTime(fields[0]);
    const auto serial = fields[2].size() == 8 ? Number<std::uint32_t>(fields[2], 16, 0, 0xFFFFFFFF) : std::nullopt;
    const auto total = Number<std::int64_t>(fields[3], 10, 1, kMost);
    const auto free = Number<std::int64_t>(fields[4], 10, 0, kMost);
    const bool letter = fields[1].size() == 1 && fields[1][0] >= 'A' && fields[1][0] <= 'Z';
    if (!time || !letter || !serial || !total || !free) return std::nullopt;
    return Sample{*time, fields[1][0], *serial, *total, *free};
}

// What an append starts with after a file of this content.
std::string LeadAfter(const std::optional<std::string>& content) {
    if (!content || content->empty()) return std::string(kHistoryHeader);
    return content->back() == '\n' ? "" : "\r\n";
}

}  // namespace

std::string HistoryPathFor(std::string_view settingsPath) {
    constexpr std::string_view kIni = ".ini";
    if (settingsPath.ends_with(kIni)) settingsPath.remove_suffix(kIni.size());
    return std::string(settingsPath) + "-history.csv";
}

std::string HistoryRow(const Sample& sample) {
    const std::int64_t days = sample.time / kDay;  // samples are taken after 1970
    const std::int64_t seconds = sample.time - days * kDay;
    const Civil date = CivilFromDays(days);
    char row[96];
    std::snprintf(row, sizeof row, "%04lld-%02u-%02uT%02lld:%02lld:%02lldZ,%c,%08X,%lld,%lld\r\n",
                  static_cast<long long>(date.year), date.month, date.day, static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60), sample.drive,
                  static_cast<unsigned>(sample.serial), static_cast<long long>(sample.total),
                  static_cast<long long>(sample.free));
    return row;
}

ParsedHistory ParseHistory(std::string_view content) {
    ParsedHistory parsed;
    while (!content.empty()) {
        const auto end = content.find('\n');
        if (end == std::string_view::npos) {
            parsed.endsWithLineBreak = false;  // cut short: not read
            break;
        }
        std::string_view line = content.substr(0, end);
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (const auto row = ParseRow(line)) parsed.rows.push_back(*row);
        content.remove_prefix(end + 1);
    }
    return parsed;
}

bool RewriteDue(const std::vector<Sample>& rows, std::int64_t now) {
    return std::ranges::any_of(rows, [now](const Sample& row) { return now - row.time > kHistoryKept + kDay; });
}

std::vector<Sample> KeptRows(std::vector<Sample> rows, std::int64_t now) {
    std::erase_if(rows, [now](const Sample& row) { return now - row.time > kHistoryKept; });
    return rows;
}

HistoryLog::HistoryLog(QueryRunner& runner, std::shared_ptr<HistoryStore> store, std::function<void()> failed)
    : runner_(runner),
      store_(std::move(store)),
      failed_(std::move(failed)),
      self_(std::make_shared<HistoryLog*>(this)) {}

HistoryLog::Opened HistoryLog::ReadFile(HistoryStore& store, std::int64_t now) {
    const std::optional<std::string> content = store.Read();
    std::vector<Sample> rows = ParseHistory(content.value_or("")).rows;
    if (!RewriteDue(rows, now)) return {std::move(rows), LeadAfter(content)};
    rows = KeptRows(std::move(rows), now);
    std::string kept(kHistoryHeader);
    for (const Sample& row : rows) kept += HistoryRow(row);
    // A failed rewrite leaves the old file, to be tried again at the next start.
    const bool rewritten = store.Replace(kept);
    return {std::move(rows), LeadAfter(rewritten ? kept : content)};
}

void HistoryLog::Open(std::int64_t now) {
    Send([store = store_, now, self = std::weak_ptr(self_)](const QueryRunner::Post& post) {
        post([self, opened = ReadFile(*store, now)]() mutable {
            if (const auto log = self.lock()) (*log)->TookRows(std::move(opened));
        });
    });
}

// One job on the file at a time: the next waits for this one's answer.
void HistoryLog::Send(QueryRunner::Job job) {
    writing_ = true;
    try {
        runner_.Start(std::move(job));
    } catch (...) {
        writing_ = false;
        throw;
    }
}

void HistoryLog::TookRows(Opened opened) {
    rows_ = std::move(opened.rows);
    for (const Sample& row : rows_) lastTaken_[row.drive] = std::max(lastTaken_[row.drive], row.time);
    lead_ = std::move(opened.lead);
    opened_ = true;
    writing_ = false;
}

bool HistoryLog::Record(const Sample& sample) {
    if (!opened_) return false;
    const auto last = lastTaken_.find(sample.drive);
    if (last != lastTaken_.end() && sample.time >= last->second && sample.time - last->second < kSampleGap)
        return false;
    lastTaken_[sample.drive] = sample.time;
    rows_.push_back(sample);
    pending_ += HistoryRow(sample);
    WriteNext();
    return true;
}

void HistoryLog::WriteNext() {
    if (writing_ || pending_.empty()) return;
    Send([store = store_, lead = lead_, rows = std::exchange(pending_, {}),
          self = std::weak_ptr(self_)](const QueryRunner::Post& post) {
        const bool written = store->Append((lead ? *lead : LeadAfter(store->Read())) + rows);
        post([self, written] {
            if (const auto log = self.lock()) (*log)->Wrote(written);
        });
    });
}

void HistoryLog::Wrote(bool written) {
    writing_ = false;
    // After a failure part of the line may be there, or no file at all: the next write looks.
    lead_ = written ? std::optional<std::string>("") : std::nullopt;
    WriteNext();
    if (!written && !std::exchange(reported_, true)) failed_();
}

}  // namespace brimview
