// The sound module: plays PCM buffers through Qt Multimedia. Built as a shared object of its own and loaded
// by AudioOutput when sound is first wanted.
#include "platform/AudioModule.h"

#include <QBuffer>
#include <QByteArray>
#include <QObject>
#include <QtMultimedia/QAudioDevice>
#include <QtMultimedia/QAudioFormat>
#include <QtMultimedia/QAudioSink>
#include <QtMultimedia/QMediaDevices>
#include <vector>

namespace platform
{
namespace
{
struct SOutput
{
    QAudioSink* sink;
    QBuffer* buffer;
    AudioDoneProc done;
    void* ref;
    bool started;
};

std::vector<SOutput*>& Outputs()
{
    static std::vector<SOutput*> list;
    return list;
}

void Finish(SOutput* out)
{
    auto& list = Outputs();
    for (auto it = list.begin(); it != list.end(); ++it)
    {
        if (*it != out) continue;
        list.erase(it);
        // Stopping reports a state change of its own; the output is already out of the list by then.
        out->sink->disconnect();
        out->sink->stop();
        out->sink->deleteLater();
        out->buffer->deleteLater();
        const AudioDoneProc done = out->done;
        void* ref = out->ref;
        delete out;
        if (done) done(ref);
        return;
    }
}

bool HasOutput()
{
    return !QMediaDevices::defaultAudioOutput().isNull();
}

bool Play(const SPcmFormat& format, const void* data, uint32_t size, AudioDoneProc done, void* ref)
{
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull() || !data || !size) return false;
    QAudioFormat f;
    f.setChannelCount(format.channels);
    f.setSampleRate(int(format.sampleRate));
    if (format.bytesPerSample == 1)
        f.setSampleFormat(QAudioFormat::UInt8);
    else if (format.bytesPerSample == 2)
        f.setSampleFormat(QAudioFormat::Int16);
    else
        return false;
    if (!device.isFormatSupported(f)) return false;

    auto* out = new SOutput{new QAudioSink(device, f), new QBuffer, done, ref, false};
    // The bytes are not copied: the caller keeps them alive until the end is reported.
    out->buffer->setData(QByteArray::fromRawData(static_cast<const char*>(data), qsizetype(size)));
    out->buffer->open(QIODevice::ReadOnly);
    QObject::connect(out->sink, &QAudioSink::stateChanged,
                     [out](QAudio::State state)
                     {
                         // Idle: the buffer ran dry, all of it played. Stopped: an error or a stop. While
                         // starting, PlayPcm itself looks at the outcome.
                         if (out->started && (state == QAudio::IdleState || state == QAudio::StoppedState))
                             Finish(out);
                     });
    Outputs().push_back(out);
    out->sink->start(out->buffer);
    if (out->sink->error() != QAudio::NoError || out->sink->state() == QAudio::StoppedState)
    {
        // Failing here is the caller's to report: the done procedure is not called.
        Outputs().pop_back();
        out->sink->disconnect();
        delete out->sink;
        delete out->buffer;
        delete out;
        return false;
    }
    out->started = true;
    return true;
}

uint32_t PlayingCount()
{
    return uint32_t(Outputs().size());
}

void StopAll()
{
    while (!Outputs().empty())
        Finish(Outputs().back());
}
} // namespace
} // namespace platform

extern "C" __attribute__((visibility("default"))) const platform::SAudioModule* QuenvolAudioModule()
{
    static const platform::SAudioModule module{platform::SAudioModule::kVersion, platform::HasOutput,
                                               platform::Play, platform::PlayingCount, platform::StopAll};
    return &module;
}
