// What every dialog of the module does around its controls: captions in the
// host's language, placement on the screen, the host's window as owner, the
// first field's focus and the unattended-run test hook.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>

#include <QString>

#include "dialogs/logic/ControlName.h"
#include "dialogs/logic/DialogHooks.h"
#include "dialogs/logic/DialogLanguage.h"

class QWidget;
class QWindow;

// A control's object name, as its dialog's layout table spells it.
inline QString ObjectName(ControlName name) {
  return QString::fromUtf8(name.View().data(), static_cast<qsizetype>(name.View().size()));
}

// A control under `parent` (nullptr for none yet) with its object name.
template <typename W, typename... Args>
W* Named(ControlName name, QWidget* parent, Args&&... args) {
  auto* w = new W(std::forward<Args>(args)..., parent);
  w->setObjectName(ObjectName(name));
  return w;
}

// Loads a form's request at once: the block type, then the rest.
template <class Form>
void LoadForm(Form& form, const DialogRequest& request) {
  form.LoadType(request.typeName);
  form.LoadSettings(request);
}

// Sets every caption of the table under `root`, in Russian or English.
void ApplyCaptions(QWidget& root, std::span<const Caption> captions, bool russian);
// A standard button's text: Qt's own translation in Russian, `english` else.
QString StandardButtonCaption(bool russian, const char* standard, const char* english);

// Moves a dialog of its current size to (left, top), kept inside the
// available area of the screen nearest that point, so a stored position from
// another screen layout never opens a modal dialog out of reach.
void MoveOnScreen(QWidget& dialog, int left, int top);
// Centres a widget of its current size on the primary screen.
void CentreOnScreen(QWidget& widget);
// The stored position, kept on the screen, or the screen's centre without one.
void PlaceOnScreen(QWidget& dialog, const std::optional<std::pair<int32_t, int32_t>>& position);
// Gives the focus to the first field of `area` that takes it from the keyboard.
void FocusFirstField(QWidget* area);
// Qt's own translations (standard buttons, file dialogs) for the language.
void UseQtTranslations(const std::string& language);
// Translated texts of the standard buttons, from Qt's own translations.
std::string StandardButtonText(const char* english);
// A test hook: with RIR_DIALOGS_AUTO_ACCEPT set, the dialog about to be
// opened presses its OK button once it is shown, so scripts can run the
// dialogs unattended; message boxes on the way are written to standard
// error and closed.
void AcceptWhenShownIfAsked(const char* okButtonName);

// Makes the host's window (a native window id; 0 for none) the owner of the
// dialog while the link lives: the dialog stays on top of it and modal to it.
class OwnerLink {
 public:
  OwnerLink(QWidget& dialog, int32_t ownerWindow);
  ~OwnerLink();
  OwnerLink(const OwnerLink&) = delete;
  OwnerLink& operator=(const OwnerLink&) = delete;

 private:
  QWidget& Dialog;
  QWindow* Owner = nullptr;
};
