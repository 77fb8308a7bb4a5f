#pragma once
// What the running system says about itself, copied into plain records for the report lines.
#include "core/system_report.hpp"

namespace platform {

// A failed query leaves the record zero-filled.
core::OsVersionRecord QueryOsVersion();
core::MemoryFigures QueryMemoryFigures();

}  // namespace platform
