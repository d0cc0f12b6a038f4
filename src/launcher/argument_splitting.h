// Splits a raw Windows command line into arguments.
//
// C runtimes disagree on how a command line is split: the system msvcrt.dll
// ends a quoted stretch after a doubled quote, newer runtimes keep it open.
// Splitting the line here, by the older rules, gives the same arguments on
// every Windows whichever runtime the program meets.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace trunpax {

// Answers whether a byte opens a two-byte character in the code page the
// line is in. Null means a single-byte code page.
using LeadByteTest = bool (*)(unsigned char byte);

// The rules:
// - The first word ends at the first blank or tab; when it begins with a
//   double quote it ends at the next one, and the quotes are dropped.
//   Backslashes mean nothing special in it.
// - Further arguments are separated by runs of blanks and tabs.
// - A double quote opens or closes a quoted stretch and is dropped; inside
//   one, blanks and tabs belong to the argument. A lone pair of quotes is an
//   empty argument.
// - 2n backslashes before a double quote give n backslashes and the quote
//   acts as above; 2n+1 give n backslashes and a literal quote. Backslashes
//   anywhere else are literal.
// - Inside a quoted stretch, two double quotes give one literal quote and
//   close the stretch.
// - Nothing is expanded as a file-name pattern.
// - A lead byte and the byte after it are one character: that second byte
//   never counts as a blank, tab, quote or backslash. A lead byte that ends
//   the line stands alone.
std::vector<std::string> SplitCommandLine(std::string_view line, LeadByteTest isLeadByte);

}  // namespace trunpax
