// The error log: the error dialog's text appended, at the user's request, to
// a file kept small by starting it afresh once it has grown too large.
#pragma once

#include <cstdint>
#include <string>

/// A log larger than this is emptied before the next entry is written.
constexpr std::uint64_t ErrorLogSizeLimit = 10000;

/// Appends TEXT to the log file LOG_PATH (created when missing) as
/// "**********" + TEXT + CR LF + "**********" + CR LF, in one write. True
/// when the entry was written whole.
bool WriteErrorLog(const std::string& logPath, const std::string& text);
