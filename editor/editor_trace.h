// Timings for the benchmarks: when the environment variable
// VORMKIT_EDITOR_TRACE names a file, the editor appends a line to it at a few
// moments ("<milliseconds since the process started> <event> <value>"), for
// example when its window first shows an opened show and when the last
// thumbnail has arrived. Without the variable nothing is written.
#pragma once

void TraceEvent(const char *event, int value);
