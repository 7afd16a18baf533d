// The controls of the transform dialog, once for both front ends: what each
// control is, the page (and LMS tab, and group box) it sits on, its cell in
// the page's rows and columns (the Qt layouts) and its place in pixels (the
// Win32 dialog, which has no layouts). Captions, ranges, items and design
// values come from TransformDialogLogic by the control's name. The names
// are spelled here once: code names a control with `"Name"_ctl` under
// `using namespace transform_controls`, checked against these tables.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "ControlName.h"

enum class ControlKind { Label, CenteredLabel, Number, Check, Combo, Field, Group, Tabs, Memo };

struct PageControl {
  ControlKind kind;
  const char* name;
  const char* page;
  int32_t tab;      // LMS page: 0 "Main", 1 "Addition"; -1 elsewhere
  const char* box;  // the group box holding it, nullptr for none
  int32_t row, column;
  int32_t x, y, w, h;  // relative to the page area
};

namespace transform_layout {

inline constexpr int32_t kPageWidth = 340;
inline constexpr int32_t kFieldW = 195;
inline constexpr int32_t kRowH = 30;

using enum ControlKind;

// A row of label + control.
#define ROW(label, kind, name, page, tab, row, w)                            \
  {Label, label, page, tab, nullptr, row, 0, 0, (row)*kRowH + 4, 110, 20}, { \
    kind, name, page, tab, nullptr, row, 1, 115, (row)*kRowH, w, 24          \
  }

// In the order of the Win32 control ids.
inline constexpr PageControl kPageControls[] = {
    {CenteredLabel, "NotParams_label", "None", -1, nullptr, 0, 0, 0, 120, kPageWidth, 20},
    {CenteredLabel, "DisFunc_label", "Disabled", -1, nullptr, 0, 0, 0, 120, kPageWidth, 20},
    ROW("Alpha_Label", Number, "Win_Alpha", "BlackMan", -1, 0, 150),
    ROW("Beta_label", Number, "Win_Beta", "Kaiser", -1, 0, 150),
    ROW("WinLen_label", Number, "WindowLen", "Windowing", -1, 0, 150),
    {Label, "Flags_label", "FFT_Flags", -1, nullptr, 0, 0, 0, 0, 120, 20},
    {Check, "Ck_Forw", "FFT_Flags", -1, nullptr, 1, 0, 0, 26, 95, 22},
    {Check, "Ck_Inv", "FFT_Flags", -1, nullptr, 2, 0, 0, 52, 95, 22},
    {Check, "Ck_Init", "FFT_Flags", -1, nullptr, 4, 0, 0, 104, 95, 22},
    {Check, "Ck_NoScale", "FFT_Flags", -1, nullptr, 3, 0, 0, 78, 95, 22},
    {Check, "Ck_NoBitRev", "FFT_Flags", -1, nullptr, 1, 1, 98, 26, 135, 22},
    {Check, "Ck_InBitRev", "FFT_Flags", -1, nullptr, 2, 1, 98, 52, 135, 22},
    {Check, "Ck_OutBitRev", "FFT_Flags", -1, nullptr, 3, 1, 98, 78, 135, 22},
    {Check, "CK_OutRCPack", "FFT_Flags", -1, nullptr, 1, 2, 236, 26, 104, 22},
    {Check, "CK_OutRCPerm", "FFT_Flags", -1, nullptr, 2, 2, 236, 52, 104, 22},
    {Check, "CK_InRCPack", "FFT_Flags", -1, nullptr, 3, 2, 236, 78, 104, 22},
    {Check, "CK_InRCPerm", "FFT_Flags", -1, nullptr, 4, 2, 236, 104, 104, 22},
    ROW("Freq_label", Number, "Goertzel_Frequency", "Goertzel", -1, 0, 150),
    ROW("Factor_label", Number, "Sampl_Factor", "Sampling", -1, 0, 150),
    ROW("Phase_label", Number, "Sampl_Phase", "Sampling", -1, 1, 150),
    ROW("nLags_label", Number, "Corr_nLags", "Correlation", -1, 0, 150),
    ROW("CorrType_label", Combo, "corrType", "Correlation", -1, 1, 190),
    ROW("Bit_Order_label", Number, "BitRev_Order", "Bit Reversed", -1, 0, 150),
    ROW("Thresh_label", Number, "Thresh_param", "Thresh", -1, 0, 150),
    ROW("RelOp_label", Combo, "Thresh_RelOp", "Thresh", -1, 1, 150),
    ROW("Taps_label", Field, "Conv_H_12D", "Convolution", -1, 0, kFieldW),
    ROW("Taps_label2", Field, "FIRS_Taps", "FIRS", -1, 0, kFieldW),
    ROW("Delay_label2", Field, "FIRS_Delay", "FIRS", -1, 1, kFieldW),
    {Check, "isMulti_Rate", "FIRS", -1, nullptr, 2, 0, 0, 2 * kRowH, 150, 22},
    {Group, "Multi_Rate_Box", "FIRS", -1, nullptr, 3, 0, 0, 3 * kRowH, kPageWidth, 90},
    {Label, "Up_Factor_label", "FIRS", -1, "Multi_Rate_Box", 0, 0, 8, 3 * kRowH + 24, 80, 20},
    {Number, "FIRH_UpFactor", "FIRS", -1, "Multi_Rate_Box", 0, 1, 90, 3 * kRowH + 20, 75, 24},
    {Label, "Up_Phase_label", "FIRS", -1, "Multi_Rate_Box", 0, 2, 172, 3 * kRowH + 24, 80, 20},
    {Number, "FIRH_UpPhase", "FIRS", -1, "Multi_Rate_Box", 0, 3, 255, 3 * kRowH + 20, 75, 24},
    {Label, "Down_Factor_label", "FIRS", -1, "Multi_Rate_Box", 1, 0, 8, 3 * kRowH + 56, 80, 20},
    {Number, "FIRH_DownFactor", "FIRS", -1, "Multi_Rate_Box", 1, 1, 90, 3 * kRowH + 52, 75, 24},
    {Label, "Down_Phase_label", "FIRS", -1, "Multi_Rate_Box", 1, 2, 172, 3 * kRowH + 56, 80, 20},
    {Number, "FIRH_DownPhase", "FIRS", -1, "Multi_Rate_Box", 1, 3, 255, 3 * kRowH + 52, 75, 24},
    ROW("IIRTaps_label", Field, "IIRS_Taps", "IIRS", -1, 0, kFieldW),
    ROW("IIRSDelay_Label", Field, "IIRS_Delay", "IIRS", -1, 1, kFieldW),
    {Check, "IIRS_isBiquads", "IIRS", -1, nullptr, 2, 0, 0, 2 * kRowH, 150, 22},
    ROW("IIRType_label", Combo, "IIRS_Type", "IIRS", -1, 3, 190),
    {Tabs, "LMSS_Pages", "LMSS", -1, nullptr, 0, 0, 0, 0, kPageWidth, 262},
    ROW("Taps_label3", Field, "LMSS_Taps", "LMSS", 0, 0, kFieldW - 10),
    ROW("Delay_label3", Field, "LMSS_Delay", "LMSS", 0, 1, kFieldW - 10),
    ROW("IIR_type_label", Combo, "LMSS_Type", "LMSS", 0, 2, 180),
    ROW("FKX_label", Field, "LMSS_Formula", "LMSS", 0, 3, kFieldW - 10),
    {Label, "Result_label", "LMSS", 0, nullptr, 4, 0, 10, 4 * kRowH + 4, 100, 20},
    {Check, "LMSS_isAdaptB", "LMSS", 0, nullptr, 5, 0, 10, 5 * kRowH, 150, 22},
    ROW("ErrDly_label", Number, "LMSS_ErrDly", "LMSS", 1, 0, 150),
    ROW("Step_label", Number, "LMSS_Step", "LMSS", 1, 1, 150),
    ROW("Leak_label", Number, "LMSS_Leak", "LMSS", 1, 2, 150),
    {Check, "LMSH_isMulti", "LMSS", 1, nullptr, 3, 0, 10, 3 * kRowH, 200, 22},
    {Group, "LMSS_Multi_Rate", "LMSS", 1, nullptr, 4, 0, 0, 4 * kRowH, kPageWidth - 24, 78},
    {Label, "Down_label", "LMSS", 1, "LMSS_Multi_Rate", 0, 0, 18, 4 * kRowH + 24, 95, 20},
    {Number, "LMSS_DwnFactor", "LMSS", 1, "LMSS_Multi_Rate", 0, 1, 115, 4 * kRowH + 20, 150, 24},
    {Label, "DownP_label", "LMSS", 1, "LMSS_Multi_Rate", 1, 0, 18, 4 * kRowH + 50, 95, 20},
    {Number, "LMSS_DwnPhase", "LMSS", 1, "LMSS_Multi_Rate", 1, 1, 115, 4 * kRowH + 46, 150, 24},
    {Label, "Basis_label", "Users_transform", -1, nullptr, 0, 0, 0, 0, kPageWidth, 20},
    {Field, "Basis_func", "Users_transform", -1, nullptr, 1, 0, 0, 24, kPageWidth - 30, 24},
    {Label, "ListBasis_label", "Users_transform", -1, nullptr, 2, 0, 0, 58, kPageWidth, 20},
    {Memo, "Basis_memo", "Users_transform", -1, nullptr, 3, 0, 0, 80, kPageWidth, 170},
    {Label, "UserFunc_label", "Users_func", -1, nullptr, 0, 0, 0, 4, kPageWidth, 20},
    ROW("FT_label", Field, "User_func", "Users_func", -1, 1, kFieldW),
    ROW("Coefficient_label", Number, "Add_Sub_coef", "Add_Sub", -1, 0, 150),
    ROW("Mpy_coef_label", Number, "Mpy_Div_coef", "Mpy_Div", -1, 0, 150),
};
#undef ROW

// The controls around the pages, in the order of their Win32 ids.
inline constexpr const char* kFrameControls[] = {"TreeView", "GroupBox1", "SigLen_label", "Num_Points", "PreViewBtn"};
// Without a Win32 id: what switches the pages (a stacked widget in Qt; the
// Win32 dialog shows and hides the pages' controls itself), OK and Cancel
// (IDOK and IDCANCEL there) and the form.
inline constexpr const char* kUnnumberedControls[] = {"Notebook", "Apply_Btn", "BitBtn1", "TransformsOpt"};

}  // namespace transform_layout

constexpr std::span<const PageControl> TransformPageControls() { return transform_layout::kPageControls; }
constexpr std::span<const char* const> TransformFrameControls() { return transform_layout::kFrameControls; }

constexpr bool IsTransformControl(std::string_view name) {
  using namespace transform_layout;
  const auto self = [](const char* n) { return n; };
  return ListedIndex(kUnnumberedControls, name, self) >= 0 || ListedIndex(kFrameControls, name, self) >= 0 ||
         ListedIndex(kPageControls, name, [](const PageControl& c) { return c.name; }) >= 0;
}

namespace transform_controls {
consteval ControlName operator""_ctl(const char* name, size_t size) {
  return CheckedControl({name, size}, IsTransformControl({name, size}));
}
}  // namespace transform_controls
