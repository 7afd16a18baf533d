#include "UWaveParam.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QScreen>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <cstring>
#include <exception>
#include <optional>
#include <span>

#include "ResWaves.h"
#include "dialogs/logic/SoundClips.h"

namespace {

QString Utf8(const std::string& text) { return QString::fromStdString(text); }
std::string Utf8(const QString& text) { return text.toStdString(); }

QStringList Items(std::span<const char* const> items) {
  QStringList list;
  for (const char* item : items) list << item;
  return list;
}

QToolButton* BrowseButton(const char* name, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setText("...");
  return button;
}

}  // namespace

TWavesForm::TWavesForm(DialogHooks hooks, QWidget* parent) : QDialog(parent), Hooks(std::move(hooks)) {
  setObjectName("WavesForm");
  setWindowTitle(WaveDialog::TextsFor(false).title);

  PageControl = new QTabWidget(this);
  PageControl->setObjectName("PageControl");

  LoadWaveTab = new QWidget;
  LoadWaveTab->setObjectName("LoadWaveTab");
  FileNam_lab = new QLabel("File Name", LoadWaveTab);
  FileNam_lab->setObjectName("FileNam_lab");
  LoadFileName = new QLineEdit(WaveDialog::kLoadNameDesign, LoadWaveTab);
  LoadFileName->setObjectName("LoadFileName");
  LoadFileName->setMaxLength(kNameLimit);
  LoadBitBtn = BrowseButton("LoadBitBtn", LoadWaveTab);
  RxLabel1 = new QLabel("Properties", LoadWaveTab);
  RxLabel1->setObjectName("RxLabel1");
  WaveProp = new QPlainTextEdit(LoadWaveTab);
  WaveProp->setObjectName("WaveProp");
  WaveProp->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  WaveProp->setFont(QFont("Monospace"));
  // The header lines describe the file; Tab moves on instead of typing.
  WaveProp->setReadOnly(true);
  WaveProp->setTabChangesFocus(true);
  {
    auto* grid = new QGridLayout(LoadWaveTab);
    grid->addWidget(FileNam_lab, 0, 0);
    grid->addWidget(LoadFileName, 0, 1);
    grid->addWidget(LoadBitBtn, 0, 2);
    grid->addWidget(RxLabel1, 1, 0, Qt::AlignTop);
    grid->addWidget(WaveProp, 1, 1, 1, 2);
  }

  SaveWaveTab = new QWidget;
  SaveWaveTab->setObjectName("SaveWaveTab");
  Sample_lab = new QLabel("Sample", SaveWaveTab);
  Sample_lab->setObjectName("Sample_lab");
  SampleWave = new QComboBox(SaveWaveTab);
  SampleWave->setObjectName("SampleWave");
  SampleWave->addItems(Items(WaveDialog::kSampleItems));
  SaveWave_lab = new QLabel("File Name", SaveWaveTab);
  SaveWave_lab->setObjectName("SaveWave_lab");
  SaveWaveFile = new QLineEdit(WaveDialog::kSaveNameDesign, SaveWaveTab);
  SaveWaveFile->setObjectName("SaveWaveFile");
  SaveWaveFile->setMaxLength(kNameLimit);
  SaveBitBtn = BrowseButton("SaveBitBtn", SaveWaveTab);
  Amp2_lab = new QLabel("Sampling Rate", SaveWaveTab);
  Amp2_lab->setObjectName("Amp2_lab");
  WaveRate = new QComboBox(SaveWaveTab);
  WaveRate->setObjectName("WaveRate");
  WaveRate->addItems(Items(WaveDialog::kRateItems));
  WaveRate->setMaxVisibleItems(WaveDialog::kRateVisibleLines);
  Bits_lab = new QLabel("Number of bits", SaveWaveTab);
  Bits_lab->setObjectName("Bits_lab");
  Radio_Bit8 = new QRadioButton("8", SaveWaveTab);
  Radio_Bit8->setObjectName("Radio_Bit8");
  Radio_Bit8->setChecked(true);
  Radio_Bit16 = new QRadioButton("16", SaveWaveTab);
  Radio_Bit16->setObjectName("Radio_Bit16");
  Radio_Bit16->setEnabled(false);
  {
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
  PageControl->addTab(LoadWaveTab, "Load Wave");
  PageControl->addTab(SaveWaveTab, "Save Wave");

  OKBtn = new QPushButton("&OK", this);
  OKBtn->setObjectName("OKBtn");
  CancelBtn = new QPushButton("&Cancel", this);
  CancelBtn->setObjectName("CancelBtn");
  PlayBtn = new QPushButton("Pl&ay", this);
  PlayBtn->setObjectName("PlayBtn");
  PlayBtn->setDefault(true);
  HelpBtn = new QPushButton("&Help", this);
  HelpBtn->setObjectName("HelpBtn");
  HelpBtn->setVisible(false);
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(PlayBtn, &QPushButton::clicked, this, &TWavesForm::PlayBtnClick);
  connect(LoadBitBtn, &QToolButton::clicked, this, &TWavesForm::HandleChangeName);
  connect(SaveBitBtn, &QToolButton::clicked, this, &TWavesForm::HandleChangeName);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OKBtn);
  buttons->addWidget(CancelBtn);
  buttons->addWidget(PlayBtn);
  buttons->addWidget(HelpBtn);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(PageControl);
  layout->addLayout(buttons);
  resize(430, 260);
}

void TWavesForm::Show(const QString& text) {
  if (Hooks.showText) Hooks.showText(text.toStdString());
}

