#ifndef X86IDENT_REPORT_DRIVER_H
#define X86IDENT_REPORT_DRIVER_H

// The whole report: the raw dump of every standard and extended leaf, the
// vendor line, a pause, the vendor's own report and a last pause. The caller
// ends the process after it.
void run_report();

#endif
