#include "launcher/console_texts.h"

#include <gtest/gtest.h>

#include "case_name.h"

#include <cstdio>
#include <string>
#include <vector>

#include "expected_texts.h"
#include "recording_stream.h"

namespace trunpax {
namespace {

using testing::RecordingStream;

// Splits text after each CR LF: the flush boundaries a line writer must show.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end + 2 - start));
    }
    return lines;
}

struct TextCase {
    const char* name;
    ConsoleText text;
    std::string expected;
    std::size_t size;
};

class ConsoleTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(ConsoleTextTest, ComesOutByteForByteOneFlushALine) {
    const TextCase& c = GetParam();
    RecordingStream recorder;
    std::FILE* stream = recorder.Open();
    ConsoleWriter{stream, "\r\n"}.WriteText(c.text);
    std::fclose(stream);

    EXPECT_EQ(recorder.Accepted().size(), c.size);
    EXPECT_EQ(recorder.Accepted(), c.expected);
    EXPECT_EQ(recorder.writes, Lines(c.expected))
        << "each line reaches the system by its own flush";
}

const TextCase kTextCases[] = {
    {"Usage", UsageText, testing::ExpectedUsage(), 102},
    {"Help", HelpText, testing::ExpectedHelp(), 932},
    {"NotWow64", NotWow64Text, testing::ExpectedNotWow64(), 22},
};

INSTANTIATE_TEST_SUITE_P(Texts, ConsoleTextTest, ::testing::ValuesIn(kTextCases),
                         testing::CaseName());

TEST(ConsoleTextTest, HelpTextHasItsBlankLinesAndNoTrailingOne) {
    ASSERT_EQ(HelpText.size(), 22U);
    std::vector<std::size_t> blanks;
    for (std::size_t i = 0; i < HelpText.size(); ++i) {
        if (HelpText[i][0] == '\0') {
            blanks.push_back(i + 1);
        }
    }
    EXPECT_EQ(blanks, (std::vector<std::size_t>{3, 5, 8, 11, 14}));
}

// A stream that refuses everything past a budget: the rest of the text is
// lost, and nothing more is even offered to the system after the refusal.
class RefusingStreamTest : public ::testing::TestWithParam<std::size_t> {};

TEST_P(RefusingStreamTest, LosesTheRestAndOffersNothingMore) {
    const std::size_t budget = GetParam();
    const std::string help = testing::ExpectedHelp();
    RecordingStream recorder;
    recorder.budget = budget;
    std::FILE* stream = recorder.Open();
    ConsoleWriter{stream, "\r\n"}.WriteText(HelpText);
    EXPECT_NE(std::ferror(stream), 0);
    std::fclose(stream);

    EXPECT_EQ(recorder.Accepted(), help.substr(0, budget));
    // Every accepted write was offered once, plus the one that was refused.
    const std::size_t offered = Lines(help.substr(0, budget)).size() + 1;
    EXPECT_EQ(recorder.attempts, offered);
}

// Refused at once, within the first line, right after a line, within a
// blank line's break, and one byte short of the end.
INSTANTIATE_TEST_SUITE_P(Budgets, RefusingStreamTest,
                         ::testing::Values(0U, 1U, 30U, 65U, 131U, 931U));

TEST(ConsoleWriterTest, WritesNothingToAStreamAlreadyInError) {
    RecordingStream recorder;
    recorder.budget = 0;
    std::FILE* stream = recorder.Open();
    std::fputs("x", stream);
    std::fflush(stream);
    ASSERT_NE(std::ferror(stream), 0);
    const std::size_t attemptsBefore = recorder.attempts;

    const ConsoleWriter console{stream, "\r\n"};
    console.WriteLine("never");
    console.WriteBlankLine();
    console.WriteText(UsageText);
    std::fclose(stream);
    EXPECT_EQ(recorder.attempts, attemptsBefore);
}

TEST(ConsoleWriterTest, EmptyLineIsABlankLine) {
    RecordingStream recorder;
    std::FILE* stream = recorder.Open();
    const ConsoleWriter console{stream, "\r\n"};
    console.WriteLine("");
    console.WriteBlankLine();
    std::fclose(stream);
    EXPECT_EQ(recorder.writes, (std::vector<std::string>{"\r\n", "\r\n"}));
}

TEST(ConsoleWriterTest, UsesTheLineBreakItIsGiven) {
    RecordingStream recorder;
    std::FILE* stream = recorder.Open();
    ConsoleWriter{stream, "\n"}.WriteLine("a line");
    std::fclose(stream);
    EXPECT_EQ(recorder.writes, (std::vector<std::string>{"a line\n"}));
}

}  // namespace
}  // namespace trunpax
