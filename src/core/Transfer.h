// File transfers: the built-in block sender (firmware 0x0100, configuration 0x0102), the
// built-in block receiver (configuration backup 0x0101) and the remote variants that have
// a switch use a TFTP server (0x0109 backup, 0x010A restore, 0x010B upgrade).
#pragma once

#include "Codec.h"
#include "SessionShapes.h"

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

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

INTP_COMMAND_TRAITS(256, 514, 4);
INTP_COMMAND_TRAITS(257, 2, 514);
INTP_COMMAND_TRAITS(258, 514, 4);
INTP_COMMAND_TRAITS(265, 38, 4);
INTP_COMMAND_TRAITS(266, 38, 4);
INTP_COMMAND_TRAITS(267, 38, 4);

constexpr std::size_t TransferBlockSize = 512;
constexpr uint16_t LastTransferBlock = 0xFFFF;
// Block numbers are 16-bit: past 65,536 blocks the number would wrap and the device would
// be sent the start of the file again.
constexpr std::uintmax_t MaxTransferFileSize = std::uintmax_t(0x10000) * TransferBlockSize;
constexpr bool FitsTransfer(std::uintmax_t size) { return size <= MaxTransferFileSize; }
// What the operator is told about a file that does not fit.
std::string TransferTooLargeText(const std::string& file);
// Header status of the request that abandons a built-in send; also what a transfer reports
// when its file cannot be read or written.
constexpr uint16_t stTransferAbort = 0x1100;
constexpr unsigned TransferReplyTime = 3000;
constexpr unsigned TransferBusyWait = 60000;
constexpr unsigned TransferResends = 3;
constexpr std::size_t TftpNameWidth = 32;

// Arms a built-in transfer's timer with the given interval; the timer may already exist
// with another interval (after a wait on a busy device).
void ArmTransferTimer(TSession* session, unsigned interval);

// The file a block sender reads, sequentially unless a block is asked for again.
class TTransferSource {
public:
    TTransferSource() = default;
    TTransferSource(const TTransferSource&) = delete;
    TTransferSource& operator=(const TTransferSource&) = delete;
    ~TTransferSource() { Close(); }

    // False when the file cannot be read or does not fit a transfer.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return m_File != nullptr; }
    // Fills the 514-byte payload: the block number, then the file's bytes of that block
    // (zeros after the end of the file). False when the block cannot be positioned or read.
    bool Read(uint16_t block, std::vector<uint8_t>& payload);

private:
    std::FILE* m_File = nullptr;
    long m_Position = 0;
};

// The file a block receiver writes: a temporary file beside the target that takes the
// target's name only when the last block is in, so no partial file ever has that name.
// The temporary file is created afresh, readable by its owner only, and belongs to this
// transfer alone, also when another transfer heads for the same target; links in the way
// are never followed.
class TTransferTarget {
public:
    TTransferTarget() = default;
    TTransferTarget(const TTransferTarget&) = delete;
    TTransferTarget& operator=(const TTransferTarget&) = delete;
    ~TTransferTarget() { Discard(); }

    bool Open(const std::string& path);
    bool IsOpen() const { return m_File != nullptr; }
    bool Append(std::span<const uint8_t> bytes);
    // Closes the file and gives it the target's name; false (and nothing left) on failure.
    bool Commit();
    // Closes and deletes the temporary file.
    void Discard();

private:
    std::FILE* m_File = nullptr;
    std::string m_Path;
    std::string m_Temporary;
};

// Built-in send of a file in 512-byte blocks; the device answers each block with its
// state (see TTransferProgress).
template <uint16_t N>
class TSessionBasicsUpgradeBuildinBase : public TSessionGeneral<N> {
public:
    // False: no file (or one too large to send), Start refuses.
    bool OpenSourceFile(const std::string& path) { return m_Source.Open(path); }

    void OnTimeout() override
    {
        TDevice* device = Registry::Find(this->m_Target, false);
        if (m_Resends >= TransferResends || !device || device->Serial() != this->m_TargetSerial) {
            TSessionGeneral<N>::OnTimeout();
            return;
        }
        ++m_Resends;
        if (!SendOrAbort(*device))
            delete this;
    }

protected:
    void ArmTimer() override { ArmTransferTimer(this, TransferReplyTime); }

    bool BuildRequest(TDevice&, std::vector<uint8_t>& payload) override
    {
        return m_Source.IsOpen() && m_Source.Read(m_Block, payload);
    }

