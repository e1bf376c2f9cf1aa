#include <gtest/gtest.h>

#include <string>

#include "../support/QueryTesting.h"
#include "monitor/History.h"

namespace brimview {
namespace {

struct MemoryFile : HistoryStore {
    std::optional<std::string> Read() override { return content; }
    bool Append(std::string_view bytes) override {
        if (full) return false;
        content = content.value_or("") + std::string(bytes);
        return true;
    }
    bool Replace(std::string_view bytes) override {
        content = std::string(bytes);
        return true;
    }
    std::string Path() const override { return "history.csv"; }
    std::optional<std::string> content;
    bool full = false;
};

constexpr std::int64_t kNow = 1'796'115'200;  // 2026-12-01T08:53:20Z

TEST(History, ATornLastLineIsSkippedAndTheNextRowStartsOnALineOfItsOwn) {
    const std::string whole = std::string(kHistoryHeader) +
                              "2026-12-01T08:00:00Z,X,0000ABCD,16777216,6291456\r\n"
                              "2026-02-30T08:00:00Z,X,0000ABCD,16777216,6291456\r\n"  // no such day
                              "2026-12-01T08:10:00Z,X,ABCD,16777216,6291456\n"        // a short serial
                              "2026-12-01T08:20:00Z,X,0000ABCD,16777216,6291000\n";
    const auto file = std::make_shared<MemoryFile>();
    const std::string torn = whole + "2026-12-01T08:30:00Z,X,0000ABCD,16777216,62";
    file->content = torn;
    const ParsedHistory parsed = ParseHistory(*file->content);
    EXPECT_EQ(parsed.rows, (std::vector<Sample>{{kNow - 3200, 'X', 0xABCD, 16 << 20, 6291456},
                                                {kNow - 2000, 'X', 0xABCD, 16 << 20, 6291000}}));
    EXPECT_FALSE(parsed.endsWithLineBreak);

    test::QueriesInPlace queries;
    int failures = 0;
    HistoryLog log(queries, file, [&failures] { ++failures; });
    log.Open(kNow);
    EXPECT_FALSE(log.Record({kNow - 2000 + 599, 'X', 0xABCD, 16 << 20, 5 << 20}));  // 9 min 59 s after the last
    EXPECT_TRUE(log.Record({kNow, 'X', 0xABCD, 16 << 20, 5 << 20}));
    EXPECT_FALSE(log.Record({kNow + 599, 'X', 0xABCD, 16 << 20, 5 << 20}));
    EXPECT_TRUE(log.Record({kNow + 600, 'X', 0xABCD, 16 << 20, 0}));
    EXPECT_EQ(*file->content, torn + "\r\n2026-12-01T08:53:20Z,X,0000ABCD,16777216,5242880\r\n" +
                                  "2026-12-01T09:03:20Z,X,0000ABCD,16777216,0\r\n");
    file->full = true;
    EXPECT_TRUE(log.Record({kNow + 1200, 'X', 0xABCD, 16 << 20, 5 << 20}));
    EXPECT_TRUE(log.Record({kNow + 1800, 'X', 0xABCD, 16 << 20, 5 << 20}));
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(log.Rows().size(), 6u);
}

TEST(History, OneWriteAtATimeInTheOrderTaken) {
    const auto file = std::make_shared<MemoryFile>();
    test::HeldQueries queries;
    HistoryLog log(queries, file, [] {});
    log.Open(kNow);
    queries.Settle();
    EXPECT_TRUE(log.Record({kNow, 'C', 1, 100, 50}));
    EXPECT_TRUE(log.Record({kNow, 'D', 2, 100, 40}));
    EXPECT_TRUE(log.Record({kNow + 600, 'C', 1, 100, 49}));
    EXPECT_EQ(queries.Held(), 1u);  // the later rows wait for the first write's answer
    queries.Settle();
    EXPECT_EQ(*file->content, std::string(kHistoryHeader) + HistoryRow({kNow, 'C', 1, 100, 50}) +
                                  HistoryRow({kNow, 'D', 2, 100, 40}) + HistoryRow({kNow + 600, 'C', 1, 100, 49}));
}

TEST(History, RowsReadBackAsWritten) {
    const std::string rows =
        "2024-02-29T19:59:59Z,A,00000000,1,0\r\n"
        "2027-03-01T00:00:00Z,Z,FFFFFFFF,9223372036854775807,5\r\n"
        "2026-12-31T23:00:00Z,C,1234ABCD,100,99\r\n";
    std::string written;
    for (const Sample& row : ParseHistory(rows).rows) written += HistoryRow(row);
    EXPECT_EQ(written, rows);
}

TEST(History, OldRowsAreDroppedByARewriteOnceTheOldestIsADayPastTheKeptAge) {
    const auto file = std::make_shared<MemoryFile>();
    const std::string young = HistoryRow({kNow - kHistoryKept + 1, 'C', 1, 100, 50});
    file->content = std::string(kHistoryHeader) + HistoryRow({kNow - kHistoryKept - kDay, 'C', 1, 100, 60}) + young;
    const std::string before = *file->content;
    test::QueriesInPlace queries;
    HistoryLog(queries, file, [] {}).Open(kNow);
    EXPECT_EQ(*file->content, before);
    HistoryLog(queries, file, [] {}).Open(kNow + 1);
    EXPECT_EQ(*file->content, std::string(kHistoryHeader) + young);
}

}  // namespace
}  // namespace brimview
