// The generator parameter dialog: one page per waveform, a live preview of
// the waveform the blocks would produce, and the record handed back on OK;
// a view of the generator presenter.
#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <memory>
#include <string>

#include "dialogs/logic/DialogHooks.h"
#include "dialogs/logic/GeneratorPresenter.h"
#include "numeric/ParameterRecords.h"

class QComboBox;
class QGridLayout;
class QLineSeries;
class QPushButton;
class QTabWidget;
class GenersFormView;

class TGenersForm : public QDialog {
  Q_OBJECT

 public:
  explicit TGenersForm(DialogHooks hooks, QWidget* parent = nullptr);
  ~TGenersForm() override;

  // Loads the request in two steps, as the module runs it (LoadForm does
  // both): the block type first (an unknown name says so before anything
  // else is read), then the rest.
  void LoadType(const std::string& typeName);
  void LoadSettings(const DialogRequest& request);
  // After the modal run: position (when it moved) and record on OK.
  DialogResult Store();
  void done(int result) override;

  int pageCode() const { return presenter_->PageCode(); }
  int previewLength() const { return presenter_->PreviewLength(); }
  QLineSeries* previewSeries() const { return series_; }
  QTabWidget* pages() const { return pages_; }
  bool russian() const { return presenter_->Russian(); }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // The pages from the control table, in page index order, then the buttons
  // and the preview around them and the controls' signals.
  void buildPage(int page);
  void buildFrame();
  void connectControls();
  void applyLanguage();

  DialogHooks hooks_;
  std::unique_ptr<GenersFormView> view_;
  std::unique_ptr<GeneratorPresenter> presenter_;
  std::string directory_;
  ScreenPoint shownAt_{0, 0};
  QTabWidget* pages_ = nullptr;
  QLineSeries* series_ = nullptr;
  QComboBox* Wind_type = nullptr;
  QPushButton* okBtn_ = nullptr;
  QPushButton* cancelBtn_ = nullptr;
  QPushButton* helpBtn_ = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QPushButton* ViewBtn = nullptr;

  friend class GenersFormView;
};
