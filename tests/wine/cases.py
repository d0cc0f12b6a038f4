"""The cases of the Wine suite, as plain data.

A raw line is the exact command line that caller.exe hands to CreateProcessA
(argv[0] included). Windows paths name what the suite installs: the 64-bit
helpers live only in C:\\windows\\system32 of the 64-bit prefix.
"""

SYSTEM32 = "C:\\windows\\system32"
RECORDER = SYSTEM32 + "\\recorder64.exe"
BLANK_TOOL = "C:\\Windows\\System32\\Blank Dir\\tool64.exe"

LONG_ARGUMENT = "".join(" " if i % 100 == 99 else chr(ord("a") + i % 26) for i in range(8000))

# Trunpax.exe started under COMSPEC=recorder64.exe: (name, raw line, the
# command line that Trunpax hands on, exit code). The recorder must then hold
# exactly "<COMSPEC> /c <command line>".
COMMAND_LINES = [
    # the help text's two examples
    ("help example: tool", r'Trunpax.exe "msg" "0 Hello world!"', "msg 0 Hello world!", 0),
    ("help example: msi", r'Trunpax.exe "C:\path\kestrovan.msi"', r"C:\path\kestrovan.msi", 0),
    # only argv[1] and argv[2] are used
    ("third argument dropped", "Trunpax.exe msg 0 Hello world!", "msg 0", 0),
    ("bare words", "Trunpax.exe tool64 7", "tool64 7", 0),
    # backslashes are literal unless they stand before a double quote
    ("literal backslashes", r"Trunpax.exe a\\b c\d\\", r"a\\b c\d\\", 0),
    ("2n backslashes, quote", r'Trunpax.exe "a\\" b', "a\\ b", 0),
    ("2n+1 backslashes, quote", r'Trunpax.exe a\"b c', 'a"b c', 0),
    ("4 backslashes, quote opens", r'Trunpax.exe a\\\\"b c" d', r"a\\b c d", 0),
    ("escaped quotes kept", r'Trunpax.exe "\"x y\"" "\"z\""', '"x y" "z"', 0),
    # two quotes in a quoted stretch: one literal quote, the stretch ends
    ("doubled quotes", 'Trunpax.exe "say ""hi""" x', 'say "hi" x', 0),
    ("doubled quote ends stretch", 'Trunpax.exe "a""b c" d e', 'a"b c d e', 0),
    # blanks and tabs separate, quoted ones belong to the argument
    ("tab separates", "Trunpax.exe a\tb", "a b", 0),
    ("runs of blanks and tabs", "Trunpax.exe \t a \t\t b \t", "a b", 0),
    ("quoted tab kept", 'Trunpax.exe "a\tb" "c\td"', "a\tb c\td", 0),
    ("quoted blanks kept bare", 'Trunpax.exe "C:\\Blank Dir\\x.exe" "p q"', "C:\\Blank Dir\\x.exe p q", 0),
    ("touching stretches join", 'Trunpax.exe ab"c d"e "f"g', "abc de fg", 0),
    # an unterminated quote runs to the end of the line
    ("unterminated first", 'Trunpax.exe "tool64 0 x', "tool64 0 x", 0),
    ("unterminated second", 'Trunpax.exe a "b  c', "a b  c", 0),
    # empty arguments
    ("empty first", 'Trunpax.exe ""', "", 0),
    ("empty first, then second", 'Trunpax.exe "" b', " b", 0),
    ("empty second", 'Trunpax.exe msg ""', "msg ", 0),
    # no wild-card expansion
    ("wild cards", "Trunpax.exe *.exe ?x*", "*.exe ?x*", 0),
    ("wild cards quoted", 'Trunpax.exe "C:\\windows\\*.*" "a?"', "C:\\windows\\*.* a?", 0),
    # look-alikes of the help switch take the run path
    ("look-alike -?", "Trunpax.exe -?", "-?", 0),
    ("look-alike /h", "Trunpax.exe /h", "/h", 0),
    ("look-alike /H", "Trunpax.exe /H", "/H", 0),
    ("look-alike /??", "Trunpax.exe /??", "/??", 0),
    ("look-alike /?x", "Trunpax.exe /?x", "/?x", 0),
    ("look-alike blank before", 'Trunpax.exe " /?"', " /?", 0),
    ("look-alike blank after", 'Trunpax.exe "/? " x', "/?  x", 0),
    ("look-alike backslash", "Trunpax.exe \\?", "\\?", 0),
    # argv[0] in quotes, with blanks and backslashes, is skipped whole
    ("argv0 quoted with blanks", r'"C:\Program Files\Deploy Kit\Trunpax.exe" "a b" c', "a b c", 0),
    ("argv0 backslash before quote", r'"C:\tools\"  x  y', "x y", 0),
    # a long first argument
    ("first argument of 8000 bytes", 'Trunpax.exe "%s" tail' % LONG_ARGUMENT, LONG_ARGUMENT + " tail", 0),
]

