/* The smallest program that prints what "Trunpax.exe /?" prints: the
 * yardstick for the start-up benchmark. */
#include <stdio.h>

static const char* const kLines[] = {
    "   Trunpax disables 64 bit file system redirection to enable 32",
    "   bit processes to have access to the 64 bit system directory.",
    "",
    "   Syntax: Trunpax.exe <path to executable> <optional parameters>",
    "",
    "   You must enclose the executable and also the parameters in",
    "   quotation marks.",
    "",
    "       Example: calling a 64 bit tool",
    "                Trunpax.exe \"msg\" \"0 Hello world!\"",
    "",
    "       Example: calling kestrovan.msi with no parameters",
    "                Trunpax.exe \"C:\\path\\kestrovan.msi\"",
    "",
    "    Return codes:",
    "       0      Trunpax.exe successfully ran the executable",
    "       1      Trunpax.exe was called without a parameter list",
    "       2      Trunpax.exe was called with /?",
    "       3      File system redirection could not be enabled.  Either",
    "                  this is not a 64 bit system, or Trunpax.exe was",
    "                  not called in 32 bit mode",
    "       4      An exception occured while trying to run the executable",
};

int main(void) {
    for (unsigned i = 0; i < sizeof kLines / sizeof kLines[0]; ++i) {
        puts(kLines[i]);
    }
    return 2;
}
