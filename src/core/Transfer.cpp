#include "Transfer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

namespace Intp {

void ArmTransferTimer(TSession* session, unsigned interval)
{
    if (auto* cb = SessionCallback()) {
        cb->StartTimer(session, interval);
        cb->SetInterval(session, interval);
        cb->EnableTimer(session, true);
    }
}

std::string TransferTooLargeText(const std::string& file)
{
    return file + " is larger than " + std::to_string(MaxTransferFileSize >> 20) +
           " MiB, the most a built-in transfer can send.";
}

bool TTransferSource::Open(const std::string& path)
{
    Close();
    std::error_code error;
    std::filesystem::path full = std::filesystem::absolute(path, error);
    if (error)
        return false;
    m_File = std::fopen(full.c_str(), "rb");
    m_Position = 0;
    struct stat status;
    if (m_File && (fstat(fileno(m_File), &status) != 0 || !FitsTransfer(std::uintmax_t(status.st_size))))
        Close();
    return m_File != nullptr;
}

void TTransferSource::Close()
{
    if (m_File)
        std::fclose(m_File);
    m_File = nullptr;
}

bool TTransferSource::Read(uint16_t block, std::vector<uint8_t>& payload)
{
    long offset = long(block) * long(TransferBlockSize);
    if (offset != m_Position) {
        if (std::fseek(m_File, offset, SEEK_SET) != 0)
            return false;
        m_Position = offset;
    }
    payload.assign(2 + TransferBlockSize, 0);
    payload[0] = uint8_t(block >> 8);
    payload[1] = uint8_t(block);
    std::size_t got = std::fread(payload.data() + 2, 1, TransferBlockSize, m_File);
    m_Position += long(got);
    if (std::ferror(m_File)) {
        // The position is unknown now; the next read seeks.
        m_Position = -1;
        return false;
    }
    return true;
}

bool TTransferTarget::Open(const std::string& path)
{
    Discard();
    m_Path = path;
    // Never a file another transfer writes: the first free one of "<target>.part",
    // "<target>.1.part", ...; one left behind by a crash is left alone too, and so is any
    // link planted there (a link is never followed, dangling or not). Configurations hold
    // the switch's passwords: only the owner may read them, here and under the target's
    // name, which the rename gives this very file.
    constexpr unsigned MaxTemporaries = 1000;
    for (unsigned n = 0; n < MaxTemporaries; ++n) {
        m_Temporary = path + (n ? "." + std::to_string(n) : std::string()) + ".part";
        const int fd = ::open(m_Temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return false;
        m_File = fdopen(fd, "wb");
        if (!m_File) {
            ::close(fd);
            std::remove(m_Temporary.c_str());
        }
        return m_File != nullptr;
    }
    return false;
}

bool TTransferTarget::Append(std::span<const uint8_t> bytes)
{
    // Flushed at once, so that a full disk shows in the block that did not fit.
    return std::fwrite(bytes.data(), 1, bytes.size(), m_File) == bytes.size() && std::fflush(m_File) == 0;
}

bool TTransferTarget::Commit()
{
    bool closed = std::fclose(m_File) == 0;
    m_File = nullptr;
    // rename() replaces a link at the target itself and never writes through it.
    if (closed && std::rename(m_Temporary.c_str(), m_Path.c_str()) == 0)
        return true;
    std::remove(m_Temporary.c_str());
    return false;
}

void TTransferTarget::Discard()
{
    if (!m_File)
        return;
    std::fclose(m_File);
    m_File = nullptr;
    std::remove(m_Temporary.c_str());
}

bool TSessionBasicsBackupBuildin::BuildRequest(TDevice&, std::vector<uint8_t>& payload)
{
    if (!m_File.IsOpen())
        return false;
    payload = {uint8_t(m_Expected >> 8), uint8_t(m_Expected)};
    return true;
}

TReplyResult TSessionBasicsBackupBuildin::HandleReply(TDevice& device, const TMessage& message,
                                                      std::span<const uint8_t> payload)
{
    if (message.Status != stSuccess) {
        m_File.Discard();
        Report(&device, Command, message.Status);
        return rrDone;
    }
    uint16_t block = ReadU16(payload.data());
    m_Progress = {block, tsGoingOn};
    if (block == LastTransferBlock || block == m_Expected) {
        if (!m_File.Append(payload.subspan(2, TransferBlockSize))) {
            m_File.Discard();
            Report(&device, Command, stTransferAbort);
            return rrDone;
        }
        if (block == LastTransferBlock) {
            if (!m_File.Commit()) {
                Report(&device, Command, stTransferAbort);
                return rrDone;
            }
            m_Progress.State = tsDone;
            Report(&device, Command, stSuccess, {.Progress = &m_Progress});
            return rrDone;
        }
        ++m_Expected;
    }
    Report(&device, Command, stSuccess, {.Progress = &m_Progress});
    Send(device);
    return rrKeep;
}

void TSessionBasicsBackupBuildin::OnTimeout()
{
    TDevice* device = Registry::Find(m_Target, false);
    if (m_Requests >= TransferResends || !device || device->Serial() != m_TargetSerial) {
        TSessionGeneral::OnTimeout();
        return;
    }
    ++m_Requests;
    Send(*device);
}

std::vector<uint8_t> EncodeTftpRequest(const TTftpRequest& request)
{
    std::vector<uint8_t> block;
    TWriter writer(block);
    writer.Ip(request.Server);
    writer.U16(request.Port);
    writer.Text(request.File, TftpNameWidth);
    return block;
}

} // namespace Intp
