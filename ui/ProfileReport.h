#pragma once

#include <QString>

namespace tavlor {

// The profiling table's report for the profiler memo: one line per named section.
QString ProfileReport();

}  // namespace tavlor
