// x86ident: identifies the x86 processor it runs on.
#include "core/cpuid.h"
#include "core/output.h"
#include "platform/processor_bind.h"
#include "report/report_driver.h"

int main()
{
    // Every leaf of the dump and of the report from one processor.
    bind_to_lowest_processor();
    if (!cpuid_instruction_present()) {
        out_message("x86ident: this processor has no CPUID instruction");
        return 1;
    }
    run_report();
    return out_finish("x86ident");
}
