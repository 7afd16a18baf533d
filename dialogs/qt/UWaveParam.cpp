#include "UWaveParam.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <exception>
#include <span>

#include "DialogChrome.h"
#include "ResWaves.h"

using namespace wave_controls;

namespace {

QStringList Items(std::span<const char* const> items) {
  QStringList list;
  for (const char* item : items) list << item;
  return list;
}

QToolButton* BrowseButton(ControlName name, QWidget* parent) {
  auto* button = Named<QToolButton>(name, parent);
  button->setText("...");
  return button;
}

}  // namespace

TWavesForm::TWavesForm(DialogHooks hooks, QWidget* parent)
    : QDialog(parent), hooks_(std::move(hooks)), view_(*this, hooks_), presenter_(view_) {
  setObjectName(ObjectName("WavesForm"_ctl));
  setWindowTitle(WaveDialog::TextsFor(false).title);
  PageControl = Named<QTabWidget>("PageControl"_ctl, this);
  BuildLoadPage();
  BuildSavePage();
  PageControl->addTab(LoadWaveTab, "Load Wave");
  PageControl->addTab(SaveWaveTab, "Save Wave");

  OKBtn = Named<QPushButton>("OKBtn"_ctl, this, "&OK");
  CancelBtn = Named<QPushButton>("CancelBtn"_ctl, this, "&Cancel");
  PlayBtn = Named<QPushButton>("PlayBtn"_ctl, this, "Pl&ay");
  PlayBtn->setDefault(true);
  HelpBtn = Named<QPushButton>("HelpBtn"_ctl, this, "&Help");
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(PlayBtn, &QPushButton::clicked, this, &TWavesForm::PlayBtnClick);
  connect(LoadBitBtn, &QToolButton::clicked, this, &TWavesForm::HandleChangeName);
  connect(SaveBitBtn, &QToolButton::clicked, this, &TWavesForm::HandleChangeName);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  for (QPushButton* button : {OKBtn, CancelBtn, PlayBtn, HelpBtn}) buttons->addWidget(button);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(PageControl);
  layout->addLayout(buttons);
  resize(430, 260);
}

void TWavesForm::BuildLoadPage() {
  LoadWaveTab = Named<QWidget>("LoadWaveTab"_ctl, nullptr);
  FileNam_lab = Named<QLabel>("FileNam_lab"_ctl, LoadWaveTab, "File Name");
  LoadFileName = Named<QLineEdit>("LoadFileName"_ctl, LoadWaveTab);
  LoadFileName->setMaxLength(WaveDialog::kNameLimit);
  LoadBitBtn = BrowseButton("LoadBitBtn"_ctl, LoadWaveTab);
  RxLabel1 = Named<QLabel>("RxLabel1"_ctl, LoadWaveTab, "Properties");
  WaveProp = Named<QPlainTextEdit>("WaveProp"_ctl, LoadWaveTab);
  WaveProp->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  WaveProp->setFont(QFont("Monospace"));
  // The header lines describe the file; Tab moves on instead of typing.
  WaveProp->setReadOnly(true);
  WaveProp->setTabChangesFocus(true);
  auto* grid = new QGridLayout(LoadWaveTab);
  grid->addWidget(FileNam_lab, 0, 0);
  grid->addWidget(LoadFileName, 0, 1);
  grid->addWidget(LoadBitBtn, 0, 2);
  grid->addWidget(RxLabel1, 1, 0, Qt::AlignTop);
  grid->addWidget(WaveProp, 1, 1, 1, 2);
}

