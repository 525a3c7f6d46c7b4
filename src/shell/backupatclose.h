// At close: work that no backup holds yet is saved in one, with a progress window (and a
// button to skip it) when that takes more than a moment.
#pragma once

class BackupScheduler;
class MessageBoxes;

namespace backupatclose {

void run(BackupScheduler &scheduler, MessageBoxes &messages);

} // namespace backupatclose