void TWavesForm::ApplyLanguage() {
  const bool ru = Logic.Russian();
  setWindowTitle(QString::fromUtf8(Logic.Texts().title));
  ApplyCaptions(*this, WaveDialog::Captions(), ru);
  // Qt's own translations name the standard buttons.
  OKBtn->setText(StandardButtonCaption(ru, "OK", "&OK"));
  CancelBtn->setText(StandardButtonCaption(ru, "Cancel", "&Cancel"));
  HelpBtn->setText(StandardButtonCaption(ru, "Help", "&Help"));
}

QString TWavesForm::WithDirectory(const QString& name) const { return Utf8(Logic.WithDirectory(Utf8(name))); }

void TWavesForm::Load(const DialogRequest& request) {
  LoadType(request.typeName);
  LoadSettings(request);
}

void TWavesForm::LoadType(const std::string& typeName) {
  Logic.SetType(typeName);
  const bool load = Logic.LoadPage();
  PageControl->setTabVisible(0, load);
  PageControl->setTabVisible(1, !load);
  PageControl->setCurrentIndex(load ? 0 : 1);
}

void TWavesForm::LoadSettings(const DialogRequest& request) {
  if (Hooks.setLanguage) Hooks.setLanguage(request.language);
  Logic.SetSettings(request.directory, request.language);
  ApplyLanguage();
  PlaceOnScreen(*this, request.position);
  OpenedAt = {x(), y()};

  ShowControls(Logic.Open(request.data));
  FocusFirstField(PageControl->currentWidget());
}

void TWavesForm::RecordToControls(const WaveParams& record) { ShowControls(Logic.RecordToControls(record)); }

void TWavesForm::ShowControls(const WaveDialog::WaveForm::Controls& controls) {
  LoadFileName->setText(Utf8(controls.name));
  SaveWaveFile->setText(Utf8(controls.name));
  Apply(controls.step);
  SampleWave->setCurrentIndex(controls.sampleIndex);
  WaveRate->setCurrentIndex(controls.rateIndex);
  if (controls.bits == WaveDialog::BitsChoice::Eight) Radio_Bit8->setChecked(true);
  if (controls.bits == WaveDialog::BitsChoice::Sixteen) Radio_Bit16->setChecked(true);
}

bool TWavesForm::Apply(const WaveDialog::StepShown& shown) {
  for (const std::string& message : shown.messages) Show(Utf8(message));
  if (shown.header) {
    WaveProp->clear();
    for (const std::string& line : *shown.header) WaveProp->appendPlainText(Utf8(line));
  }
  if (shown.loadName) LoadFileName->setText(Utf8(*shown.loadName));
  if (shown.saveName) SaveWaveFile->setText(Utf8(*shown.saveName));
  return shown.accepted;
}

bool TWavesForm::FileStep(const QString& given, const QString& whenRefused, bool relativeToDirectory) {
  return Apply(Logic.FileStep(Utf8(given), Utf8(whenRefused), relativeToDirectory));
}

QString TWavesForm::WithWaveExtension(const QString& picked) {
  return Utf8(WaveDialog::WithWaveExtension(Utf8(picked)));
}

void TWavesForm::HandlePickedName(const QString& picked) { Apply(Logic.PickedName(Utf8(picked))); }

void TWavesForm::done(int result) {
  // A typed name the record cannot hold is refused before the dialog closes.
  const QString name = Logic.LoadPage() ? LoadFileName->text() : SaveWaveFile->text();
  if (result == QDialog::Accepted) {
    if (const std::optional<std::string> refusal = Logic.RefusalOnOk(Utf8(name))) {
      Show(Utf8(*refusal));
      return;
    }
  }
  QDialog::done(result);
}

void TWavesForm::HandleChangeName() {
  // A recorder names a file that need not exist yet.
  const QString filter = WaveDialog::kFilterName;
  const QString directory = Utf8(Logic.Directory());
  const QString picked =
      Logic.LoadPage()
          ? QFileDialog::getOpenFileName(this, QString(), directory, filter, nullptr, QFileDialog::DontUseNativeDialog)
          : QFileDialog::getSaveFileName(this, QString(), directory, filter, nullptr,
                                         QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
  HandlePickedName(picked);
}

void TWavesForm::PlayBtnClick() {
  const auto show = [this](const QString& text) { Show(text); };
  try {
    if (Logic.LoadPage()) {
      const QString name = WithDirectory(LoadFileName->text());
      if (FileStep(name)) ResWaves::PlayFile(name, show);
      return;
    }
    // After a refusal the rest would only repeat the same message.
    for (const std::string& clip : SoundClips::ClipsFor(Utf8(SampleWave->currentText()))) {
      if (!ResWaves::PlayClip(Utf8(clip), show)) break;
    }
  } catch (const std::exception& e) {
    Show(QString::fromUtf8(e.what()));
  }
}

WaveParams TWavesForm::ControlsToRecord(bool runFileStep) {
  if (Logic.LoadPage()) {
    if (!runFileStep) return Logic.Record();
    WaveDialog::StepShown shown;
    const WaveParams record = Logic.LoadPageRecord(Utf8(LoadFileName->text()), shown);
    Apply(shown);
    return record;
  }
  return Logic.SavePageRecord(Utf8(SaveWaveFile->text()), std::max(0, SampleWave->currentIndex()),
                              WaveRate->currentIndex(), Radio_Bit16->isChecked());
}

DialogResult TWavesForm::Store() {
  DialogResult result;
  if (result.accepted = this->result() == QDialog::Accepted; !result.accepted) return result;
  if (x() != OpenedAt.first || y() != OpenedAt.second) result.position = std::make_pair(x(), y());
  alignas(4) const WaveParams record = ControlsToRecord();
  const auto* bytes = reinterpret_cast<const uint8_t*>(&record);
  result.data.assign(bytes, bytes + sizeof record);
  return result;
}
