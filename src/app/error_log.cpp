#include "app/error_log.h"

#include "lib/error.h"
#include "lib/file.h"
#include "lib/platform/platform.h"

bool WriteErrorLog(const std::string& logPath, const std::string& text) {
  plat::FileHandle file = plat::InvalidFile;
  try {
    plat::SetLastError(plat::ErrorSuccess);
    file = plat::OpenAlways(logPath);
    if (LastCreateFailed() || file == plat::InvalidFile) {
      if (file != plat::InvalidFile)
        plat::CloseFile(file);
      return false;
    }
    bool ok = true;
    if (GetFileSize(file) > ErrorLogSizeLimit) {
      plat::SetLastError(plat::ErrorSuccess);
      ok = plat::TruncateToZero(file);
    }
    plat::SetLastError(plat::ErrorSuccess);
    ok = plat::SeekToEnd(file) && ok;
    const std::string entry = "**********" + text + "\r\n**********\r\n";
    // A failed write must not pass for a logged report, whatever the last
    // error says afterwards.
    ok = plat::WriteFile(file, entry.data(), entry.size()) && ok;
    const bool failed = LastCallFailed();
    plat::CloseFile(file);
    return ok && !failed;
  } catch (...) {
    if (file != plat::InvalidFile)
      plat::CloseFile(file);
    return false;
  }
}
