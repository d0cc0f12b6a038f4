/* A 64-bit stand-in for the command interpreter. Named by COMSPEC, it
 * appends its own raw command line, exactly as it received it, to the file
 * that the variable TRUNPAX_RECORD names, and exits with 0. */
#include <windows.h>

#include <stdio.h>
#include <string.h>

int main(void) {
    char path[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("TRUNPAX_RECORD", path, sizeof path);
    if (length == 0 || length >= sizeof path) {
        fprintf(stderr, "recorder64: TRUNPAX_RECORD is not set\n");
        return 99;
    }
    FILE* record = fopen(path, "ab");
    if (record == NULL) {
        fprintf(stderr, "recorder64: cannot open %s\n", path);
        return 98;
    }
    const char* line = GetCommandLineA();
    fwrite(line, 1, strlen(line), record);
    fclose(record);
    return 0;
}
