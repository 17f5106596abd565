#include "Beeper.h"

#include <alsa/asoundlib.h>

#include <cmath>
#include <vector>

namespace {

void Silent(const char*, int, const char*, int, const char*, ...) {}

void Play(unsigned frequency, unsigned duration)
{
    snd_lib_error_set_handler(Silent);
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, 0) < 0)
        return;
    constexpr unsigned Rate = 48000;
    if (snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, 1, Rate, 1, 100000) == 0) {
        std::vector<int16_t> samples(Rate * duration / 1000);
        for (std::size_t i = 0; i < samples.size(); ++i)
            samples[i] = int16_t(12000 * std::sin(2 * M_PI * frequency * double(i) / Rate));
        snd_pcm_sframes_t written = snd_pcm_writei(pcm, samples.data(), samples.size());
        if (written < 0)
            snd_pcm_recover(pcm, int(written), 1);
        snd_pcm_drain(pcm);
    }
    snd_pcm_close(pcm);
}

} // namespace

TBeeper::~TBeeper()
{
    if (m_Thread.joinable())
        m_Thread.join();
}

void TBeeper::Beep(unsigned frequency, unsigned duration)
{
    ++m_Count;
    if (m_Playing.exchange(true))
        return;
    if (m_Thread.joinable())
        m_Thread.join();
    m_Thread = std::thread([this, frequency, duration] {
        Play(frequency, duration);
        m_Playing = false;
    });
}
