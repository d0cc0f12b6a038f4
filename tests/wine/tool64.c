/* A 64-bit tool that the tests place only in the 64-bit system directory,
 * so that reaching it proves redirection was off. It prints its name, how
 * many arguments it got and each of them in brackets, then exits with the
 * number its first argument holds (0 when there is none). */
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
    printf("tool64 reached: %d arguments", argc - 1);
    for (int i = 1; i < argc; ++i) {
        printf(" [%s]", argv[i]);
    }
    printf("\n");
    return argc > 1 ? atoi(argv[1]) : 0;
}
