// Control ids of the Windows wave dialog, with the form's control names;
// the dialog's test host finds the controls by them.
#pragma once

enum WinWaveDialogId : int {
  kWavePageControl = 1000,   // PageControl
  kWaveFileNamLab = 1001,    // FileNam_lab
  kWaveLoadFileName = 1002,  // LoadFileName
  kWaveLoadBitBtn = 1003,    // LoadBitBtn
  kWaveRxLabel1 = 1004,      // RxLabel1
  kWaveWaveProp = 1005,      // WaveProp
  kWaveSampleLab = 1011,     // Sample_lab
  kWaveSampleWave = 1012,    // SampleWave
  kWaveSaveWaveLab = 1013,   // SaveWave_lab
  kWaveSaveWaveFile = 1014,  // SaveWaveFile
  kWaveSaveBitBtn = 1015,    // SaveBitBtn
  kWaveAmp2Lab = 1016,       // Amp2_lab
  kWaveWaveRate = 1017,      // WaveRate
  kWaveBitsLab = 1018,       // Bits_lab
  kWaveRadioBit8 = 1019,     // Radio_Bit8
  kWaveRadioBit16 = 1020,    // Radio_Bit16
  kWavePlayBtn = 1030,       // PlayBtn
  kWaveHelpBtn = 1031,       // HelpBtn
};
