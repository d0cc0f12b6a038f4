/* A 32-bit caller of the project's own, for the tests and the benchmark.
 *
 * Starts one process from an exact raw command line with CreateProcessA, the
 * way a 32-bit deployment agent starts Trunpax.exe, waits for it and exits
 * with its exit code. The line is read from a file, byte for byte, because a
 * line typed on a Linux shell would be re-quoted by Wine on its way here.
 *
 *   caller.exe [--set NAME=VALUE]... [--no-stdout] [--app PATH]
 *              [--repeat N] [--time] LINE-FILE
 *   caller.exe --wow64-probe
 *
 *   --set NAME=VALUE  set a variable in the environment the child inherits
 *   --no-stdout       start the child with no standard output handle
 *   --app PATH        pass PATH as the application name (the first word of
 *                     the line is then only argv[0])
 *   --repeat N        start the child N times, one after the other
 *   --time            print "elapsed_us=N" to standard error: the time from
 *                     the first start to the last exit
 *   --wow64-probe     start nothing: look up Wow64DisableWow64FsRedirection
 *                     in kernel32.dll, call it once, revert, and print
 *                     "found=F result=R" (1 or 0 each) to standard output,
 *                     so that the tests can tell what this system offers
 *
 * Exit codes: the child's, or 250 for a usage error, 251 when the line file
 * cannot be read, 252 when the child cannot be started. */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int Fail(int code, const char* what) {
    fprintf(stderr, "caller: %s (error %lu)\n", what, (unsigned long)GetLastError());
    return code;
}

static char* ReadLineFile(const char* path) {
    FILE* file = fopen(path, "rb");
    if (file == NULL) {
        return NULL;
    }
    size_t size = 0;
    size_t capacity = 4096;
    char* line = malloc(capacity);
    for (size_t n; line != NULL && (n = fread(line + size, 1, capacity - size - 1, file)) > 0;) {
        size += n;
        if (capacity - size - 1 == 0) {
            capacity *= 2;
            line = realloc(line, capacity);
        }
    }
    fclose(file);
    if (line != NULL) {
        line[size] = '\0';
    }
    return line;
}

typedef BOOL(WINAPI* DisableFunction)(PVOID*);
typedef BOOL(WINAPI* RevertFunction)(PVOID);

static int ProbeRedirection(void) {
    HMODULE kernel = LoadLibraryA("kernel32.dll");
    DisableFunction disable =
        (DisableFunction)GetProcAddress(kernel, "Wow64DisableWow64FsRedirection");
    RevertFunction revert = (RevertFunction)GetProcAddress(kernel, "Wow64RevertWow64FsRedirection");
    PVOID state = NULL;
    BOOL result = disable != NULL && disable(&state);
    if (result && revert != NULL) {
        revert(state);
    }
    printf("found=%d result=%d\n", disable != NULL, result ? 1 : 0);
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 2 && strcmp(argv[1], "--wow64-probe") == 0) {
        return ProbeRedirection();
    }
    const char* application = NULL;
    const char* lineFile = NULL;
    BOOL noStdout = FALSE;
    BOOL timed = FALSE;
    long repeat = 1;

    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--set") == 0 && i + 1 < argc) {
            char* assignment = argv[++i];
            char* equals = strchr(assignment, '=');
            if (equals == NULL) {
                return Fail(250, "--set needs NAME=VALUE");
            }
            *equals = '\0';
            SetEnvironmentVariableA(assignment, equals + 1);
        } else if (strcmp(argv[i], "--no-stdout") == 0) {
            noStdout = TRUE;
        } else if (strcmp(argv[i], "--app") == 0 && i + 1 < argc) {
            application = argv[++i];
        } else if (strcmp(argv[i], "--repeat") == 0 && i + 1 < argc) {
            repeat = strtol(argv[++i], NULL, 10);
        } else if (strcmp(argv[i], "--time") == 0) {
            timed = TRUE;
        } else if (lineFile == NULL && argv[i][0] != '-') {
            lineFile = argv[i];
        } else {
            return Fail(250, "usage: caller.exe [options] LINE-FILE");
        }
    }
    if (lineFile == NULL || repeat < 1) {
        return Fail(250, "usage: caller.exe [options] LINE-FILE");
    }
    const char* line = ReadLineFile(lineFile);
    if (line == NULL) {
        return Fail(251, "cannot read the line file");
    }

    LARGE_INTEGER frequency;
    LARGE_INTEGER started;
    LARGE_INTEGER ended;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&started);

    DWORD exitCode = 0;
    for (long run = 0; run < repeat; ++run) {
        STARTUPINFOA startup;
        memset(&startup, 0, sizeof startup);
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = noStdout ? NULL : GetStdHandle(STD_OUTPUT_HANDLE);
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);

        /* CreateProcessA may write to the line, so each start gets a copy. */
        char* writable = _strdup(line);
        PROCESS_INFORMATION process;
        if (writable == NULL || !CreateProcessA(application, writable, NULL, NULL, TRUE, 0, NULL,
                                                NULL, &startup, &process)) {
            return Fail(252, "cannot start the child");
        }
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        free(writable);
    }

    QueryPerformanceCounter(&ended);
    if (timed) {
        const double microseconds =
            (double)(ended.QuadPart - started.QuadPart) * 1e6 / (double)frequency.QuadPart;
        fprintf(stderr, "elapsed_us=%.0f\n", microseconds);
    }
    return (int)exitCode;
}
