#include "monitor/DriveSelector.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "../support/QueryTesting.h"

namespace brimview {
namespace {

// Drives by letter, with a log of every query made.
class FakeDriveCatalog : public DriveCatalog {
public:
    struct Drive {
        unsigned type;
        std::string label;                        // empty also when unreadable
        std::optional<std::string> network = {};  // remote name of a network drive
        bool fails = false;                       // its kind query throws
    };
    std::uint32_t mask = 0;
    std::map<char, Drive> drives;  // by upper-case letter
    std::vector<std::string> log;

    std::uint32_t LogicalDrives() override { return mask; }
    unsigned DriveType(const std::string& root) override {
        log.push_back("type " + root);
        const auto drive = drives.find(Upper(root));
        if (drive != drives.end() && drive->second.fails) throw std::runtime_error("drive gone");
        return drive == drives.end() ? NoRootDir : drive->second.type;
    }
    std::string VolumeLabel(const std::string& root) override {
        log.push_back("label " + root);
        return drives.at(Upper(root)).label;
    }
    std::optional<std::string> NetworkName(const std::string& localName) override {
        log.push_back("network " + localName);
        return drives.at(Upper(localName)).network;
    }

private:
    static char Upper(const std::string& path) { return static_cast<char>(path.at(0) & ~0x20); }
};

// A single-byte code page whose locale mapping also folds the Latin-1 letters
// (0xE0 to 0xFE except 0xF7, against 0xC0 to 0xDE).
class SingleByteText : public TextServices {
public:
    std::string UpperAnsi(std::string_view text) const override { return Map(text, true); }
    std::string LowerAnsi(std::string_view text) const override { return Map(text, false); }
    bool IsDoubleByteCodePage() const override { return false; }
    bool IsLeadByte(unsigned char) const override { return false; }
    std::string AnsiToUtf8(std::string_view text) const override { return std::string(text); }
    std::string Utf16ToAnsi(std::u16string_view) const override { return {}; }

private:
    static std::string Map(std::string_view text, bool upper) {
        std::string mapped(text);
        for (char& c : mapped) {
            const auto byte = static_cast<unsigned char>(c);
            const bool lowerLetter = (byte >= 'a' && byte <= 'z') || (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7);
            const bool upperLetter = (byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7);
            if (upper && lowerLetter) c = static_cast<char>(byte - 0x20);
            if (!upper && upperLetter) c = static_cast<char>(byte + 0x20);
        }
        return mapped;
    }
};

// A Shift-JIS-like code page whose locale mapping would wrongly fold every byte that looks
// like an ASCII letter, trail bytes included, so that using it shows in the results.
class DoubleByteText : public TextServices {
public:
    std::string UpperAnsi(std::string_view text) const override { return Blind(text, 'a', 'z', -32); }
    std::string LowerAnsi(std::string_view text) const override { return Blind(text, 'A', 'Z', 32); }
    bool IsDoubleByteCodePage() const override { return true; }
    bool IsLeadByte(unsigned char byte) const override { return (byte >= 0x81 && byte <= 0x9F) || byte >= 0xE0; }
    std::string AnsiToUtf8(std::string_view text) const override { return std::string(text); }
    std::string Utf16ToAnsi(std::u16string_view) const override { return {}; }

private:
    static std::string Blind(std::string_view text, char first, char last, int shift) {
        std::string mapped(text);
        for (char& c : mapped)
            if (c >= first && c <= last) c = static_cast<char>(c + shift);
        return mapped;
    }
};

constexpr std::uint32_t Bit(char letter) {
    return std::uint32_t{1} << (letter - 'A');
}

// "\x83\x61" is one double-byte character whose trail byte is the code of "a".
const std::string kKana = "\x83\x61";

std::shared_ptr<FakeDriveCatalog> Machine() {
    auto machine = std::make_shared<FakeDriveCatalog>();
    FakeDriveCatalog& catalog = *machine;
    catalog.drives = {
        {'A', {DriveCatalog::Removable, "FLOPPYDISK"}},
        {'C', {DriveCatalog::Fixed, "System"}},
        {'D', {DriveCatalog::CdRom, ""}},  // no label or no disc
        {'E', {DriveCatalog::RamDisk, "Ram" + kKana + "x"}},
        {'F', {DriveCatalog::Unknown, "unknown"}},
        {'H', {7, "odd"}},
        {'Y', {DriveCatalog::Remote, "NetLabel"}},  // its connection name cannot be had
        {'Z', {DriveCatalog::Remote, "Host", "\\\\server\\Share"}},
    };
    // G is in the mask without a root; the bits above Z are never looked at.
    catalog.mask =
        Bit('A') | Bit('C') | Bit('D') | Bit('E') | Bit('F') | Bit('G') | Bit('H') | Bit('Y') | Bit('Z') | 0xFC000000u;
    return machine;
}

std::vector<std::pair<std::string, std::optional<DriveKind>>> Listed(const DriveSelectorModel& model) {
    std::vector<std::pair<std::string, std::optional<DriveKind>>> listed;
    for (const DriveItem& item : model.Items()) listed.emplace_back(item.text, item.kind);
    return listed;
}

TEST(DriveSelector, BuildsOneItemPerListedDriveInTheTextCase) {
    const std::vector<std::string> typeQueries = {"type a:\\", "type c:\\", "type d:\\", "type e:\\", "type f:\\",
                                                  "type g:\\", "type h:\\", "type y:\\", "type z:\\"};
    struct Case {
        TTextCase textCase;
        bool doubleByte;
        std::vector<std::pair<std::string, std::optional<DriveKind>>> items;
        std::vector<std::string> otherQueries;  // after the kinds, in order
    };
    const Case cases[] = {
        {TTextCase::tcUpperCase,
         true,
         {{"A:", DriveKind::Removable},
          {"C: [SYSTEM]", DriveKind::Fixed},
          {"D: []", DriveKind::CdRom},
          {"E: [RAM" + kKana + "X]", DriveKind::RamDisk},
          {"Y: [NETLABEL]", DriveKind::Network},
          {"Z: \\\\SERVER\\SHARE", DriveKind::Network}},
         {"label C:\\", "label D:\\", "label E:\\", "network Y:", "label Y:\\", "network Z:"}},
        {TTextCase::tcLowerCase,
         true,
         {{"a:", DriveKind::Removable},
          {"c: [system]", DriveKind::Fixed},
          {"d: []", DriveKind::CdRom},
          {"e: [ram" + kKana + "x]", DriveKind::RamDisk},
          {"y: [netlabel]", DriveKind::Network},
          {"z: \\\\server\\share", DriveKind::Network}},
         {"label c:\\", "label d:\\", "label e:\\", "network Y:", "label y:\\", "network Z:"}},
        // On a single-byte code page the locale's mapping applies, whatever it does.
        {TTextCase::tcUpperCase,
         false,
         {{"A:", DriveKind::Removable},
          {"C: [SYSTEM]", DriveKind::Fixed},
          {"D: []", DriveKind::CdRom},
          {"E: [RAM\x83\x41X]", DriveKind::RamDisk},
          {"Y: [NETLABEL]", DriveKind::Network},
          {"Z: \\\\SERVER\\SHARE", DriveKind::Network}},
         {"label C:\\", "label D:\\", "label E:\\", "network Y:", "label Y:\\", "network Z:"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << static_cast<int>(c.textCase) << " double-byte " << c.doubleByte);
        const auto catalog = Machine();
        const DoubleByteText doubleByte;
        const SingleByteText singleByte;
        const TextServices& text = c.doubleByte ? static_cast<const TextServices&>(doubleByte) : singleByte;
        test::HeldQueries queries;
        DriveSelectorModel model(queries, catalog, text, 'C');
        if (c.textCase == TTextCase::tcUpperCase) model.SetTextCase(c.textCase);
        EXPECT_EQ(catalog->log, std::vector<std::string>{}) << "no list before the window";
        model.WindowCreated();
        queries.Settle();
        EXPECT_EQ(Listed(model), c.items);
        // Kinds and labels are asked drive by drive; each kind of query is compared in its order.
        std::vector<std::string> kinds, others;
        for (const std::string& q : catalog->log) (q.starts_with("type") ? kinds : others).push_back(q);
        EXPECT_EQ(kinds, typeQueries);
        EXPECT_EQ(others, c.otherQueries);
    }
}

TEST(DriveSelector, FoldsCaseByCodePage) {
    const SingleByteText singleByte;
    const DoubleByteText doubleByte;
    struct Case {
        const TextServices& text;
        std::string input;
        TTextCase textCase;
        std::string expected;
    };
    const Case cases[] = {
        {singleByte, "Syst\xE8me", TTextCase::tcUpperCase, "SYST\xC8ME"},
        {singleByte, "Syst\xC8ME", TTextCase::tcLowerCase, "syst\xE8me"},
        {doubleByte, "ab" + kKana + "cd", TTextCase::tcUpperCase, "AB" + kKana + "CD"},
        {doubleByte,
         "AB\x83\x41"
         "CD",
         TTextCase::tcLowerCase,
         "ab\x83\x41"
         "cd"},
        {doubleByte, "Data\xE9", TTextCase::tcUpperCase, "DATA\xE9"},  // a lead byte without its trail byte
        {doubleByte, "", TTextCase::tcUpperCase, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(FoldCase(c.input, c.textCase, c.text), c.expected) << c.input;
}

TEST(DriveSelector, InitialDriveComesFromTheCurrentDirectory) {
    const std::pair<const char*, char> cases[] = {
        {"C:\\Tools", 'C'}, {"d:\\data", 'd'}, {"\\\\server\\share\\tools", '\0'}, {"", '\0'}};
    for (const auto& [directory, drive] : cases) {
        test::HeldQueries queries;
        const DoubleByteText text;
        const DriveSelectorModel model(queries, std::make_shared<FakeDriveCatalog>(), text,
                                       InitialSelectedDrive(directory));
        EXPECT_EQ(model.SelectedDrive(), drive) << directory;
    }
}

// Runs steps against the machine above and records the events as "change <drive> <item>"
// and "click".
class Recorder {
public:
    explicit Recorder(char initialDrive, TTextCase textCase = TTextCase::tcUpperCase)
        : catalog_(Machine()), model(queries, catalog_, text_, initialDrive) {
        model.SetTextCase(textCase);
        model.WindowCreated();
        queries.Settle();
        model.OnChange = [this] {
            const char drive = model.SelectedDrive();
            const int index = model.SelectedIndex();
            events.push_back("change " + (drive ? std::string(1, drive) : "0") + " " +
                             (index < 0 ? "-" : model.Items()[index].text));
        };
        model.OnClick = [this] { events.push_back("click"); };
    }

    std::size_t Queries() const { return catalog_->log.size(); }

private:
    std::shared_ptr<FakeDriveCatalog> catalog_;
    const DoubleByteText text_;

public:
    test::HeldQueries queries;
    DriveSelectorModel model;
    std::vector<std::string> events;
};

TEST(DriveSelector, SelectionRuleAndPicks) {
    using Step = std::function<void(DriveSelectorModel&)>;
    const auto write = [](char letter) {
        return Step([letter](DriveSelectorModel& m) { m.SetSelectedDrive(letter); });
    };
    const auto pick = [](int index) { return Step([index](DriveSelectorModel& m) { m.UserPicked(index); }); };
    const auto textCase = [](TTextCase c) { return Step([c](DriveSelectorModel& m) { m.SetTextCase(c); }); };
    const auto created = Step([](DriveSelectorModel& m) { m.WindowCreated(); });
    struct Case {
        const char* name;
        char initial;
        TTextCase textCase;
        std::vector<Step> steps;
        std::vector<std::string> events;
        char drive;
        int index;
    };
    const Case cases[] = {
        {"upper case of a lower-case letter", 'C', TTextCase::tcUpperCase, {write('d')}, {"change D D: []"}, 'D', 2},
        {"lower case", 'c', TTextCase::tcLowerCase, {write('D')}, {"change d d: []"}, 'd', 2},
        {"same drive", 'C', TTextCase::tcUpperCase, {write('c'), write('C')}, {}, 'C', 1},
        {"no drive", 'C', TTextCase::tcUpperCase, {write('\0')}, {"change 0 -"}, '\0', -1},
        {"drive without item", 'C', TTextCase::tcUpperCase, {write('Q')}, {"change Q -"}, 'Q', -1},
        {"same drive without item",
         'C',
         TTextCase::tcUpperCase,
         {write('Q'), write('q')},
         {"change Q -", "change Q -"},
         'Q',
         -1},
        {"no drive at start-up", '\0', TTextCase::tcUpperCase, {write('Z')}, {"change Z Z: \\\\SERVER\\SHARE"}, 'Z', 5},
        {"not a letter", 'C', TTextCase::tcLowerCase, {write('1')}, {"change 1 -"}, '1', -1},
        // A new list holds the drives' letters when OnChange comes, before any drive answered.
        {"window re-created", 'C', TTextCase::tcUpperCase, {created}, {"change C C:"}, 'C', 1},
        {"same drive written before any drive answered",
         'C',
         TTextCase::tcUpperCase,
         {Step([](DriveSelectorModel& m) {
             m.WindowCreated();
             m.SetSelectedDrive('c');
         })},
         {"change C C:"},
         'C',
         1},
        {"case changed", 'C', TTextCase::tcUpperCase, {textCase(TTextCase::tcLowerCase)}, {"change c c:"}, 'c', 1},
        {"case unchanged", 'C', TTextCase::tcUpperCase, {textCase(TTextCase::tcUpperCase)}, {}, 'C', 1},
        {"pick another drive",
         'C',
         TTextCase::tcUpperCase,
         {pick(3)},
         {"click", "change E E: [RAM" + kKana + "X]", "change E E: [RAM" + kKana + "X]"},
         'E',
         3},
        {"pick the drive shown", 'C', TTextCase::tcUpperCase, {pick(1)}, {"click", "change C C: [SYSTEM]"}, 'C', 1},
        {"pick after a drive without item",
         'C',
         TTextCase::tcUpperCase,
         {write('Q'), pick(0)},
         {"change Q -", "click", "change A A:", "change A A:"},
         'A',
         0},
        {"pick nothing", 'C', TTextCase::tcUpperCase, {pick(-1)}, {"click", "change C -"}, 'C', -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Recorder recorder(c.initial, c.textCase);
        for (const Step& step : c.steps) {
            step(recorder.model);
            recorder.queries.Settle();
        }
        EXPECT_EQ(recorder.events, c.events);
        EXPECT_EQ(recorder.model.SelectedDrive(), c.drive);
        EXPECT_EQ(recorder.model.SelectedIndex(), c.index);
    }
}

TEST(DriveSelector, ListIsBuiltOnlyAtWindowCreationAndCaseChange) {
    Recorder recorder('C');
    const auto queriesOf = [&recorder](const std::function<void()>& act) {
        const std::size_t before = recorder.Queries();
        act();
        recorder.queries.Settle();
        return recorder.Queries() - before;
    };
    const std::size_t build = queriesOf([&] { recorder.model.WindowCreated(); });
    EXPECT_EQ(build, 15u);  // nine kinds, four labels, two network names
    EXPECT_EQ(queriesOf([&] { recorder.model.SetSelectedDrive('D'); }), 0u);
    EXPECT_EQ(queriesOf([&] { recorder.model.UserPicked(0); }), 0u);
    EXPECT_EQ(queriesOf([&] { recorder.model.SetTextCase(TTextCase::tcUpperCase); }), 0u);
    EXPECT_EQ(queriesOf([&] { recorder.model.SetTextCase(TTextCase::tcLowerCase); }), build);
}

TEST(DriveSelector, DrivesFillTheirLettersInAsTheyAnswerAndAreAskedOnceAtATime) {
    const auto catalog = std::make_shared<FakeDriveCatalog>();
    catalog->drives = {{'C', {DriveCatalog::Fixed, "System"}},
                       {'X', {DriveCatalog::NoRootDir, ""}},
                       {'Y', {DriveCatalog::Remote, "Slow"}},
                       {'Z', {DriveCatalog::Remote, "Host", "\\\\server\\share"}}};
    catalog->mask = Bit('C') | Bit('X') | Bit('Y') | Bit('Z');
    const DoubleByteText text;
    test::HeldQueries queries;
    DriveSelectorModel model(queries, catalog, text, 'Z');
    model.SetTextCase(TTextCase::tcUpperCase);
    std::vector<std::string> events;
    model.OnChange = [&] { events.push_back("change " + std::to_string(model.SelectedIndex())); };
    model.OnItemChanged = [&](int index) { events.push_back("changed " + std::to_string(index)); };
    model.OnItemRemoved = [&](int index) {
        events.push_back("removed " + std::to_string(index) + ", selected " + std::to_string(model.SelectedIndex()));
    };
    const auto texts = [&model] {
        std::vector<std::string> listed;
        for (const DriveItem& item : model.Items()) listed.push_back(item.text + (item.kind ? "" : " ?"));
        return listed;
    };

    model.WindowCreated();  // the letters at once, and one query per drive, held: C:, X:, Y:, Z:
    EXPECT_EQ(texts(), (std::vector<std::string>{"C: ?", "X: ?", "Y: ?", "Z: ?"}));
    ASSERT_EQ(queries.Held(), 4u);
    queries.Run(3);        // Z: answers its kind, then its network name
    queries.Run(1);        // X: has no root
    queries.RunAnswer(0);  // Z:'s kind
    queries.RunAnswer(1);  // X: leaves the list before Z:, which stays selected
    EXPECT_EQ(texts(), (std::vector<std::string>{"C: ?", "Y: ?", "Z:"}));
    queries.RunAnswer(0);  // Z:'s name
    EXPECT_EQ(texts(), (std::vector<std::string>{"C: ?", "Y: ?", "Z: \\\\SERVER\\SHARE"}));
    EXPECT_EQ(events, (std::vector<std::string>{"change 3", "changed 3", "removed 1, selected 2", "changed 2"}));

    // Y: hangs from here on, while the list is built again and again (every stay-on-top switch
    // does so): each build asks the other drives again, and Y: never twice at once.
    const auto runAnswers = [&queries] {
        while (queries.Answers() > 0) queries.RunAnswer(0);
    };
    queries.Run(0);  // C:
    runAnswers();
    for (int build = 0; build < 20; ++build) {
        model.SetTextCase(build % 2 ? TTextCase::tcUpperCase : TTextCase::tcLowerCase);
        ASSERT_EQ(queries.Held(), 4u) << "build " << build;  // Y:'s first, then C:, X:, Z:
        for (std::size_t i = 3; i >= 1; --i) queries.Run(i);
        runAnswers();
    }
    EXPECT_EQ(texts(), (std::vector<std::string>{"C: [SYSTEM]", "Y: ?", "Z: \\\\SERVER\\SHARE"}));
    queries.Settle();  // Y: answers at last, into the latest list
    EXPECT_EQ(texts(), (std::vector<std::string>{"C: [SYSTEM]", "Y: [SLOW]", "Z: \\\\SERVER\\SHARE"}));
    EXPECT_EQ(model.SelectedIndex(), 2);
}

TEST(DriveSelector, FailuresLeaveTheListWholeAndAGoneDrivesLateAnswerIsDropped) {
    const auto catalog = std::make_shared<FakeDriveCatalog>();
    catalog->drives = {{'C', {DriveCatalog::Fixed, "System", {}, true}},
                       {'X', {DriveCatalog::NoRootDir, ""}},
                       {'Y', {DriveCatalog::Remote, "Slow"}}};
    catalog->mask = Bit('C') | Bit('X') | Bit('Y');
    const DoubleByteText text;
    test::HeldQueries queries;
    DriveSelectorModel model(queries, catalog, text, 'X');
    model.SetTextCase(TTextCase::tcUpperCase);
    std::vector<int> changed;
    model.OnItemChanged = [&changed](int index) { changed.push_back(index); };
    queries.refuses = true;
    EXPECT_THROW(model.WindowCreated(), std::runtime_error);
    EXPECT_EQ(model.Items().size(), 3u) << "no thread: every letter is listed all the same";
    EXPECT_EQ(model.SelectedIndex(), 1);
    queries.refuses = false;
    model.WindowCreated();
    queries.Run(1);
    queries.RunAnswer(0);  // X:, the one selected, has no root
    EXPECT_EQ(model.SelectedIndex(), -1);
    queries.Run(0);
    EXPECT_THROW(queries.RunAnswer(0), std::runtime_error);  // C:'s kind query failed: C: stays
    EXPECT_EQ(model.Items().size(), 2u);
    catalog->drives['C'].fails = false;
    catalog->mask = Bit('C');  // Y: goes while its query hangs
    model.WindowCreated();
    queries.Settle();  // Y: answers late, into a list without it
    EXPECT_EQ(Listed(model), (decltype(Listed(model)){{"C: [SYSTEM]", DriveKind::Fixed}}));
    EXPECT_EQ(changed, (std::vector<int>{0, 0}));
}

}  // namespace
}  // namespace brimview
