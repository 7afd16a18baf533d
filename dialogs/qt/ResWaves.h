// Sound feedback of the wave dialog: a user's WAVE file or a built-in clip.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "dialogs/logic/SoundClips.h"

namespace ResWaves {

using MessageFn = std::function<void(const QString&)>;

// The clips Play goes through for "All_waves", in order.
QStringList ClipNames();
// The bytes of a built-in clip (name compared without regard to case);
// empty when there is none.
QByteArray ClipData(const QString& name);

// Starts playing a file and returns at once. False (after a message) when
// there is no output device, another sound is still playing or the file is
// not a playable PCM WAVE file.
bool PlayFile(const QString& name, const MessageFn& show);
// Plays a built-in clip and waits until the output reports its end (at most
// two seconds longer than the clip lasts). Throws std::runtime_error(SoundClips::kNoResource) for an unknown name.
bool PlayClip(const QString& name, const MessageFn& show);
// Whether a sound started here is still playing.
bool IsPlaying();

}  // namespace ResWaves
