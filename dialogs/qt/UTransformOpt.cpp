#include "UTransformOpt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <map>

#include "DialogChrome.h"
#include "QtDialogView.h"
#include "UDb_Edit.h"

TEditButton::TEditButton(const QString& name, const QString& text, QWidget* parent) : QWidget(parent) {
  setObjectName(name);
  Edit = new QLineEdit(text, this);
  Button = new QToolButton(this);
  Button->setText("...");
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(1);
  row->addWidget(Edit);
  row->addWidget(Button);
}

QString TEditButton::text() const { return Edit->text(); }
void TEditButton::setText(const QString& text) { Edit->setText(text); }

using namespace transform_controls;

namespace {

constexpr int kCodeRole = Qt::UserRole;

QString CaptionOf(std::string_view name) { return QString::fromUtf8(TransformCaptionOf(name)); }

// Binds each control member to the control of its own name.
template <class... T>
void FindAll(QObject& root, const char* names, T*&... members) {
  const QStringList list = QString(names).split(',');
  int i = 0;
  ((members = root.findChild<T*>(list[i++].trimmed())), ...);
}
// Every name of a comma-separated list is a control of the layout table.
consteval bool AllListed(std::string_view names) {
  for (;;) {
    const size_t comma = names.find(',');
    std::string_view name = names.substr(0, comma);
    while (name.starts_with(' ')) name.remove_prefix(1);
    while (name.ends_with(' ')) name.remove_suffix(1);
    if (!IsTransformControl(name)) return false;
    if (comma == std::string_view::npos) return true;
    names.remove_prefix(comma + 1);
  }
}
#define FIND_ALL(...)                     \
  static_assert(AllListed(#__VA_ARGS__)); \
  FindAll(*this, #__VA_ARGS__, __VA_ARGS__)

}  // namespace

// The dialog's own controls as the presenter asks for them by name.
class TransformQtView : public QtDialogView, public TransformDialogView {
 public:
  explicit TransformQtView(TTransformsOpt& dialog) : QtDialogView(dialog), dialog_(dialog) {}

  void SetText(ControlName control, const std::string& text) override {
    if (auto* field = qobject_cast<TEditButton*>(&Control(control))) return field->setText(QString::fromUtf8(text));
    QtDialogView::SetText(control, text);
  }

  void ShowKindTree(const std::vector<KindItem>& items, int32_t selected, bool expandAll) override {
    QTreeWidget* tree = dialog_.TreeView;
    tree->clear();
    QTreeWidgetItem* group = nullptr;
    QTreeWidgetItem* chosen = nullptr;
    for (const KindItem& row : items) {
      auto* item = row.child && group != nullptr ? new QTreeWidgetItem(group) : new QTreeWidgetItem(tree);
      item->setText(0, row.caption);
      item->setData(0, kCodeRole, row.code);
      if (!row.child) group = item;
      if (&row - items.data() == selected) chosen = item;
    }
    if (chosen != nullptr) {
      tree->setCurrentItem(chosen);
      dialog_.setProperty("itemIndex", tree->indexFromItem(chosen).row());
    }
    if (expandAll) tree->expandAll();
  }

  std::vector<std::string> EditTable(const float* entries, int32_t shown, int32_t minimumColumns) override {
    // The editor is shared by every list: a minimum left by another list
    // (six for biquad taps) must not pad this one.
    dialog_.tableEdit_->SetMinimumColumns(1);
    dialog_.tableEdit_->LoadList(entries, shown);
    dialog_.tableEdit_->SetMinimumColumns(minimumColumns);
    dialog_.RunTableEditor();
    return dialog_.tableEdit_->Cells();
  }

  std::optional<std::string> RecordText(ControlName control) const override {
    const QString text = qobject_cast<TEditButton*>(&Control(control))->text();
    const QByteArray latin = text.toLatin1();
    return QString::fromLatin1(latin) == text ? std::optional(latin.toStdString()) : std::nullopt;
  }
  void SetRecordText(ControlName control, const std::string& text) override {
    qobject_cast<TEditButton*>(&Control(control))->setText(QString::fromLatin1(text));
  }

 private:
  TTransformsOpt& dialog_;
};

TTransformsOpt::TTransformsOpt(DialogHooks hooks, QWidget* parent) : QDialog(parent) {
  setObjectName(ObjectName("TransformsOpt"_ctl));
  setWindowTitle(kTransformDialogCaption.english);
  tableEdit_ = new TTableEdit(this);
  RunTableEditor = [this] { return tableEdit_->exec(); };
  TreeView = Named<QTreeWidget>("TreeView"_ctl, this);
  TreeView->setHeaderHidden(true);
  TreeView->setEditTriggers(QAbstractItemView::NoEditTriggers);
  TreeView->setMinimumWidth(190);
  GroupBox1 = Named<QGroupBox>("GroupBox1"_ctl, this, CaptionOf("GroupBox1"_ctl));
  Notebook = Named<QStackedWidget>("Notebook"_ctl, GroupBox1);
  (new QVBoxLayout(GroupBox1))->addWidget(Notebook);
  BuildPages();

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(BuildControl(ControlKind::Label, "SigLen_label"_ctl, this));
  bottom->addWidget(BuildControl(ControlKind::Number, "Num_Points"_ctl, this));
  bottom->addStretch();
  for (const ControlName name : {"PreViewBtn"_ctl, "Apply_Btn"_ctl, "BitBtn1"_ctl})
    bottom->addWidget(Named<QPushButton>(name, this, CaptionOf(name)));
  FIND_ALL(GroupBox1, Multi_Rate_Box, LMSS_Multi_Rate, SigLen_label, IIRSDelay_Label, Result_label, PreViewBtn,
           Apply_Btn, BitBtn1, Num_Points, WindowLen, Sampl_Factor, Sampl_Phase, Corr_nLags, BitRev_Order,
           FIRH_UpFactor, FIRH_UpPhase, FIRH_DownFactor, FIRH_DownPhase, LMSS_ErrDly, LMSS_DwnFactor, LMSS_DwnPhase,
           Win_Alpha, Win_Beta, Goertzel_Frequency, Thresh_param, LMSS_Step, LMSS_Leak, Add_Sub_coef, Mpy_Div_coef,
           Ck_Forw, Ck_Init, Ck_Inv, Ck_NoScale, Ck_NoBitRev, Ck_InBitRev, Ck_OutBitRev, CK_OutRCPack, CK_OutRCPerm,
           CK_InRCPack, CK_InRCPerm, isMulti_Rate, IIRS_isBiquads, LMSS_isAdaptB, LMSH_isMulti, corrType, Thresh_RelOp,
           IIRS_Type, LMSS_Type, Conv_H_12D, FIRS_Taps, FIRS_Delay, IIRS_Taps, IIRS_Delay, LMSS_Taps, LMSS_Delay,
           LMSS_Formula, Basis_func, User_func, LMSS_Pages, Basis_memo);
  Apply_Btn->setDefault(true);
  auto* main = new QGridLayout(this);
  main->addWidget(TreeView, 0, 0, 2, 1);
  main->addWidget(GroupBox1, 0, 1);
  main->addLayout(bottom, 1, 1);
  main->setColumnStretch(1, 1);
  resize(640, 360);

  view_ = std::make_unique<TransformQtView>(*this);
  presenter_ = std::make_unique<TransformDialogPresenter>(*view_, *view_, std::move(hooks));
  connect(Apply_Btn, &QPushButton::clicked, this, [this] {
    if (presenter_->Accept()) accept();
  });
  connect(BitBtn1, &QPushButton::clicked, this, &QDialog::reject);
  connect(PreViewBtn, &QPushButton::clicked, this, [this] { presenter_->Clicked("PreViewBtn"_ctl); });
  connect(TreeView, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    if (item == nullptr) return;
    if (item->parent() == nullptr) item->setExpanded(true);
    presenter_->KindSelected(item->data(0, kCodeRole).toInt());
    ShowTags();
  });
  presenter_->Start();
}

TTransformsOpt::~TTransformsOpt() = default;

void TTransformsOpt::BuildPages() {
  std::map<QString, QWidget*> widgets;  // pages, LMS tabs, group boxes and controls by name
  for (const char* page : TransformPages()) {
    Notebook->addWidget(widgets[page] = Named<QWidget>(ControlName(page), nullptr));
  }
  const auto controls = TransformPageControls();
  auto holder = [](const PageControl& c) {
    return QString(c.box != nullptr ? c.box : c.tab >= 0 ? kLmsTabs[c.tab] : c.page);
  };
  for (size_t i = 0; i < controls.size(); ++i) {
    const PageControl& c = controls[i];
    const QString key = holder(c);
    QWidget* parent = widgets.at(key);
    QWidget* control = widgets[c.name] = BuildControl(c.kind, ControlName(c.name), parent);
    for (int tab = 0; c.kind == ControlKind::Tabs && tab < 2; ++tab) {
      widgets[kLmsTabs[tab]] = Named<QWidget>(ControlName(kLmsTabs[tab]), nullptr);
      static_cast<QTabWidget*>(control)->addTab(widgets[kLmsTabs[tab]], kLmsTabs[tab]);
    }
    // Each page, tab and box: a grid, a column, one centred label or a
    // form of rows, a label and its control sharing one.
    QLayout* layout = parent->layout();
    if (key == "FFT_Flags" || key == "Multi_Rate_Box") {
      if (layout == nullptr) layout = new QGridLayout(parent);
      static_cast<QGridLayout*>(layout)->addWidget(control, c.row, c.column);
    } else if (key == "None" || key == "Disabled") {
      (new QVBoxLayout(parent))->addWidget(control, 0, Qt::AlignCenter);
    } else if (key == "Users_transform" || key == "LMSS") {
      (layout != nullptr ? layout : new QVBoxLayout(parent))->addWidget(control);
    } else {
      auto* form = layout != nullptr ? static_cast<QFormLayout*>(layout) : new QFormLayout(parent);
      const auto pairs = [&](size_t a, size_t b) {
        return b < controls.size() && controls[a].kind == ControlKind::Label && controls[b].row == controls[a].row &&
               holder(controls[b]) == holder(controls[a]);
      };
      if (i > 0 && pairs(i - 1, i)) {
        form->addRow(static_cast<QLabel*>(widgets.at(controls[i - 1].name)), control);
      } else if (!pairs(i, i + 1)) {
        form->addRow(control);
      }
    }
  }
  static_cast<QGridLayout*>(widgets.at("FFT_Flags")->layout())->setRowStretch(5, 1);
}

// A control of its kind; the presenter gives it its design state.
QWidget* TTransformsOpt::BuildControl(ControlKind kind, ControlName name, QWidget* parent) {
  QWidget* w = nullptr;
  switch (kind) {
    case ControlKind::Label:
    case ControlKind::CenteredLabel:
      w = new QLabel(CaptionOf(name), parent);
      break;
    case ControlKind::Number: {
      const NumberControl& n = *FindNumberControl(name);
      if (n.decimals == 0) {
        w = new QSpinBox(parent);
      } else {
        auto* spin = new QDoubleSpinBox(parent);
        spin->setDecimals(n.decimals);
        spin->setSingleStep(n.step);
        w = spin;
      }
      break;
    }
    case ControlKind::Check:
      w = new QCheckBox(CaptionOf(name), parent);
      break;
    case ControlKind::Combo: {
      auto* list = new QComboBox(parent);
      for (const char* item : FindComboControl(name)->items) list->addItem(QString::fromUtf8(item));
      w = list;
      break;
    }
    case ControlKind::Field: {
      auto* field = new TEditButton(ObjectName(name), QString(), parent);
      // A coefficient list is edited in the table editor only, so typed
      // text can never be shown and then silently dropped.
      field->Edit->setReadOnly(ListOfField(name).has_value());
      if (ListOfField(name)) field->Edit->setFocusPolicy(Qt::ClickFocus);
      w = field;
      break;
    }
    case ControlKind::Group:
      w = new QGroupBox(CaptionOf(name), parent);
      break;
    case ControlKind::Tabs:
      w = new QTabWidget(parent);
      break;
    case ControlKind::Memo:
      w = new QPlainTextEdit(parent);
      break;
  }
  w->setObjectName(ObjectName(name));
  Wire(name, w);
  return w;
}

void TTransformsOpt::Wire(ControlName name, QWidget* control) {
  const std::string key(name.View());
  auto number = [this, key](double value) { presenter_->NumberEdited(key, value); };
  auto click = [this, key] { presenter_->Clicked(key); };
  if (auto* spin = qobject_cast<QSpinBox*>(control)) connect(spin, &QSpinBox::valueChanged, this, number);
  if (auto* spin = qobject_cast<QDoubleSpinBox*>(control)) connect(spin, &QDoubleSpinBox::valueChanged, this, number);
  if (auto* field = qobject_cast<TEditButton*>(control)) connect(field->Button, &QToolButton::clicked, this, click);
  if (auto* combo = qobject_cast<QComboBox*>(control))
    connect(combo, &QComboBox::currentTextChanged, this, [this, key] { presenter_->ComboChanged(key); });
  if (auto* box = qobject_cast<QCheckBox*>(control)) {
    // The LMS multi-rate box follows its check box however it is set.
    if (name == "LMSH_isMulti"_ctl)
      connect(box, &QCheckBox::toggled, this, click);
    else
      connect(box, &QCheckBox::clicked, this, click);
  }
}

void TTransformsOpt::LoadType(const std::string& typeName) { presenter_->LoadType(typeName); }

void TTransformsOpt::LoadSettings(const DialogRequest& request) {
  const bool ru = IsRussianLanguage(request.language);
  setWindowTitle(QString::fromUtf8(CaptionText(kTransformDialogCaption, ru)));
  Apply_Btn->setText(StandardButtonCaption(ru, "OK", "OK"));
  BitBtn1->setText(StandardButtonCaption(ru, "Cancel", "Cancel"));
  PlaceOnScreen(*this, request.position);
  openedAt_ = {x(), y()};
  presenter_->LoadSettings(request.language, request.data);
  ShowTags();
}

void TTransformsOpt::ShowTags() {
  setProperty("tag", presenter_->DialogCode());
  TreeView->setProperty("tag", presenter_->DialogCode());
  Notebook->currentWidget()->setProperty("helpContext", presenter_->HelpContext());
}

QString TTransformsOpt::CurrentPage() const { return Notebook->currentWidget()->objectName(); }

bool TTransformsOpt::SelectItem(const QString& caption) {
  const auto found = TreeView->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
  if (found.isEmpty()) return false;
  TreeView->setCurrentItem(found.last());
  return true;
}

QStringList TTransformsOpt::TreeCaptions() const {
  QStringList captions;
  for (QTreeWidgetItemIterator it(TreeView); *it != nullptr; ++it) {
    captions << ((*it)->parent() != nullptr ? " " : "") + (*it)->text(0);
  }
  return captions;
}

void TTransformsOpt::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  presenter_->Activate();
  if (!shownOnce_) {
    shownOnce_ = true;
    FocusFirstField(GroupBox1);
    if (!GroupBox1->isAncestorOf(focusWidget())) TreeView->setFocus(Qt::TabFocusReason);
  }
}

DialogResult TTransformsOpt::Store() {
  DialogResult out;
  out.accepted = result() == QDialog::Accepted;
  if (!out.accepted) return out;
  out.data = presenter_->Result();
  out.position = presenter_->StoredPosition(openedAt_, {x(), y()});
  return out;
}
