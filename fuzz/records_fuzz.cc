// Any bytes as the record beside a recovery copy and as a lock file: the
// readers neither crash nor hang, and what they read is written back to the
// same reading.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "project/project_lock.h"
#include "project/recovery_copies.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  if (const std::optional<veltrano::RecoveryRecord> record = veltrano::ParseRecordText(text)) {
    const std::optional<veltrano::RecoveryRecord> again =
        veltrano::ParseRecordText(veltrano::RecordText(*record));
    if (!again || again->original != record->original || again->name != record->name ||
        again->saved != record->saved || again->host != record->host ||
        again->pid != record->pid || again->original_stamp != record->original_stamp) {
      std::abort();
    }
  }

  if (const std::optional<veltrano::LockHolder> holder = veltrano::ParseLockLine(text)) {
    // Names are written with "," and ";" replaced, so a second round
    // changes nothing.
    const std::optional<veltrano::LockHolder> once =
        veltrano::ParseLockLine(veltrano::LockLine(*holder));
    if (!once || once->pid != holder->pid || once->since != holder->since) std::abort();
    const std::optional<veltrano::LockHolder> twice =
        veltrano::ParseLockLine(veltrano::LockLine(*once));
    if (!twice || twice->Named() != once->Named()) std::abort();
  }
  return 0;
}
