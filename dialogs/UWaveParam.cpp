#include "UWaveParam.h"

#include <QComboBox>
#include <QDir>
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

#include "ResWaves.h"
#include "wave/Wave_fileIO.h"

namespace {

// Module-wide texts; English until a language is applied.
QString MissingFileText = " - file not exists";
QString UnreadableFileText = " - can't open file";
QString ChannelsLine = "NumChannels    - ";
QString RateLine = "Sample per sec - ";
QString BitsLine = "Bits per sec   - ";
QString KeptText = "The stored file settings are kept.";
QString TooLongText = " - the name is longer than 55 characters and cannot be stored.";
QString RelativeText = "It is stored relative to the design's folder: ";

// Names are stored in the local 8-bit encoding (UTF-8 here), read and written alike.
QString NameText(std::string_view stored) {
  return QString::fromLocal8Bit(stored.data(), static_cast<qsizetype>(stored.size()));
}

const Caption kCaptions[] = {
    {"LoadWaveTab", "Load Wave", "Загрузка wave файла"},
    {"SaveWaveTab", "Save Wave", "Сохранение wave файла"},
    {"FileNam_lab", "File Name", "Имя файла"},
    {"SaveWave_lab", "File Name", "Имя файла"},
    {"RxLabel1", "Properties", "Свойства"},
    {"Amp2_lab", "Sampling Rate", "Частота"},
    {"Bits_lab", "Number of bits", "Число бит"},
    {"Sample_lab", "Sample", "Пример"},
};

QToolButton* BrowseButton(const char* name, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setText("...");
  return button;
}

}  // namespace

