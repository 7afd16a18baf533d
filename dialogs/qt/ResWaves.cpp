#include "ResWaves.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QMediaDevices>
#include <QTimer>
#include <algorithm>
#include <optional>
#include <span>
#include <cstring>
#include <utility>
#include <stdexcept>

#include "dialogs/logic/SoundClips.h"

static void InitClipResources() { Q_INIT_RESOURCE(clips); }

namespace ResWaves {
namespace {

QString ClipPath(const QString& name) {
  InitClipResources();
  const std::optional<std::string> carried = SoundClips::CarriedName(name.toStdString());
  if (!carried) return QString();
  const QString path = ":/clips/" + QString::fromStdString(*carried) + ".wav";
  return QFileInfo::exists(path) ? path : QString();
}

constexpr qint64 kMaxFileBytes = static_cast<qint64>(SoundClips::kMaxFileBytes);

bool HasOutputDevice() { return !QMediaDevices::audioOutputs().isEmpty(); }

// The PCM samples and format of a WAVE image; an invalid format when the
// image is not PCM of 8, 16 or 32 bits.
struct Pcm {
  QAudioFormat format;
  QByteArray samples;
};

Pcm ParseWave(const QByteArray& image) {
  const std::optional<SoundClips::PcmImage> parsed = SoundClips::ParsePcm(
      std::span(reinterpret_cast<const uint8_t*>(image.constData()), static_cast<size_t>(image.size())));
  if (!parsed) return {};
  Pcm pcm;
  pcm.format.setSampleFormat(parsed->bits == 8    ? QAudioFormat::UInt8
                             : parsed->bits == 16 ? QAudioFormat::Int16
                                                  : QAudioFormat::Int32);
  pcm.format.setChannelCount(parsed->channels);
  pcm.format.setSampleRate(static_cast<int>(parsed->sampleRate));
  pcm.samples = image.mid(static_cast<qsizetype>(parsed->dataOffset), static_cast<qsizetype>(parsed->dataBytes));
  return pcm;
}

// Hands the sink the samples, then silence as long as the sink's own buffer:
// the sink reports idle once it has taken everything, and a stop drops what
// it still holds, so only that silence is lost and every sample is heard.
class SoundSource : public QIODevice {
 public:
  SoundSource(Pcm pcm, const QAudioSink* sink) : pcm_(std::move(pcm)), sink_(sink) { open(ReadOnly); }

  bool isSequential() const override { return true; }

 protected:
  qint64 readData(char* data, qint64 len) override {
    qint64 done = 0;
    if (at_ < pcm_.samples.size()) {
      done = std::min(len, pcm_.samples.size() - at_);
      std::memcpy(data, pcm_.samples.constData() + at_, static_cast<size_t>(done));
      at_ += done;
    }
    if (done < len && at_ >= pcm_.samples.size()) {
      if (silenceLeft_ < 0) {
        const int frame = pcm_.format.bytesPerFrame();
        const qint64 tail = sink_->bufferSize() + pcm_.format.bytesForDuration(50000);
        silenceLeft_ = tail - tail % frame;
      }
      const qint64 quiet = std::min(len - done, silenceLeft_);
      // Unsigned 8-bit silence is the middle value.
      std::memset(data + done, pcm_.format.sampleFormat() == QAudioFormat::UInt8 ? 0x80 : 0,
                  static_cast<size_t>(quiet));
      silenceLeft_ -= quiet;
      done += quiet;
    }
    return done;
  }
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  Pcm pcm_;
  const QAudioSink* sink_;
  qint64 at_ = 0;
  qint64 silenceLeft_ = -1;
};

// The one sound of the module; a new one is refused while it plays. Never
// destroyed at exit: the sound system may be gone by then.
struct Playback {
  QAudioSink* sink = nullptr;
  SoundSource* source = nullptr;
  qint64 durationMs = 0;
};
Playback& Current() {
  static Playback playback;
  return playback;
}

void Finish() {
  Playback& p = Current();
  if (p.sink != nullptr && p.sink->state() != QAudio::StoppedState) p.sink->stop();
}

bool Start(const QByteArray& image, const MessageFn& show, const QString& refusal) {
  if (!HasOutputDevice()) {
    show(SoundClips::kNoSoundCard);
    return false;
  }
  Pcm pcm = ParseWave(image);
  if (IsPlaying() || !pcm.format.isValid() || pcm.samples.isEmpty()) {
    show(refusal);
    return false;
  }
  Playback& p = Current();
  delete p.sink;  // stopped, so nothing is cut off
  delete p.source;
  p.durationMs = pcm.format.durationForBytes(static_cast<qint32>(pcm.samples.size())) / 1000;
  p.sink = new QAudioSink(QMediaDevices::defaultAudioOutput(), pcm.format);
  p.source = new SoundSource(std::move(pcm), p.sink);
  // Idle means the sink has taken the samples and the silence behind them.
  QObject::connect(p.sink, &QAudioSink::stateChanged, p.sink, [](QAudio::State state) {
    if (state == QAudio::IdleState) Finish();
  });
  p.sink->start(p.source);
  if (p.sink->state() == QAudio::StoppedState && p.sink->error() != QAudio::NoError) {
    show(refusal);
    return false;
  }
  return true;
}

}  // namespace

QStringList ClipNames() {
  QStringList names;
  for (const char* name : SoundClips::kPlayed) names << name;
  return names;
}

QByteArray ClipData(const QString& name) {
  const QString path = ClipPath(name);
  if (path.isEmpty()) return {};
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

bool IsPlaying() {
  const QAudioSink* sink = Current().sink;
  return sink != nullptr && sink->state() != QAudio::StoppedState;
}

bool PlayFile(const QString& name, const MessageFn& show) {
  QByteArray image;
  QFile file(name);
  // Only regular files of a size a sound can have: a pipe or device could
  // block.
  const QFileInfo info(name);
  if (info.isFile() && info.size() <= kMaxFileBytes && file.open(QIODevice::ReadOnly)) image = file.readAll();
  return Start(image, show, SoundClips::kBusy);
}

bool PlayClip(const QString& name, const MessageFn& show) {
  const QByteArray image = ClipData(name);
  if (image.isEmpty()) throw std::runtime_error(SoundClips::kNoResource);
  if (!Start(image, show, "Error")) return false;
  // Wait for the sink to report the end, with a bound in case it never does.
  QAudioSink* sink = Current().sink;
  QEventLoop loop;
  QTimer bound;
  bound.setSingleShot(true);
  QObject::connect(&bound, &QTimer::timeout, &loop, &QEventLoop::quit);
  QObject::connect(sink, &QAudioSink::stateChanged, &loop, [&loop](QAudio::State state) {
    if (state == QAudio::StoppedState) loop.quit();
  });
  bound.start(static_cast<int>(Current().durationMs) + 2000);
  if (IsPlaying()) loop.exec();
  if (IsPlaying()) Finish();  // the bound ran out
  return true;
}

}  // namespace ResWaves
