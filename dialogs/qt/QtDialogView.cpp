#include "QtDialogView.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QTabWidget>
#include <stdexcept>

#include "RXEditDelay.h"

namespace {

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

[[noreturn]] void Unsupported(std::string_view what, const QWidget& control) {
  throw std::logic_error(std::string(what) + " is not defined for " + control.objectName().toStdString());
}

}  // namespace

QWidget& QtDialogView::Control(std::string_view name) const {
  const QString key = Q(name);
  if (dialog_.objectName() == key) return dialog_;
  if (auto* found = dialog_.findChild<QWidget*>(key)) return *found;
  throw std::logic_error("no control named " + std::string(name));
}

void QtDialogView::SetNumber(ControlName control, double value) {
  QWidget& w = Control(control);
  if (auto* delay = qobject_cast<TRXEditDelay*>(&w)) return delay->AssignDelay(static_cast<int64_t>(value));
  if (auto* spin = qobject_cast<QSpinBox*>(&w)) return spin->setValue(static_cast<int>(value));
  if (auto* spin = qobject_cast<QDoubleSpinBox*>(&w)) return spin->setValue(value);
  Unsupported("a number", w);
}

void QtDialogView::SetRange(ControlName control, double minimum, double maximum) {
  QWidget& w = Control(control);
  if (auto* spin = qobject_cast<QSpinBox*>(&w))
    return spin->setRange(static_cast<int>(minimum), static_cast<int>(maximum));
  if (auto* spin = qobject_cast<QDoubleSpinBox*>(&w)) return spin->setRange(minimum, maximum);
  Unsupported("a range", w);
}

void QtDialogView::SetText(ControlName control, const std::string& text) {
  QWidget& w = Control(control);
  if (&w == &dialog_) return w.setWindowTitle(Q(text));
  if (auto* edit = qobject_cast<QLineEdit*>(&w)) return edit->setText(Q(text));
  if (auto* edit = qobject_cast<QPlainTextEdit*>(&w)) return edit->setPlainText(Q(text));
  if (auto* label = qobject_cast<QLabel*>(&w)) return label->setText(Q(text));
  if (auto* button = qobject_cast<QAbstractButton*>(&w)) return button->setText(Q(text));
  if (auto* group = qobject_cast<QGroupBox*>(&w)) return group->setTitle(Q(text));
  if (auto* combo = qobject_cast<QComboBox*>(&w); combo != nullptr && combo->isEditable())
    return combo->setEditText(Q(text));
  Unsupported("a text", w);
}

std::string QtDialogView::Text(ControlName control) const {
  QWidget& w = Control(control);
  if (&w == &dialog_) return w.windowTitle().toStdString();
  if (auto* edit = qobject_cast<QLineEdit*>(&w)) return edit->text().toStdString();
  if (auto* edit = qobject_cast<QPlainTextEdit*>(&w)) return edit->toPlainText().toStdString();
  if (auto* label = qobject_cast<QLabel*>(&w)) return label->text().toStdString();
  if (auto* button = qobject_cast<QAbstractButton*>(&w)) return button->text().toStdString();
  if (auto* group = qobject_cast<QGroupBox*>(&w)) return group->title().toStdString();
  if (auto* combo = qobject_cast<QComboBox*>(&w)) return combo->currentText().toStdString();
  if (auto* spin = qobject_cast<QAbstractSpinBox*>(&w)) return spin->text().toStdString();
  Unsupported("a text", w);
}

void QtDialogView::SetChecked(ControlName control, bool checked) {
  QWidget& w = Control(control);
  if (auto* button = qobject_cast<QAbstractButton*>(&w)) return button->setChecked(checked);
  if (auto* group = qobject_cast<QGroupBox*>(&w)) return group->setChecked(checked);
  Unsupported("a check", w);
}

bool QtDialogView::Checked(ControlName control) const {
  QWidget& w = Control(control);
  if (auto* button = qobject_cast<QAbstractButton*>(&w)) return button->isChecked();
  if (auto* group = qobject_cast<QGroupBox*>(&w)) return group->isChecked();
  Unsupported("a check", w);
}

void QtDialogView::SetIndex(ControlName control, int32_t index) {
  QWidget& w = Control(control);
  if (auto* combo = qobject_cast<QComboBox*>(&w)) return combo->setCurrentIndex(index);
  if (auto* tabs = qobject_cast<QTabWidget*>(&w)) return tabs->setCurrentIndex(index);
  if (auto* stack = qobject_cast<QStackedWidget*>(&w)) return stack->setCurrentIndex(index);
  Unsupported("an index", w);
}

int32_t QtDialogView::Index(ControlName control) const {
  QWidget& w = Control(control);
  if (auto* combo = qobject_cast<QComboBox*>(&w)) return combo->currentIndex();
  if (auto* tabs = qobject_cast<QTabWidget*>(&w)) return tabs->currentIndex();
  if (auto* stack = qobject_cast<QStackedWidget*>(&w)) return stack->currentIndex();
  Unsupported("an index", w);
}

void QtDialogView::SetItems(ControlName control, const std::vector<ListItem>& items) {
  auto* combo = qobject_cast<QComboBox*>(&Control(control));
  if (combo == nullptr) Unsupported("items", Control(control));
  combo->clear();
  for (const ListItem& item : items) combo->addItem(Q(item.text));
  auto* model = qobject_cast<QStandardItemModel*>(combo->model());
  auto* list = qobject_cast<QListView*>(combo->view());
  for (int i = 0; i < static_cast<int>(items.size()); ++i) {
    if (items[static_cast<size_t>(i)].offered) continue;
    if (model != nullptr) model->item(i)->setEnabled(false);
    if (list != nullptr) list->setRowHidden(i, true);
  }
}

void QtDialogView::SetVisible(ControlName control, bool visible) { Control(control).setVisible(visible); }
void QtDialogView::SetEnabled(ControlName control, bool enabled) { Control(control).setEnabled(enabled); }
void QtDialogView::SetHint(ControlName control, const std::string& hint) { Control(control).setToolTip(Q(hint)); }

void QtDialogView::ShowMessage(const std::string& text, MessageKind kind) {
  const QMessageBox::Icon icon = kind == MessageKind::Error     ? QMessageBox::Critical
                                 : kind == MessageKind::Warning ? QMessageBox::Warning
                                                                : QMessageBox::Information;
  QMessageBox box(icon, dialog_.windowTitle(), Q(text), QMessageBox::Ok, &dialog_);
  box.exec();
}
