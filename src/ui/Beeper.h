// A short tone on the workstation's sound output; silently nothing without a sound device.
#pragma once

#include <atomic>
#include <thread>

class TBeeper {
public:
    ~TBeeper();
    // Plays frequency Hz for duration ms in the background; a beep still playing is not
    // interrupted and the new one is skipped.
    void Beep(unsigned frequency, unsigned duration);
    int Count() const { return m_Count; }

private:
    std::thread m_Thread;
    std::atomic<bool> m_Playing{false};
    int m_Count = 0;
};
