/* The smallest program that prints what "Trunpax.exe /?" prints: the
 * yardstick for the start-up benchmark. The text is generated at build time
 * from the expected help text, so the two cannot drift apart. */
#include <stdio.h>

#include "minimal_help_text.h"

int main(void) {
    fputs(kHelpText, stdout);
    return 2;
}
