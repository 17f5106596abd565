// A console device and one simulated switch side by side in memory: every request the
// console builds is answered by the switch's handler and the reply (with the rest of a list
// the switch sends after it) is decoded by the console. No network.
#pragma once

#include "FakeSessionCallback.h"

#include "Commands.h"
#include "Options.h"

#include <memory>

class TSimSwitchDriver {
protected:
    static constexpr uint32_t SimAddress = 0x0A000001;

    // A fresh device (8 ports, 4 trunk groups) and a KX40-GT switch with default options.
    void OpenSwitch(uint8_t vlanMode = 2)
    {
        m_Setup = std::make_unique<TFakeDeviceSetup>(SimAddress);
        m_Fake = m_Setup->Fake;
        m_Device = m_Setup->Device;
        m_Options = Sim::TOptions();
        MakeSwitch(vlanMode);
    }
    void CloseSwitch() { m_Setup.reset(); }
    void MakeSwitch(uint8_t vlanMode)
    {
        Sim::TConfig config;
        config.ports = Sim::PortsOfModel("KX40-GT");
        config.vlans = Sim::VlansOf(config.ports, vlanMode);
        m_Switch = std::make_unique<Sim::TSwitch>(0, Sim::TMac{0x00, 0x0A, 0x1B, 0x2C, 0x3D, 0x01}, "KX40-GT", config);
    }

    // Answers the console's last request as the simulated switch does; the status the
    // console reported for that command (0xFFFF: no report, or more than one).
    uint16_t Answer()
    {
        const std::vector<uint8_t> request = m_Fake->Sent.back().Bytes;
        const uint16_t command = Intp::ReadU16(request.data());
        const Sim::TCommand& handler = Sim::Commands().at(command);
        Sim::TRequest rq;
        rq.command = command;
        rq.payload = request.data() + Intp::HeaderSize;
        rq.size = request.size() - Intp::HeaderSize;
        rq.options = &m_Options;
        Sim::TReply reply = rq.size < handler.requestSize ? Sim::TReply{Sim::stBadRequest, {}, 0}
                                                          : handler.handler(*m_Switch, rq);
        if (reply.payload.isEmpty())
            reply.payload = QByteArray(handler.replySize, '\0');
        const std::size_t reported = m_Fake->Results.size();
        Deliver(SimAddress, MakeDatagram(command, reply.status, Mac(1), Bytes(reply.payload)));
        for (const QByteArray& payload : std::as_const(reply.following))
            Deliver(SimAddress, MakeDatagram(command, 0, Mac(1), Bytes(payload)));
        m_LastDatagrams = 1 + std::size_t(reply.following.size());
        if (m_Fake->Results.size() != reported + 1 || m_Fake->Results.back().Code != command)
            return 0xFFFF;
        return m_Fake->Results.back().Status;
    }

    template <typename S>
    uint16_t Get()
    {
        if (!Intp::StartNew<S>(m_Device, nullptr))
            return 0xFFFF;
        return Answer();
    }

    // The Set's status, after its Get was answered too.
    template <typename S, typename A>
    uint16_t Set(const A& argument)
    {
        if (!Intp::StartNew<S>(m_Device, nullptr, argument))
            return 0xFFFF;
        const uint16_t status = Answer();
        return Answer() == 0 ? status : 0xFFFF;
    }

    static std::vector<uint8_t> Bytes(const QByteArray& bytes) { return {bytes.begin(), bytes.end()}; }

    std::unique_ptr<TFakeDeviceSetup> m_Setup;
    TFakeSessionCallback* m_Fake = nullptr;
    TDevice* m_Device = nullptr;
    Sim::TOptions m_Options;
    std::unique_ptr<Sim::TSwitch> m_Switch;
    std::size_t m_LastDatagrams = 0; // of the last answer
};
