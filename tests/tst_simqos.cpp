// The simulator's QoS commands against the console's sessions, in memory: what a switch
// starts with, that every Set changes what the Get returns, refused Sets, and the fault
// option the decoders must reject.
#include "SimSwitch.h"

#include "core/Qos.h"

#include <QtTest>

using namespace Intp;

class TSimQosTest : public QObject, public TSimSwitchDriver {
    Q_OBJECT

private slots:
    void init()
    {
        OpenSwitch();
        m_Device->SetLoggedIn(true);
    }
    void cleanup() { CloseSwitch(); }

    void startUpState()
    {
        QCOMPARE(Get<TSessionQosGet>(), uint16_t(0));
        QCOMPARE(Get<TSessionQosPortGet>(), uint16_t(0));
        QCOMPARE(Get<TSessionQosCosGet>(), uint16_t(0));
        QCOMPARE(Get<TSessionQosTosGet>(), uint16_t(0));
        QCOMPARE(GetProperty<TPropertyQosPort>(*m_Device).Entries.size(), std::size_t(8));
        QCOMPARE(GetProperty<TPropertyQosCos>(*m_Device).Queues, (std::array<uint8_t, 8>{0, 0, 1, 1, 2, 2, 3, 3}));
    }

    void setsChangeWhatGetsReturn()
    {
        QCOMPARE(Set<TSessionQosSet>(TPropertyQos{false, qsStrict, qtTosFirst}), uint16_t(0));
        QCOMPARE(GetProperty<TPropertyQos>(*m_Device).Type, uint8_t(qtTosFirst));

        const std::vector<TQosByte> queues{{3}, {2}, {1}, {0}, {3}, {2}, {1}, {0}};
        QCOMPARE(Set<TSessionQosPortSet>(queues), uint16_t(0));
        QCOMPARE(GetProperty<TPropertyQosPort>(*m_Device).Entries, queues);

        TPropertyQosCos cos;
        cos.Queues = {3, 3, 3, 3, 0, 0, 0, 0};
        cos.Entries = {{7}, {6}, {5}, {4}, {3}, {2}, {1}, {0}};
        QCOMPARE(Set<TSessionQosCosSet>(cos), uint16_t(0));
        QCOMPARE(GetProperty<TPropertyQosCos>(*m_Device).Queues, cos.Queues);
        QCOMPARE(GetProperty<TPropertyQosCos>(*m_Device).Entries, cos.Entries);

        TPropertyQosTos tos;
        tos.Queues.fill(1);
        tos.Queues[46] = 3;
        QCOMPARE(Set<TSessionQosTosSet>(tos), uint16_t(0));
        QCOMPARE(GetProperty<TPropertyQosTos>(*m_Device).Queues, tos.Queues);
    }

    // Values out of range are refused and change nothing.
    void setsRefused()
    {
        QCOMPARE(Set<TSessionQosSet>(TPropertyQos{false, 2, 0}), Sim::stBadRequest);
        QCOMPARE(Set<TSessionQosPortSet>(std::vector<TQosByte>(8, {4})), Sim::stBadRequest);
        TPropertyQosTos tos;
        tos.Queues[0] = 4;
        QCOMPARE(Set<TSessionQosTosSet>(tos), Sim::stBadRequest);
        QCOMPARE(GetProperty<TPropertyQosTos>(*m_Device).Queues[0], uint8_t(0));
    }

    void badCosPriorityIsRefusedByTheConsole()
    {
        m_Options.badCosPriority.insert(0);
        QCOMPARE(Get<TSessionQosCosGet>(), uint16_t(0x1101));
        QVERIFY(!GetProperty<TPropertyQosCos>(*m_Device).Valid);
    }
};

QTEST_MAIN(TSimQosTest)
#include "tst_simqos.moc"
