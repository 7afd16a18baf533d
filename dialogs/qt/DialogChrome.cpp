#include "DialogChrome.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QScreen>
#include <QTimer>
#include <QTranslator>
#include <QTabWidget>
#include <QWidget>
#include <QWindow>
#include <QGroupBox>
#include <QLabel>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <memory>

void MoveOnScreen(QWidget& dialog, int left, int top) {
  const QPoint wanted(left, top);
  QScreen* screen = QGuiApplication::screenAt(wanted);
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) {
    dialog.move(wanted);
    return;
  }
  const QRect area = screen->availableGeometry();
  // The layout may still widen a dialog that was never shown.
  const QSize size = dialog.frameGeometry().size().expandedTo(dialog.size()).expandedTo(dialog.minimumSizeHint());
  const ScreenRect at =
      KeepOnScreen(left, top, size.width(), size.height(), {area.left(), area.top(), area.width(), area.height()});
  dialog.move(at.left, at.top);
}

void CentreOnScreen(QWidget& widget) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  widget.move(area.center() - QPoint(widget.width() / 2, widget.height() / 2));
}

void PlaceOnScreen(QWidget& dialog, const std::optional<std::pair<int32_t, int32_t>>& position) {
  if (position) {
    MoveOnScreen(dialog, position->first, position->second);
  } else {
    CentreOnScreen(dialog);
  }
}

void ApplyCaptions(QWidget& root, std::span<const Caption> captions, bool russian) {
  const QList<QTabWidget*> tabs = root.findChildren<QTabWidget*>();
  for (const Caption& c : captions) {
    const QString text = QString::fromUtf8(russian ? c.russian : c.english);
    for (QTabWidget* pages : tabs) {
      for (int i = 0; i < pages->count(); ++i)
        if (pages->widget(i)->objectName() == QLatin1String(c.name)) pages->setTabText(i, text);
    }
    QObject* o = root.findChild<QObject*>(QLatin1String(c.name));
    if (auto* l = qobject_cast<QLabel*>(o))
      l->setText(text);
    else if (auto* b = qobject_cast<QAbstractButton*>(o))
      b->setText(text);
    else if (auto* g = qobject_cast<QGroupBox*>(o))
      g->setTitle(text);
  }
}

QString StandardButtonCaption(bool russian, const char* standard, const char* english) {
  return russian ? QString::fromStdString(StandardButtonText(standard)) : QString(english);
}

OwnerLink::OwnerLink(QWidget& dialog, int32_t ownerWindow) : Dialog(dialog) {
  if (ownerWindow <= 0) return;
  Owner = QWindow::fromWinId(static_cast<WId>(ownerWindow));
  if (Owner == nullptr) return;
  dialog.winId();
  if (dialog.windowHandle() != nullptr) dialog.windowHandle()->setTransientParent(Owner);
}

OwnerLink::~OwnerLink() {
  if (Dialog.windowHandle() != nullptr) Dialog.windowHandle()->setTransientParent(nullptr);
  delete Owner;
}

void FocusFirstField(QWidget* area) {
  if (area == nullptr) return;
  for (QWidget* w = area->nextInFocusChain(); w != nullptr && w != area; w = w->nextInFocusChain()) {
    if (!area->isAncestorOf(w)) continue;
    if ((w->focusPolicy() & Qt::TabFocus) == 0 || !w->isEnabled() || !w->isVisibleTo(area)) continue;
    w->setFocus(Qt::TabFocusReason);
    return;
  }
}

void UseQtTranslations(const std::string& language) {
  static QTranslator* installed = nullptr;
  if (QCoreApplication::instance() == nullptr) return;
  if (installed != nullptr) {
    QCoreApplication::removeTranslator(installed);
    delete installed;
    installed = nullptr;
  }
  if (!IsRussianLanguage(language)) return;
  auto* t = new QTranslator;
  if (t->load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
              QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(t);
    installed = t;
  } else {
    delete t;
  }
}

std::string StandardButtonText(const char* english) {
  return QCoreApplication::translate("QPlatformTheme", english).toStdString();
}

void AcceptWhenShownIfAsked(const char* okButtonName) {
  if (std::getenv("RIR_DIALOGS_AUTO_ACCEPT") == nullptr || QCoreApplication::instance() == nullptr) return;
  const QString name = QString::fromLatin1(okButtonName);
  auto* timer = new QTimer(QCoreApplication::instance());
  timer->setInterval(300);
  // Kept running after OK: a message the OK itself raises is closed too.
  auto pressed = std::make_shared<bool>(false);
  QObject::connect(timer, &QTimer::timeout, [pressed, name] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) return;
    // A message on the way is written out (a script sees it) and closed.
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      std::fprintf(stderr, "dialog message: %s\n", box->text().toLocal8Bit().constData());
      QAbstractButton* b = box->defaultButton();
      if (b == nullptr) b = box->button(QMessageBox::Ok);
      if (b != nullptr)
        b->click();
      else
        box->close();
      return;
    }
    if (auto* ok = modal->findChild<QAbstractButton*>(name); ok != nullptr && !*pressed) {
      *pressed = true;
      // Clicked from the event loop, not from this timer's slot: Qt does not
      // fire a timer again while its slot runs, so a message that OK raises
      // would never be closed.
      QMetaObject::invokeMethod(ok, &QAbstractButton::click, Qt::QueuedConnection);
    }
  });
  timer->start();
}