void TWavesForm::BuildSavePage() {
  SaveWaveTab = Named<QWidget>("SaveWaveTab"_ctl, nullptr);
  Sample_lab = Named<QLabel>("Sample_lab"_ctl, SaveWaveTab, "Sample");
  SampleWave = Named<QComboBox>("SampleWave"_ctl, SaveWaveTab);
  SampleWave->addItems(Items(WaveDialog::kSampleItems));
  SaveWave_lab = Named<QLabel>("SaveWave_lab"_ctl, SaveWaveTab, "File Name");
  SaveWaveFile = Named<QLineEdit>("SaveWaveFile"_ctl, SaveWaveTab);
  SaveWaveFile->setMaxLength(WaveDialog::kNameLimit);
  SaveBitBtn = BrowseButton("SaveBitBtn"_ctl, SaveWaveTab);
  Amp2_lab = Named<QLabel>("Amp2_lab"_ctl, SaveWaveTab, "Sampling Rate");
  WaveRate = Named<QComboBox>("WaveRate"_ctl, SaveWaveTab);
  WaveRate->addItems(Items(WaveDialog::kRateItems));
  WaveRate->setMaxVisibleItems(WaveDialog::kRateVisibleLines);
  Bits_lab = Named<QLabel>("Bits_lab"_ctl, SaveWaveTab, "Number of bits");
  Radio_Bit8 = Named<QRadioButton>("Radio_Bit8"_ctl, SaveWaveTab, "8");
  Radio_Bit16 = Named<QRadioButton>("Radio_Bit16"_ctl, SaveWaveTab, "16");
  auto* grid = new QGridLayout(SaveWaveTab);
  grid->addWidget(Sample_lab, 0, 0);
  grid->addWidget(SampleWave, 0, 1, 1, 2);
  grid->addWidget(SaveWave_lab, 1, 0);
  grid->addWidget(SaveWaveFile, 1, 1);
  grid->addWidget(SaveBitBtn, 1, 2);
  grid->addWidget(Amp2_lab, 2, 0);
  grid->addWidget(WaveRate, 2, 1, 1, 2);
  grid->addWidget(Bits_lab, 3, 0);
  auto* bits = new QHBoxLayout;
  bits->addWidget(Radio_Bit8);
  bits->addWidget(Radio_Bit16);
  bits->addStretch();
  grid->addLayout(bits, 3, 1, 1, 2);
  grid->setRowStretch(4, 1);
}

void TWavesForm::Show(const std::string& text) {
  if (hooks_.showText) hooks_.showText(text);
}

void TWavesForm::ApplyLanguage() {
  const bool ru = presenter_.Form().Russian();
  setWindowTitle(QString::fromUtf8(presenter_.Form().Texts().title));
  ApplyCaptions(*this, WaveDialog::Captions(), ru);
  // Qt's own translations name the standard buttons.
  OKBtn->setText(StandardButtonCaption(ru, "OK", "&OK"));
  CancelBtn->setText(StandardButtonCaption(ru, "Cancel", "&Cancel"));
  HelpBtn->setText(StandardButtonCaption(ru, "Help", "&Help"));
}

void TWavesForm::LoadType(const std::string& typeName) {
  presenter_.SetType(typeName);
  const bool load = presenter_.LoadPage();
  PageControl->setTabVisible(0, load);
  PageControl->setTabVisible(1, !load);
  PageControl->setCurrentIndex(load ? 0 : 1);
  presenter_.Start();
}

void TWavesForm::LoadSettings(const DialogRequest& request) {
  if (hooks_.setLanguage) hooks_.setLanguage(request.language);
  presenter_.SetSettings(request.directory, request.language);
  ApplyLanguage();
  PlaceOnScreen(*this, request.position);
  openedAt_ = {x(), y()};
  for (const std::string& message : presenter_.Open(request.data)) Show(message);
  FocusFirstField(PageControl->currentWidget());
}

void TWavesForm::done(int result) {
  if (result == QDialog::Accepted && !(okRan_ = presenter_.Ok())) return;
  QDialog::done(result);
}

void TWavesForm::HandleChangeName() {
  // A recorder names a file that need not exist yet.
  const QString filter = WaveDialog::kFilterName;
  const QString directory = QString::fromStdString(presenter_.Form().Directory());
  const QString picked =
      presenter_.LoadPage()
          ? QFileDialog::getOpenFileName(this, QString(), directory, filter, nullptr, QFileDialog::DontUseNativeDialog)
          : QFileDialog::getSaveFileName(this, QString(), directory, filter, nullptr,
                                         QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
  HandlePickedName(picked);
}

void TWavesForm::PlayBtnClick() {
  const auto show = [this](const QString& text) { Show(text.toStdString()); };
  try {
    if (presenter_.LoadPage()) {
      if (const std::optional<std::string> name = presenter_.FileToPlay())
        ResWaves::PlayFile(QString::fromStdString(*name), show);
      return;
    }
    // After a refusal the rest would only repeat the same message.
    for (const std::string& clip : presenter_.ClipsToPlay()) {
      if (!ResWaves::PlayClip(QString::fromStdString(clip), show)) break;
    }
  } catch (const std::exception& e) {
    Show(e.what());
  }
}

DialogResult TWavesForm::Store() {
  DialogResult result;
  if (result.accepted = this->result() == QDialog::Accepted; !result.accepted) return result;
  result.position = presenter_.StoredPosition(openedAt_, {x(), y()});
  if (!okRan_) presenter_.Ok();  // accepted without the OK button
  result.data = presenter_.ResultBytes();
  return result;
}
