// The shapes every command takes: a Get that decodes a fixed record, a Get that decodes a
// list (counted by the device type, checked entry by entry, possibly spread over several
// datagrams), and Sets of a fixed record or a list, which refresh their Get before they
// report. Commands of the same shape are instantiations of these templates.
#pragma once

#include "Codec.h"
#include "Session.h"

#include <algorithm>
#include <concepts>
#include <optional>

namespace Intp {

// Where a list's entry count comes from.
enum class TListCount { Free, Ports, Trunks, LogicalPorts, Recipients, AccessList, Communities };

inline int ExpectedCount(const TDevice& device, TListCount rule)
{
    switch (rule) {
    case TListCount::Ports: return device.PortCount();
    case TListCount::Trunks: return device.TrunkCount();
    case TListCount::LogicalPorts: return device.LogicalPortCount();
    case TListCount::Recipients: return device.RecipientCount();
    case TListCount::AccessList: return device.AccessListCount();
    case TListCount::Communities: return device.CommunityCount();
    case TListCount::Free: break;
    }
    return -1;
}

// A fixed record R: bool Valid; void Decode(TReader&); optionally void Encode(TWriter&) const
// and static uint16_t Check(const R&) or Check(const TDevice&, const R&): 0, or the status
// that rejects the decoded values.
template <typename R>
concept CheckedRecord = requires(const TDevice& d, const R& r) { R::Check(r); } ||
                        requires(const TDevice& d, const R& r) { R::Check(d, r); };

template <typename R>
uint16_t CheckRecord(const TDevice& device, const R& record)
{
    if constexpr (requires { R::Check(device, record); })
        return R::Check(device, record);
    else
        return R::Check(record);
}

template <uint16_t N, typename R>
class TSessionGetRecord : public TSessionGeneral<N> {
protected:
    TReplyResult HandleReply(TDevice& device, const TMessage& message,
                             std::span<const uint8_t> payload) override
    {
        R& record = GetProperty<R>(device);
        if (message.Status != stSuccess) {
            record.Valid = false;
        } else {
            TReader reader(payload);
            if constexpr (CheckedRecord<R>) {
                // Decoded into a copy, so that a rejected reply leaves the previous values.
                R fresh = record;
                Decode(device, fresh, reader);
                if (uint16_t rejected = CheckRecord(device, fresh)) {
                    record.Valid = false;
                    this->Report(&device, N, rejected);
                    return rrDone;
                }
                record = std::move(fresh);
            } else {
                Decode(device, record, reader);
            }
            record.Valid = true;
        }
        this->Report(&device, N, message.Status);
        return rrDone;
    }

    // Hook for commands that also update the device from the reply.
    virtual void Decode(TDevice&, R& record, TReader& reader)
    {
        if constexpr (requires { record.Decode(reader); })
            record.Decode(reader);
    }
};

// Reports a Set's reply after starting the matching Get, without receiver, so the cache
// and the shown page are refreshed.
template <uint16_t N, typename GetSession>
class TSessionSetBase : public TSessionGeneral<N> {
protected:
    TReplyResult HandleReply(TDevice& device, const TMessage& message, std::span<const uint8_t>) override
    {
        StartNew<GetSession>(&device, nullptr);
        this->Report(&device, N, message.Status);
        return rrDone;
    }
};

template <uint16_t N, typename R, typename GetSession>
class TSessionSetRecord : public TSessionSetBase<N, GetSession> {
public:
    explicit TSessionSetRecord(const R& record) : m_Record(record) {}
    const R& Record() const { return m_Record; }

protected:
    bool BuildRequest(TDevice&, std::vector<uint8_t>& payload) override
    {
        payload.clear();
        TWriter writer(payload);
        m_Record.Encode(writer);
        payload.resize(TSessionGeneral<N>::RequestLength, 0);
        return true;
    }

