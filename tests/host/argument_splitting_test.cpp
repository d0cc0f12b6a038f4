#include "launcher/argument_splitting.h"

#include <gtest/gtest.h>

#include "case_name.h"

#include <string>
#include <vector>

namespace trunpax {
namespace {

// Lead bytes of a Shift-JIS-like double-byte code page.
bool IsShiftJisLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

struct SplitCase {
    const char* name;
    std::string line;
    std::vector<std::string> arguments;
    LeadByteTest isLeadByte = nullptr;
};

class SplitCommandLineTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLineTest, GivesTheArgumentsTheRulesGive) {
    const SplitCase& c = GetParam();
    EXPECT_EQ(SplitCommandLine(c.line, c.isLeadByte), c.arguments) << "line: [" << c.line << "]";
}

const SplitCase kSplitCases[] = {
    {"ProgramAlone", "Trunpax.exe", {"Trunpax.exe"}},
    {"FirstHelpExample",
     R"(Trunpax.exe "msg" "0 Hello world!")",
     {"Trunpax.exe", "msg", "0 Hello world!"}},
    {"SecondHelpExample",
     R"(Trunpax.exe "C:\path\kestrovan.msi")",
     {"Trunpax.exe", R"(C:\path\kestrovan.msi)"}},
    {"UnquotedParametersSplit",
     "Trunpax.exe msg 0 Hello world!",
     {"Trunpax.exe", "msg", "0", "Hello", "world!"}},
    {"QuotedProgramNameWithBlanks",
     R"("C:\Program Files\Trunpax.exe" /?)",
     {R"(C:\Program Files\Trunpax.exe)", "/?"}},
    {"QuotedProgramNameEndsAtItsClosingQuote",
     R"("C:\t\Trunpax.exe"x y)",
     {R"(C:\t\Trunpax.exe)", "x", "y"}},
    {"QuoteInsideUnquotedProgramNameIsLiteral", R"(C:\t\a"b c)", {R"(C:\t\a"b)", "c"}},
    {"BackslashBeforeQuoteInProgramNameIsLiteral", R"("C:\t\" x)", {R"(C:\t\)", "x"}},
    {"UnterminatedProgramName", R"("C:\no end)", {R"(C:\no end)"}},
    {"EmptyLine", "", {""}},
    {"LeadingBlankGivesEmptyProgramName", " p", {"", "p"}},
    {"TabsSeparate", "p a\tb\t \tc", {"p", "a", "b", "c"}},
    {"TrailingBlanksMakeNoArgument", "p   a  \t", {"p", "a"}},
    {"QuotedHelpSwitch", R"(p "/?")", {"p", "/?"}},
    {"LonePairIsEmptyArgument", R"(p "")", {"p", ""}},
    {"TwoEmptyArguments", R"(p "" "")", {"p", "", ""}},
    {"EmptyFirstThenSecond", R"(p "" "x y")", {"p", "", "x y"}},
    {"QuotedAndUnquotedStretchesJoin", R"(p "a b"c d"e f")", {"p", "a bc", "de f"}},
    {"BlankInsideQuotesKept", R"(p " a b ")", {"p", " a b "}},
    {"TabInsideQuotesKept", "p \"a\tb\"", {"p", "a\tb"}},
    {"BackslashesAloneAreLiteral", R"(p a\b\\c\\\d)", {"p", R"(a\b\\c\\\d)"}},
    {"TrailingBackslashesAreLiteral", R"(p a\\ b\)", {"p", R"(a\\)", R"(b\)"}},
    {"OneBackslashQuoteIsLiteralQuote", R"(p a\"b)", {"p", R"(a"b)"}},
    {"TwoBackslashesQuoteOpensStretch", R"(p a\\"b c")", {"p", R"(a\b c)"}},
    {"ThreeBackslashesQuote", R"(p a\\\"b)", {"p", R"(a\"b)"}},
    {"FourBackslashesQuote", R"(p a\\\\"b c")", {"p", R"(a\\b c)"}},
    {"QuotedPathEndingInBackslash", R"(p "C:\dir\\" x)", {"p", R"(C:\dir\)", "x"}},
    {"EscapedQuotesInsideStretch", R"(p "say \"hi\" now")", {"p", R"(say "hi" now)"}},
    {"DoubledQuoteEndsTheStretch", R"(p "a""b c" d e)", {"p", R"(a"b)", "c d e"}},
    {"TripleQuoteIsOneQuote", R"(p """)", {"p", R"(")"}},
    {"FourQuotesAreOneQuote", R"(p """")", {"p", R"(")"}},
    {"DoubledQuoteThenBlankEndsArgument", R"(p "a"" b")", {"p", R"(a")", "b"}},
    {"UnterminatedQuoteRunsToTheEnd", R"(p "open to the end)", {"p", "open to the end"}},
    {"NoWildcardExpansion", R"(p *.txt a?b "[x]*")", {"p", "*.txt", "a?b", "[x]*"}},
    {"LiteralQuotesForAPathWithBlanks",
     R"(p "\"C:\Program Files\t.exe\"" "/q")",
     {"p", R"("C:\Program Files\t.exe")", "/q"}},
    {"TrailByteThatLooksLikeBackslashIsPartOfItsCharacter",
     "p \"\x95\x5c\" next",
     {"p", "\x95\x5c", "next"},
     IsShiftJisLeadByte},
    {"SameBytesInASingleByteCodePage", "p \"\x95\x5c\" next", {"p", "\x95\" next"}},
    {"TrailByteThatLooksLikeQuoteIsPartOfItsCharacter",
     "p \x81\"x y",
     {"p", "\x81\"x", "y"},
     IsShiftJisLeadByte},
    {"TrailByteThatLooksLikeBlankIsPartOfItsCharacter",
     "p a\x81 b",
     {"p", "a\x81 b"},
     IsShiftJisLeadByte},
    {"LeadByteInProgramName", "\"\x81\"x\" y", {"\x81\"x", "y"}, IsShiftJisLeadByte},
    {"LeadByteInUnquotedProgramName", "\x81 x y", {"\x81 x", "y"}, IsShiftJisLeadByte},
    {"LeadByteAtTheEndStandsAlone", "p a\x81", {"p", "a\x81"}, IsShiftJisLeadByte},
    {"LeadByteAtTheEndOfQuotedProgramName", "\"a\x81", {"a\x81"}, IsShiftJisLeadByte},
};

INSTANTIATE_TEST_SUITE_P(Rules, SplitCommandLineTest, ::testing::ValuesIn(kSplitCases),
                         testing::CaseName());

TEST(SplitCommandLineTest, LongArgumentsComeBackWhole) {
    const std::string first(8000, 'a');
    const std::string second(32000, 'b');
    const std::string line = "p \"" + first + "\" " + second;
    EXPECT_EQ(SplitCommandLine(line, nullptr), (std::vector<std::string>{"p", first, second}));
}

}  // namespace
}  // namespace trunpax
