#include "core/output.h"

#include <errno.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

OutputSink capture_sink = nullptr;
void *capture_context = nullptr;

// The cause of the first failed write: later failures (and a flush at exit
// that finds nothing left to write) would hide it.
bool write_failed = false;
int first_write_errno = 0;

void note_write_failure()
{
    if (!write_failed) {
        write_failed = true;
        first_write_errno = errno;
    }
}

// Formats into a line-sized buffer; only a longer text needs the heap.
X86IDENT_PRINTF(1, 0) void capture_printf(const char *format, va_list args)
{
    char line[256];
    va_list measure;
    va_copy(measure, args);
    int length = vsnprintf(line, sizeof line, format, measure);
    va_end(measure);
    if (length <= 0)
        return;
    const size_t size = static_cast<size_t>(length);
    if (size < sizeof line) {
        capture_sink(capture_context, line, size);
        return;
    }
    char *text = static_cast<char *>(malloc(size + 1));
    if (text == nullptr)
        abort();
    vsnprintf(text, size + 1, format, args);
    capture_sink(capture_context, text, size);
    free(text);
}

} // namespace

void out_printf(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    if (capture_sink != nullptr)
        capture_printf(format, args);
    else if (vfprintf(stdout, format, args) < 0)
        note_write_failure();
    va_end(args);
}

void out_char(unsigned char byte)
{
    if (capture_sink != nullptr) {
        const char text = static_cast<char>(byte);
        capture_sink(capture_context, &text, 1);
    } else if (putchar(byte) == EOF) {
        note_write_failure();
    }
}

void out_flush()
{
    if (capture_sink == nullptr && fflush(stdout) != 0)
        note_write_failure();
}

void out_message(const char *line)
{
    fprintf(stderr, "%s\n", line);
}

int out_finish(const char *program_name)
{
    errno = 0;
    if (fflush(stdout) != 0 || ferror(stdout))
        note_write_failure();
    if (!write_failed)
        return 0;
    fprintf(stderr, "%s: error writing standard output: %s\n", program_name,
            first_write_errno != 0 ? strerror(first_write_errno) : "write failed");
    return 1;
}

void out_capture(OutputSink sink, void *context)
{
    capture_sink = sink;
    capture_context = context;
}