    R m_Record;
};

// A list record R:
//   using Entry = ...;            Entry has void Decode(TReader&) and void Encode(TWriter&) const
//   static constexpr size_t HeadSize, EntrySize;
//   static constexpr TListCount Count;
//   bool Valid; std::vector<Entry> Entries;
// optional:
//   static std::vector<Entry>& List(R&)    the list, when it is not Entries
//   static Entry DecodeEntry(TReader&)     for entries without a Decode of their own (texts)
//   static void EncodeEntry(TWriter&, const Entry&)   for entries without an Encode of their own
//   static constexpr bool CountIsLimit     the device type's count is the most, not the only, length
//   static constexpr size_t PerDatagram    a datagram with that many entries means more follow
//   static constexpr size_t MaxEntries     the most a list in several datagrams may gather
//                                          (DefaultMaxEntries otherwise)
//   static constexpr uint16_t CountStatus  status when the count is wrong (0x1100)
//   static constexpr bool ClearOnError     an error status also empties the list
//   static constexpr bool ClearOnRequest   sending the Get empties the record (invalid, no entries)
//   void DecodeHead(TReader&) / void EncodeHead(TWriter&) const
//   static uint16_t CheckHead(const R&)    0, or the status that rejects the decoded head
//                                          (lists in one datagram)
//   static uint16_t Check(const TDevice&, const std::vector<Entry>& earlier, const Entry&)
//                                          0, or the status that rejects the entry
//   static bool TakeApart(R&, const Entry&)  true for an entry the record keeps outside its list
//   static bool Skipped(const Entry&)      true for an entry dropped without error
template <typename R>
auto& EntriesOf(R& record)
{
    if constexpr (requires { R::List(record); })
        return R::List(record);
    else
        return record.Entries;
}

template <typename R>
typename R::Entry DecodeEntry(TReader& reader)
{
    if constexpr (requires { R::DecodeEntry(reader); }) {
        return R::DecodeEntry(reader);
    } else {
        typename R::Entry entry{};
        entry.Decode(reader);
        return entry;
    }
}

template <typename R>
void EncodeEntry(TWriter& writer, const typename R::Entry& entry)
{
    if constexpr (requires { R::EncodeEntry(writer, entry); })
        R::EncodeEntry(writer, entry);
    else
        entry.Encode(writer);
}

// Whether a list of n entries has a length the device type allows: lists counted by the
// device type hold at least one entry and exactly (or, with CountIsLimit, at most) its count.
template <typename R>
bool CountFits(const TDevice& device, std::size_t n)
{
    int expected = ExpectedCount(device, R::Count);
    if (expected < 0)
        return true;
    bool limit = false;
    if constexpr (requires { R::CountIsLimit; })
        limit = R::CountIsLimit;
    return n >= 1 && (limit ? int(n) <= expected : int(n) == expected);
}

template <typename R>
constexpr std::size_t PerDatagramOf()
{
    if constexpr (requires { R::PerDatagram; })
        return R::PerDatagram;
    else
        return 0;
}

// A list in several datagrams ends when a datagram is not full, so a faulty or spoofed
// sender that keeps sending full ones would grow it for ever. No switch of the family holds
// more than 16,384 entries in any table (its MAC table); four times that ends the answer.
constexpr std::size_t DefaultMaxEntries = 65536;

template <typename R>
constexpr std::size_t MaxEntriesOf()
{
    if constexpr (requires { R::MaxEntries; })
        return R::MaxEntries;
    else
        return DefaultMaxEntries;
}

template <typename R>
constexpr uint16_t CountStatusOf()
{
    if constexpr (requires { R::CountStatus; })
        return R::CountStatus;
    else
        return stListCount;
}

template <typename R>
constexpr bool ClearsOnRequest()
{
    if constexpr (requires { R::ClearOnRequest; })
        return PerDatagramOf<R>() > 0 || R::ClearOnRequest;
    else
        return PerDatagramOf<R>() > 0;
}

template <uint16_t N, typename R>
class TSessionListGet : public TSessionGeneral<N> {
protected:
    using Entry = typename R::Entry;

    bool BuildRequest(TDevice& device, std::vector<uint8_t>& payload) override
    {
        if constexpr (ClearsOnRequest<R>()) {
            // A fresh answer is collected datagram by datagram; never mix two answers.
            R& record = GetProperty<R>(device);
            record.Valid = false;
            EntriesOf(record).clear();
            m_First = true;
        }
        return TSessionGeneral<N>::BuildRequest(device, payload);
    }

