// No processor to choose: DOS runs one, the browser none, and a build that
// answers CPUID from a table reads no processor at all.
#include "platform/processor_bind.h"

void bind_to_lowest_processor() {}
