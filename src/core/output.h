// The one output layer: every byte of the report goes through here, in
// order, so tests can capture it and a pause can flush it.
#ifndef X86IDENT_OUTPUT_H
#define X86IDENT_OUTPUT_H

#include <stddef.h>
#if defined(__MINGW32__)
#include <stdio.h> // the printf flavour of the format check
#endif

#if defined(__MINGW32__)
#define X86IDENT_PRINTF(fmt, args) __attribute__((format(__MINGW_PRINTF_FORMAT, fmt, args)))
#elif defined(__GNUC__)
#define X86IDENT_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define X86IDENT_PRINTF(fmt, args)
#endif

// Formatted output with printf conventions ("%08lx" takes unsigned long).
void out_printf(const char *format, ...) X86IDENT_PRINTF(1, 2);

// Writes one byte unchanged, whatever its value.
void out_char(unsigned char byte);

// Pushes everything written so far to the screen or file.
void out_flush();

// Writes `line` and a line end to standard error at once: the program's own
// messages, which nothing holds back.
void out_message(const char *line);

// Writes out what is still held. Returns 0, or 1 after telling standard
// error why standard output could not be written (the cause of the first
// failed write: disk full, closed descriptor, broken pipe): a report that
// did not reach its reader is not a success.
int out_finish(const char *program_name);

// Receives the output in place of standard output, in order, piece by piece.
typedef void (*OutputSink)(void *context, const char *bytes, size_t length);

// Tests: while `sink` is not null, every byte goes to it instead of to
// standard output. Keeps the program itself free of C++ library types.
void out_capture(OutputSink sink, void *context);

#endif
