// File transfers: the built-in block sender (firmware 0x0100, configuration 0x0102), the
// built-in block receiver (configuration backup 0x0101) and the remote variants that have
// a switch use a TFTP server (0x0109 backup, 0x010A restore, 0x010B upgrade).
#pragma once

#include "SessionShapes.h"

#include <string>

namespace Intp {

// What every transfer session hands to its receivers as data with a status-0 report: the
// block the state refers to (built-in) and the state: 0 going on (built-in send: next
// block), 1 writing flash, 2 done, 3 send again (built-in send), 4 error; built-in sends
// pass other busy values on as they came.
struct TTransferProgress {
    uint16_t Block = 0;
    uint32_t State = 0;
};

enum : uint32_t { tsGoingOn = 0, tsWritingFlash = 1, tsDone = 2, tsSendAgain = 3, tsError = 4 };

// The 38-byte request of the remote transfers.
struct TTftpRequest {
    uint32_t Server = 0;   // host order
    uint16_t Port = 69;
    std::string File;      // cut at 32 bytes, no terminator at 32
};

// Class shapes (defined by the transfer implementation):
//   template <uint16_t N> class TSessionBasicsUpgradeBuildinBase : public TSessionGeneral<N>
//       bool OpenSourceFile(const std::string& path);   // false: no file, Start refuses
//   class TSessionBasicsUpgradeBuildin  (256, "Upgrade")
//   class TSessionBasicsRestoreBuildin  (258, "Restore")
//   class TSessionBasicsBackupBuildin   (257, "Backup")
//       bool OpenTargetFile(const std::string& path);   // false: no file, Start refuses;
//                                                       // written under a temporary name,
//                                                       // renamed to path when complete
//   template <uint16_t N> class TSessionBasicsUpgradeTftpBase : public TSessionGeneral<N>
//       void SetRequest(const TTftpRequest& request);
//   class TSessionBasicsBackupTftp      (265, "TftpBackup")
//   class TSessionBasicsRestoreTftp     (266, "TftpRestore")
//   class TSessionBasicsUpgradeTftp     (267, "TftpUpd")

} // namespace Intp