TWavesForm::TWavesForm(DialogHooks hooks, QWidget* parent) : QDialog(parent), Hooks(std::move(hooks)) {
  setObjectName("WavesForm");
  setWindowTitle("Wave Properties");

  PageControl = new QTabWidget(this);
  PageControl->setObjectName("PageControl");

  LoadWaveTab = new QWidget;
  LoadWaveTab->setObjectName("LoadWaveTab");
  FileNam_lab = new QLabel("File Name", LoadWaveTab);
  FileNam_lab->setObjectName("FileNam_lab");
  LoadFileName = new QLineEdit("Test.wav", LoadWaveTab);
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
  SampleWave->addItems({"All_waves", "Fantastic", "Perfect", "Great", "Nice_work", "Thank_You"});
  SaveWave_lab = new QLabel("File Name", SaveWaveTab);
  SaveWave_lab->setObjectName("SaveWave_lab");
  SaveWaveFile = new QLineEdit("NewTest.wav", SaveWaveTab);
  SaveWaveFile->setObjectName("SaveWaveFile");
  SaveWaveFile->setMaxLength(kNameLimit);
  SaveBitBtn = BrowseButton("SaveBitBtn", SaveWaveTab);
  Amp2_lab = new QLabel("Sampling Rate", SaveWaveTab);
  Amp2_lab->setObjectName("Amp2_lab");
  WaveRate = new QComboBox(SaveWaveTab);
  WaveRate->setObjectName("WaveRate");
  WaveRate->addItems({"48000", "44100", "32000", "22050", "16000", "11025", "8000", "6000", "5500"});
  WaveRate->setMaxVisibleItems(10);
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

void TWavesForm::ApplyLanguage(const std::string& language) {
  if (Hooks.setLanguage) Hooks.setLanguage(language);
  const bool ru = IsRussianLanguage(language);
  auto pick = [ru](const char* en, const char* rus) { return ru ? QString::fromUtf8(rus) : QString(en); };
  setWindowTitle(pick("Wave Properties", "Свойства чтения/записи Wave файлов"));
  ApplyCaptions(*this, kCaptions, ru);
  MissingFileText = pick(" - file not exists", " - файл не существует");
  UnreadableFileText = pick(" - can't open file", " - невозможно открыть файл");
  ChannelsLine = pick("NumChannels    - ", "Число каналов   - ");
  RateLine = pick("Sample per sec - ", "Частота         - ");
  BitsLine = pick("Bits per sec   - ", "Число бит в сек.- ");
  KeptText = pick("The stored file settings are kept.", "Сохранённые параметры файла оставлены без изменений.");
  TooLongText = pick(" - the name is longer than 55 characters and cannot be stored.",
                     " - имя длиннее 55 символов и не может быть сохранено.");
  RelativeText = pick("It is stored relative to the design's folder: ", "Оно сохранено относительно папки проекта: ");
  // Qt's own translations name the standard buttons.
  OKBtn->setText(StandardButtonCaption(ru, "OK", "&OK"));
  CancelBtn->setText(StandardButtonCaption(ru, "Cancel", "&Cancel"));
  HelpBtn->setText(StandardButtonCaption(ru, "Help", "&Help"));
}

bool TWavesForm::IsComplete(const QString& name) { return name.contains(':') || name.startsWith('/'); }

QString TWavesForm::WithDirectory(const QString& name) const {
  // A name without a drive or root is taken relative to the directory.
  if (IsComplete(name)) return name;
  return Directory + name;
}

void TWavesForm::Load(const DialogRequest& request) {
  LoadType(request.typeName);
  LoadSettings(request);
}

void TWavesForm::LoadType(const std::string& typeName) {
  const std::string type = typeName.substr(0, typeName.find('_'));
  LoadPage = type == "Load Wave";
  PageControl->setTabVisible(0, LoadPage);
  PageControl->setTabVisible(1, !LoadPage);
  PageControl->setCurrentIndex(LoadPage ? 0 : 1);
}

void TWavesForm::LoadSettings(const DialogRequest& request) {
  Directory = QString::fromStdString(request.directory);
  ApplyLanguage(request.language);
  PlaceOnScreen(*this, request.position);
  OpenedAt = {x(), y()};

  alignas(4) WaveParams record{};
  if (request.data.size() == sizeof(WaveParams)) {
    std::memcpy(&record, request.data.data(), sizeof record);
  } else {
    DefaultWaveRecord(record);
  }
  // What a failed file step leaves in place: the stored record, never zeros.
  Record = record;
  RecordToControls(record);
  FocusFirstField(PageControl->currentWidget());
}

void TWavesForm::RecordToControls(const WaveParams& record) {
  const QString name = NameText(record.FileName.View());
  LoadFileName->setText(name);
  SaveWaveFile->setText(name);
  FileStep(WithDirectory(name), QString(), !IsComplete(name));
  SampleWave->setCurrentIndex(record.Sound > 5 ? 0 : record.Sound);
  const int line = WaveRate->findText(QString::number(record.SampleRate));
  WaveRate->setCurrentIndex(line >= 0 ? line : WaveRate->findText("11025"));
  if (record.BitsPerSample == 8) Radio_Bit8->setChecked(true);
  if (record.BitsPerSample == 16) Radio_Bit16->setChecked(true);
}

bool TWavesForm::FileStep(const QString& given, const QString& whenRefused, bool relativeToDirectory) {
  QString name = given;
  const QByteArray pathBytes = name.toLocal8Bit();
  const std::string path(pathBytes.constData(), static_cast<size_t>(pathBytes.size()));
  // Only regular files: a FIFO or a device would block the open.
  if (LoadPage && !TWaveFile::FileExists(path)) {
    Show(name + MissingFileText + whenRefused);
    LoadFileName->setText(NameText(Record.FileName.View()));
    return false;
  }
  // A picked file inside the directory is kept relative to it; a name typed
  // or stored as a whole path stays whole.
  if (relativeToDirectory && !Directory.isEmpty() && name.startsWith(Directory)) name.remove(0, Directory.size());
  const QString& stored = name;
  if (stored.toLocal8Bit().size() > kNameLimit) {
    Show(stored + TooLongText + whenRefused);
    LoadFileName->setText(NameText(Record.FileName.View()));
    return false;
  }
  TWaveFile file;
  const bool opened = file.OpenRead(path);
  if (!LoadPage || opened) {
    const QByteArray bytes = name.toLocal8Bit();
    Record.FileName.Set(std::string_view(bytes.constData(), bytes.size()));
    Record.SampleRate = opened ? static_cast<int32_t>(file.SampleRate()) : 0;
    Record.BitsPerSample = opened ? file.BitsPerSample() : 0;
    Record.Channels = opened ? file.Channels() : 0;
    WaveProp->clear();
    WaveProp->appendPlainText(ChannelsLine + QString::number(Record.Channels));
    WaveProp->appendPlainText(RateLine + QString::number(Record.SampleRate));
    WaveProp->appendPlainText(BitsLine + QString::number(Record.BitsPerSample));
    LoadFileName->setText(name);
    SaveWaveFile->setText(name);
    return true;
  }
  Show(given + UnreadableFileText + whenRefused);
  LoadFileName->setText(NameText(Record.FileName.View()));
  return false;
}

QString TWavesForm::WithWaveExtension(const QString& picked) {
  const QString upper = picked.toUpper();
  const bool hasDot = picked.size() >= 4 && picked[picked.size() - 4] == '.';
  if (!upper.contains(".WAV") && !hasDot) return picked + ".wav";
  return picked;
}

void TWavesForm::HandlePickedName(const QString& picked) {
  if (picked.isEmpty()) return;
  const QString full = WithWaveExtension(picked);
  QString stored = full;
  if (!Directory.isEmpty() && stored.startsWith(Directory)) stored.remove(0, Directory.size());
  if (stored.toLocal8Bit().size() > kNameLimit && !Directory.isEmpty() && QDir::isAbsolutePath(full)) {
    // Too long as a whole path: a name relative to the design may still fit.
    const QString relative = QDir(Directory).relativeFilePath(full);
    if (relative.toLocal8Bit().size() <= kNameLimit) {
      if (FileStep(Directory + relative)) Show(stored + TooLongText + "\n" + RelativeText + relative);
      return;
    }
  }
  FileStep(full);
}

void TWavesForm::done(int result) {
  // A typed name the record cannot hold is refused before the dialog closes.
  const QString name = LoadPage ? LoadFileName->text() : SaveWaveFile->text();
  if (result == QDialog::Accepted && name.toLocal8Bit().size() > kNameLimit) {
    Show(name + TooLongText);
    return;
  }
  QDialog::done(result);
}

void TWavesForm::HandleChangeName() {
  // A recorder names a file that need not exist yet.
  const QString filter = "PCM Wave files (*.wav)";
  const QString picked =
      LoadPage
          ? QFileDialog::getOpenFileName(this, QString(), Directory, filter, nullptr, QFileDialog::DontUseNativeDialog)
          : QFileDialog::getSaveFileName(this, QString(), Directory, filter, nullptr,
                                         QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
  HandlePickedName(picked);
}

void TWavesForm::PlayBtnClick() {
  const auto show = [this](const QString& text) { Show(text); };
  try {
    if (LoadPage) {
      const QString name = WithDirectory(LoadFileName->text());
      if (FileStep(name)) ResWaves::PlayFile(name, show);
      return;
    }
    const QString choice = SampleWave->currentText();
    const QStringList clips = choice == "All_waves" ? ResWaves::ClipNames() : QStringList{choice};
    // After a refusal the rest would only repeat the same message.
    for (const QString& clip : clips) {
      if (!ResWaves::PlayClip(clip, show)) break;
    }
  } catch (const std::exception& e) {
    Show(QString::fromUtf8(e.what()));
  }
}

WaveParams TWavesForm::ControlsToRecord(bool runFileStep) {
  if (LoadPage) {
    // A name that cannot be opened keeps the stored record, and says so.
    const QString typed = LoadFileName->text();
    if (runFileStep) FileStep(WithDirectory(typed), "\n" + KeptText, !IsComplete(typed));
    return Record;
  }
  alignas(4) WaveParams out{};
  const QByteArray bytes = SaveWaveFile->text().toLocal8Bit();
  out.FileName.Set(std::string_view(bytes.constData(), bytes.size()));
  out.Sound = static_cast<uint8_t>(std::max(0, SampleWave->currentIndex()));
  out.SampleRate = WaveRate->currentText().toInt();
  out.BitsPerSample = Radio_Bit16->isChecked() ? 16 : 8;
  out.Channels = 1;
  return out;
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
