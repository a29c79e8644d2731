#include "output.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {
std::string *capture = nullptr;
}

void out_printf(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    if (capture == nullptr) {
        std::vfprintf(stdout, format, args);
    } else {
        va_list measure;
        va_copy(measure, args);
        int length = std::vsnprintf(nullptr, 0, format, measure);
        va_end(measure);
        if (length > 0) {
            std::size_t old_size = capture->size();
            capture->resize(old_size + static_cast<std::size_t>(length) + 1);
            std::vsnprintf(&(*capture)[old_size], static_cast<std::size_t>(length) + 1, format, args);
            capture->resize(old_size + static_cast<std::size_t>(length));
        }
    }
    va_end(args);
}

void out_char(unsigned char byte)
{
    if (capture == nullptr)
        std::putchar(byte);
    else
        capture->push_back(static_cast<char>(byte));
}

void out_flush()
{
    if (capture == nullptr)
        std::fflush(stdout);
}

int out_finish(const char *program_name)
{
    errno = 0;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return 0;
    int error = errno;
    std::fprintf(stderr, "%s: error writing standard output: %s\n", program_name,
                 error != 0 ? std::strerror(error) : "write failed");
    return 1;
}

void out_capture(std::string *into)
{
    capture = into;
}