    TReplyResult HandleReply(TDevice& device, const TMessage& message,
                             std::span<const uint8_t> payload) override
    {
        m_Progress = {ReadU16(payload.data()), ReadU16(payload.data() + 2)};
        if (message.Status != stSuccess) {
            this->Report(&device, N, message.Status, {.Progress = &m_Progress});
            return rrDone;
        }
        if (m_Progress.State == tsGoingOn || m_Progress.State == tsSendAgain) {
            m_Block = m_Progress.State == tsGoingOn ? uint16_t(m_Progress.Block + 1) : m_Progress.Block;
            m_Resends = 0;
            if (!SendOrAbort(device))
                return rrDone;
            this->Report(&device, N, stSuccess, {.Progress = &m_Progress});
            return rrKeep;
        }
        this->Report(&device, N, stSuccess, {.Progress = &m_Progress});
        if (m_Progress.State == tsDone)
            return rrDone;
        // A busy device (writing its flash) answers again when it is ready; resending
        // would only disturb it.
        m_Resends = TransferResends;
        ArmTransferTimer(this, TransferBusyWait);
        return rrKeep;
    }

private:
    // Sends the current block; when it cannot be read, tells the device to give up and
    // reports the abort (the session must end then).
    bool SendOrAbort(TDevice& device)
    {
        if (this->Send(device))
            return true;
        m_Source.Close();
        std::vector<uint8_t> datagram(HeaderSize + TSessionGeneral<N>::RequestLength, 0);
        WriteHeader(datagram.data(), N, stTransferAbort, uint16_t(TSessionGeneral<N>::RequestLength),
                    this->m_Target.Data());
        datagram[HeaderSize] = uint8_t(m_Block >> 8);
        datagram[HeaderSize + 1] = uint8_t(m_Block);
        this->Transmit(device, this->Destination(device), std::move(datagram));
        this->Report(&device, N, stTransferAbort, {.Progress = &m_Progress});
        return false;
    }

    TTransferSource m_Source;
    uint16_t m_Block = 0;
    unsigned m_Resends = 0;
    TTransferProgress m_Progress;
};

class TSessionBasicsUpgradeBuildin : public TSessionBasicsUpgradeBuildinBase<256> {
public:
    const char* Name() const override { return "Upgrade"; }
};

class TSessionBasicsRestoreBuildin : public TSessionBasicsUpgradeBuildinBase<258> {
public:
    const char* Name() const override { return "Restore"; }
};

// Built-in receive of the device's configuration in 512-byte blocks, the last one marked
// 0xFFFF. Three lost replies in the whole transfer are re-requested; the fourth ends it.
class TSessionBasicsBackupBuildin : public TSessionGeneral<257> {
public:
    // False: no file, Start refuses.
    bool OpenTargetFile(const std::string& path) { return m_File.Open(path); }
    const char* Name() const override { return "Backup"; }
    void OnTimeout() override;

protected:
    void ArmTimer() override { ArmTransferTimer(this, TransferReplyTime); }
    bool BuildRequest(TDevice& device, std::vector<uint8_t>& payload) override;
    TReplyResult HandleReply(TDevice& device, const TMessage& message,
                             std::span<const uint8_t> payload) override;

private:
    TTransferTarget m_File;
    uint16_t m_Expected = 0;
    unsigned m_Requests = 0;
    TTransferProgress m_Progress;
};

// The 38-byte request block of the remote transfers.
std::vector<uint8_t> EncodeTftpRequest(const TTftpRequest& request);

// Remote transfer: the switch moves the file with a TFTP server and reports its progress
// until it has finished.
template <uint16_t N>
class TSessionBasicsUpgradeTftpBase : public TSessionGeneral<N> {
public:
    void SetRequest(const TTftpRequest& request) { m_Request = EncodeTftpRequest(request); }

protected:
    bool BuildRequest(TDevice&, std::vector<uint8_t>& payload) override
    {
        if (m_Request.empty())
            return false;
        payload = m_Request;
        return true;
    }

    TReplyResult HandleReply(TDevice& device, const TMessage& message,
                             std::span<const uint8_t> payload) override
    {
        TReader reader(payload);
        uint32_t state = reader.U32();
        bool goingOn = message.Status == stSuccess && (state == tsGoingOn || state == tsWritingFlash);
        m_Progress.State = goingOn || state == tsDone ? state : uint32_t(tsError);
        this->Report(&device, N, message.Status, {.Progress = &m_Progress});
        if (!goingOn)
            return rrDone;
        this->KeepWaiting();
        return rrKeep;
    }

private:
    std::vector<uint8_t> m_Request;
    TTransferProgress m_Progress;
};

class TSessionBasicsBackupTftp : public TSessionBasicsUpgradeTftpBase<265> {
public:
    const char* Name() const override { return "TftpBackup"; }
};

class TSessionBasicsRestoreTftp : public TSessionBasicsUpgradeTftpBase<266> {
public:
    const char* Name() const override { return "TftpRestore"; }
};

class TSessionBasicsUpgradeTftp : public TSessionBasicsUpgradeTftpBase<267> {
public:
    const char* Name() const override { return "TftpUpd"; }
};

} // namespace Intp
