// The report's output appended to a string, for tests and fuzzing: the
// output layer itself knows only a sink function.
#ifndef X86IDENT_TESTS_STRING_OUTPUT_H
#define X86IDENT_TESTS_STRING_OUTPUT_H

#include <string>

#include "core/output.h"

inline void append_to_string(void *context, const char *bytes, size_t length)
{
    static_cast<std::string *>(context)->append(bytes, length);
}

// While `into` is not null, output is appended to it instead of going to
// standard output.
inline void capture_output(std::string *into)
{
    if (into != nullptr)
        out_capture(append_to_string, into);
    else
        out_capture(nullptr, nullptr);
}

#endif