# Usage and help: (name, raw line, expected text, exit code). Every case runs
# with standard output to a file and to a pipe, and must give the exact bytes.
TEXTS = [
    ("usage", "Trunpax.exe", "usage", 1),
    ("usage, trailing blanks and tabs", "Trunpax.exe  \t ", "usage", 1),
    ("help", "Trunpax.exe /?", "help", 2),
    ("help quoted", 'Trunpax.exe "/?"', "help", 2),
    ("help with more arguments", 'Trunpax.exe /? tool64 "0 a"', "help", 2),
    ("renamed copy, usage", "Renamed.exe", "usage", 1),
    ("renamed copy, help", "Renamed.exe /?", "help", 2),
    # "{run}" is the Windows path of the folder the suite runs Trunpax from
    ("argv0 with blanks, usage", '"{run}\\Blank Dir\\Trunpax.exe"', "usage", 1),
    ("argv0 with blanks, help", '"{run}\\Blank Dir\\Trunpax.exe" /?', "help", 2),
]

# Standard output that takes nothing: the exit code stays that of the path and
# nothing reaches standard error. (raw line, exit code) for every kind of
# unusable output the driver knows.
UNUSABLE_OUTPUT_LINES = [("Trunpax.exe", 1), ("Trunpax.exe /?", 2)]
UNUSABLE_OUTPUTS = ["/dev/full", "no handle", "closed fd", "pipe already closed",
                    "reader leaves after one line"]

# Redirection really off: (name, raw line, exact standard output, exit code).
# The controls make the same calls without Trunpax and must not reach the tool.
REDIRECTION = [
    ("tool reached with three arguments", 'Trunpax.exe "tool64" "0 Hello world!"',
     "tool64 reached: 3 arguments [0] [Hello] [world!]\r\n", 0),
    ("interpreter is 64-bit", 'Trunpax.exe "echo %PROCESSOR_ARCHITECTURE%"', "AMD64\r\n", 0),
    ("control: full path, no Trunpax", SYSTEM32 + "\\tool64.exe 0 Hello world!", "", 252),
    ("control: interpreter, no Trunpax", "cmd /c echo %PROCESSOR_ARCHITECTURE%", "x86\r\n", 0),
]
REDIRECTION_CONTROL_MUST_MISS = [
    ("control: tool by name through the interpreter", "cmd /c tool64 0 Hello world!"),
]

# The command's exit code is not passed on: (name, raw line, extra caller
# options, exact standard output or None to ignore it, exit code). The
# controls show that the same commands do end with a non-zero code.
EXIT_CODES = [
    ("exit 7", 'Trunpax.exe "exit 7"', [], "", 0),
    ("exit -1", 'Trunpax.exe "exit -1"', [], "", 0),
    ("tool exits 9", 'Trunpax.exe tool64 "9 nine"', [], "tool64 reached: 2 arguments [9] [nine]\r\n", 0),
    ("interpreter missing", 'Trunpax.exe "exit 7"', ["--set", "COMSPEC=C:\\missing\\none.exe"], None, 0),
    ("control: exit 7", "cmd /c exit 7", [], "", 7),
    ("control: exit -1", "cmd /c exit -1", [], "", 255),
]

# 32-bit Windows (a win32 prefix): the disable operation is there but fails,
# and the command still runs. (name, raw line, exact standard output, exit code)
WIN32 = [
    ("command runs", 'Trunpax.exe "echo ran on %PROCESSOR_ARCHITECTURE%"', "ran on x86\r\n", 0),
    ("command exit code dropped", 'Trunpax.exe "exit 5"', "", 0),
    ("help", "Trunpax.exe /?", None, 2),
]

# The recipe for a program path with blanks, against tool64.exe copied into
# "system32\Blank Dir". (name, raw line, command line Trunpax hands on,
# exact standard output once the real interpreter runs it)
BLANK_PATH = [
    ("recipe: quoted path", r'Trunpax.exe "\"%s\"" "7 x y"' % BLANK_TOOL,
     '"%s" 7 x y' % BLANK_TOOL, "tool64 reached: 3 arguments [7] [x] [y]\r\n"),
    ("recipe: quoted path and quoted parameters",
     r'Trunpax.exe "\"\"%s\"" "\"a b\" c\""' % BLANK_TOOL,
     '""%s" "a b" c"' % BLANK_TOOL, "tool64 reached: 2 arguments [a b] [c]\r\n"),
]

# Under load: 32 calls, 8 at a time, each with its own argument.
LOAD_CALLS = 32
LOAD_PARALLEL = 8