    TReplyResult HandleReply(TDevice& device, const TMessage& message,
                             std::span<const uint8_t> payload) override
    {
        R& record = GetProperty<R>(device);
        if (message.Status != stSuccess) {
            record.Valid = false;
            if constexpr (requires { R::ClearOnError; })
                if (R::ClearOnError)
                    EntriesOf(record).clear();
            this->Report(&device, N, message.Status);
            return rrDone;
        }
        // Every datagram carries the head, also those that continue a list.
        if (payload.size() < R::HeadSize)
            return Reject(device, record, CountStatusOf<R>());
        std::size_t count = (payload.size() - R::HeadSize) / R::EntrySize;
        TReader reader(payload);

        if constexpr (PerDatagramOf<R>() > 0) {
            if (m_First) {
                // Another exchange of the same list may have filled the record since this
                // request was built (two Gets on the wire at once): start afresh again.
                record.Valid = false;
                EntriesOf(record).clear();
                DecodeHead(record, reader);
            } else {
                reader.Skip(R::HeadSize);
            }
            m_First = false;
            if (uint16_t rejected = DecodeEntries(device, record, reader, count))
                return Reject(device, record, rejected);
            if (EntriesOf(record).size() > MaxEntriesOf<R>())
                return Reject(device, record, stListCount);
            if (count >= PerDatagramOf<R>()) {
                this->KeepWaiting();
                return rrKeep;
            }
            record.Valid = true;
        } else {
            if (!CountFits<R>(device, count))
                return Reject(device, record, CountStatusOf<R>());
            // Decoded into a copy, so that a rejected reply leaves the previous values in place.
            R fresh = record;
            DecodeHead(fresh, reader);
            if constexpr (requires { R::CheckHead(fresh); })
                if (uint16_t rejected = R::CheckHead(fresh))
                    return Reject(device, record, rejected);
            EntriesOf(fresh).clear();
            if (uint16_t rejected = DecodeEntries(device, fresh, reader, count))
                return Reject(device, record, rejected);
            fresh.Valid = true;
            record = std::move(fresh);
        }
        this->Report(&device, N, stSuccess);
        return rrDone;
    }

private:
    static void DecodeHead(R& record, TReader& reader)
    {
        if constexpr (requires { record.DecodeHead(reader); })
            record.DecodeHead(reader);
        else
            reader.Skip(R::HeadSize);
    }

    // Appends count entries, each checked against every entry before it (those of earlier
    // datagrams too); 0, or the status of the first entry that fails.
    static uint16_t DecodeEntries(const TDevice& device, R& record, TReader& reader, std::size_t count)
    {
        auto& entries = EntriesOf(record);
        // Grows geometrically: reserving just this datagram's entries would copy the whole
        // list again for every datagram of a long answer.
        if (entries.capacity() < entries.size() + count)
            entries.reserve(std::max(entries.size() + count, 2 * entries.capacity()));
        for (std::size_t i = 0; i < count; ++i) {
            Entry entry = DecodeEntry<R>(reader);
            if constexpr (requires { R::TakeApart(record, entry); })
                if (R::TakeApart(record, entry))
                    continue;
            if constexpr (requires { R::Skipped(entry); })
                if (R::Skipped(entry))
                    continue;
            if constexpr (requires { R::Check(device, entries, entry); })
                if (uint16_t rejected = R::Check(device, entries, entry))
                    return rejected;
            entries.push_back(entry);
        }
        return stSuccess;
    }

    // One bad datagram rejects the whole answer and ends the session; a list collected over
    // several datagrams drops what it had gathered, so no part of it passes for the list.
    TReplyResult Reject(TDevice& device, R& record, uint16_t status)
    {
        record.Valid = false;
        if constexpr (PerDatagramOf<R>() > 0)
            EntriesOf(record).clear();
        this->Report(&device, N, status);
        return rrDone;
    }

    bool m_First = true;
};

// Sends a whole list; refuses to send an empty list or one whose length the device type
// does not allow.
template <uint16_t N, typename R, typename GetSession>
class TSessionListSet : public TSessionSetBase<N, GetSession> {
public:
    explicit TSessionListSet(const R& record) : m_Record(record) {}
    explicit TSessionListSet(const std::vector<typename R::Entry>& entries) { EntriesOf(m_Record) = entries; }

protected:
    bool BuildRequest(TDevice& device, std::vector<uint8_t>& payload) override
    {
        const auto& entries = EntriesOf(m_Record);
        if (entries.empty() || !CountFits<R>(device, entries.size()))
            return false;
        payload.clear();
        TWriter writer(payload);
        if constexpr (requires { m_Record.EncodeHead(writer); })
            m_Record.EncodeHead(writer);
        else
            writer.Zero(R::HeadSize);
        for (const auto& entry : entries)
            EncodeEntry<R>(writer, entry);
        return payload.size() <= MaxDatagram - 1 - HeaderSize;
    }

    R m_Record;
};

} // namespace Intp
