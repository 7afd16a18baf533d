#include "ResWaves.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>
#include <cstring>
#include <stdexcept>

static void InitClipResources() { Q_INIT_RESOURCE(clips); }

namespace ResWaves {
namespace {

// The one sound of the module; a new one is refused while it plays. Never
// destroyed at exit: the sound system may be gone by then.
QSoundEffect*& Current() {
  static QSoundEffect* effect = nullptr;
  return effect;
}

QString ClipPath(const QString& name) {
  InitClipResources();
  const QDir clips(":/clips");
  for (const QString& file : clips.entryList(QDir::Files)) {
    if (QString::compare(QFileInfo(file).completeBaseName(), name, Qt::CaseInsensitive) == 0) {
      return clips.filePath(file);
    }
  }
  return QString();
}

bool HasOutputDevice() { return !QMediaDevices::audioOutputs().isEmpty(); }

// Playing time of a PCM WAVE image in milliseconds, from its fmt and data
// chunks; 0 when they cannot be read.
int DurationMs(const QByteArray& image) {
  auto u32 = [&](int at) -> uint32_t {
    uint32_t v = 0;
    if (at >= 0 && at + 4 <= image.size()) std::memcpy(&v, image.constData() + at, 4);
    return v;
  };
  uint32_t byteRate = 0;
  for (int at = 12; at + 8 <= image.size();) {
    const uint32_t id = u32(at), size = u32(at + 4);
    if (id == 0x20746d66u) byteRate = u32(at + 16);  // "fmt "
    if (id == 0x61746164u) {                          // "data"
      return byteRate == 0 ? 0 : static_cast<int>(uint64_t(size) * 1000 / byteRate);
    }
    if (size > uint32_t(image.size())) break;
    at += 8 + static_cast<int>(size) + static_cast<int>(size & 1);
  }
  return 0;
}

bool Start(const QUrl& source, const MessageFn& show, const QString& refusal) {
  if (!HasOutputDevice()) {
    show(kNoSoundCard);
    return false;
  }
  if (IsPlaying()) {
    show(refusal);
    return false;
  }
  delete Current();  // finished, so nothing is cut off
  Current() = new QSoundEffect(QMediaDevices::defaultAudioOutput());
  Current()->setSource(source);
  Current()->play();
  return true;
}

}  // namespace

QStringList ClipNames() { return {"Fantastic", "Perfect", "Great", "Nice_work", "Thank_You"}; }

QByteArray ClipData(const QString& name) {
  const QString path = ClipPath(name);
  if (path.isEmpty()) return {};
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

bool IsPlaying() {
  const QSoundEffect* effect = Current();
  return effect != nullptr && (effect->isPlaying() || effect->status() == QSoundEffect::Loading);
}

bool PlayFile(const QString& name, const MessageFn& show) {
  return Start(QUrl::fromLocalFile(name), show, kBusy);
}

bool PlayClip(const QString& name, const MessageFn& show) {
  const QString path = ClipPath(name);
  const QByteArray image = path.isEmpty() ? QByteArray() : ClipData(name);
  if (image.isEmpty()) throw std::runtime_error(kNoResource);
  if (!Start(QUrl("qrc" + path), show, "Error")) return false;
  // Wait for the end of the clip, with a bound in case no end is reported.
  QSoundEffect* effect = Current();
  QEventLoop loop;
  QTimer bound;
  bound.setSingleShot(true);
  QObject::connect(&bound, &QTimer::timeout, &loop, &QEventLoop::quit);
  auto finished = [effect, &loop] {
    if (!effect->isPlaying() && effect->status() != QSoundEffect::Loading) loop.quit();
  };
  QObject::connect(effect, &QSoundEffect::playingChanged, &loop, finished);
  QObject::connect(effect, &QSoundEffect::statusChanged, &loop, finished);
  bound.start(DurationMs(image) + 1000);
  if (IsPlaying()) loop.exec();
  return true;
}

}  // namespace ResWaves
