// Warning commands (0x0900 to 0x0907): the fault alarm, the switch's syslog and SMTP clients,
// and which system and port events go out through syslog and SMTP.
#pragma once

#include "Port.h"
#include "SessionShapes.h"
#include "ValueNames.h"

#include <string>
#include <vector>

namespace Intp {

// The SMTP Get's reply size is its head; one recipient of 64 bytes per slot follows it.
INTP_COMMAND_TRAITS(2304, 4, 8);
INTP_COMMAND_TRAITS(2305, 8, 4);
INTP_COMMAND_TRAITS(2306, 4, 5);
INTP_COMMAND_TRAITS(2307, 5, 4);
INTP_COMMAND_TRAITS(2308, 4, 197);
INTP_COMMAND_TRAITS(2309, 229, 4);
INTP_COMMAND_TRAITS(2310, 4, 24);
INTP_COMMAND_TRAITS(2311, 24, 4);

struct TPropertyWarningFault {
    static constexpr uint16_t GetCommand = 2304;
    bool Valid = false;
    uint32_t System = 0;   // bit 0 power 1, bit 1 power 2
    uint32_t LinkDown = 0; // bit i = port i
    void Decode(TReader& r);
    void Encode(TWriter& w) const;
};

enum TSyslogMode : uint8_t { smDisable, smClient, smServer, smBoth };

// Modes above 4 give 0x1100.
struct TPropertyWarningSyslog {
    static constexpr uint16_t GetCommand = 2306;
    bool Valid = false;
    uint8_t Mode = smDisable;
    uint32_t Server = 0;
    void Decode(TReader& r);
    void Encode(TWriter& w) const;
    static uint16_t Check(const TPropertyWarningSyslog& record);
};

inline constexpr TValueName SyslogModeNames[] = {{"Disable", "disable"}, {"Client Only", "client"},
                                                {"Server Only", "server"}, {"Both", "both"}};

// The head, then one recipient per slot of the device type; an empty text is an empty slot.
struct TPropertyWarningSmtp {
    static constexpr uint16_t GetCommand = 2308;
    static constexpr std::size_t TextSize = 64;
    static constexpr std::size_t PasswordSize = 32;
    using Entry = std::string;
    static constexpr std::size_t HeadSize = 197;
    static constexpr std::size_t EntrySize = TextSize;
    static constexpr TListCount Count = TListCount::Recipients;
    bool Valid = false;
    bool Enabled = false;
    uint32_t Server = 0;
    std::string Sender;
    std::string Subject;
    std::string Account;
    std::vector<Entry> Entries;
    void DecodeHead(TReader& r);
    void EncodeHead(TWriter& w) const;
    static Entry DecodeEntry(TReader& r) { return r.Text(TextSize); }
    static void EncodeEntry(TWriter& w, const Entry& e) { w.Text(e, TextSize); }
};

struct TPropertyWarningEvent {
    static constexpr uint16_t GetCommand = 2310;
    bool Valid = false;
    uint32_t SyslogSystem = 0;
    uint32_t SyslogLinkUp = 0;
    uint32_t SyslogLinkDown = 0;
    uint32_t SmtpSystem = 0;
    uint32_t SmtpLinkUp = 0;
    uint32_t SmtpLinkDown = 0;
    void Decode(TReader& r);
    void Encode(TWriter& w) const;
    // Clears the port bits the device has no port for.
    void ClipPorts(const TDevice& device);
};

class TSessionWarningFaultGet : public TSessionGetRecord<2304, TPropertyWarningFault> {
public:
    const char* Name() const override { return "FaultGet"; }
};

// Not sent to a device that lacks a port of the link-down mask.
class TSessionWarningFaultSet
    : public TSessionSetRecord<2305, TPropertyWarningFault, TSessionWarningFaultGet> {
public:
    using TSessionSetRecord::TSessionSetRecord;
    const char* Name() const override { return "FaultSet"; }

protected:
    bool BuildRequest(TDevice& device, std::vector<uint8_t>& payload) override;
};

class TSessionWarningSyslogGet : public TSessionGetRecord<2306, TPropertyWarningSyslog> {
public:
    const char* Name() const override { return "SyslogGet"; }
};

class TSessionWarningSyslogSet
    : public TSessionSetRecord<2307, TPropertyWarningSyslog, TSessionWarningSyslogGet> {
public:
    using TSessionSetRecord::TSessionSetRecord;
    const char* Name() const override { return "SyslogSet"; }
};

// A recipient count other than the device type's gives 0x1100.
class TSessionWarningSmtpGet : public TSessionListGet<2308, TPropertyWarningSmtp> {
public:
    const char* Name() const override { return "SmtpGet"; }
};

// The record and the account password, which the request carries between the head and the
// recipients; sent only with exactly one recipient per slot of the device type.
class TSessionWarningSmtpSet : public TSessionSetBase<2309, TSessionWarningSmtpGet> {
public:
    TSessionWarningSmtpSet(const TPropertyWarningSmtp& record, std::string password)
        : m_Record(record), m_Password(std::move(password)) {}
    const char* Name() const override { return "SmtpSet"; }

protected:
    bool BuildRequest(TDevice& device, std::vector<uint8_t>& payload) override;

private:
    TPropertyWarningSmtp m_Record;
    std::string m_Password;
};

class TSessionWarningEventGet : public TSessionGetRecord<2310, TPropertyWarningEvent> {
public:
    const char* Name() const override { return "EventGet"; }
};

// Not sent to a device that lacks a port of the port masks.
class TSessionWarningEventSet
    : public TSessionSetRecord<2311, TPropertyWarningEvent, TSessionWarningEventGet> {
public:
    using TSessionSetRecord::TSessionSetRecord;
    const char* Name() const override { return "EventSet"; }

protected:
    bool BuildRequest(TDevice& device, std::vector<uint8_t>& payload) override;
};

} // namespace Intp
