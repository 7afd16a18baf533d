// Every export of the plug-in with its ordinal: the one list from which the
// exports, the ordinal lookup and the block catalogue table are made (and
// which the tests hold against the library's real symbols).
#pragma once

// X(ordinal, export name, factory, factory argument)
#define RIR_INIT_EXPORTS(X)                                                                     \
  X(122, All_in_One_Init, CreateGenerator, "All_in_One")                                        \
  X(124, Cosine_Init, CreateGenerator, "Cosine")                                                \
  X(125, TSine_Init, CreateGenerator, "TSine")                                                  \
  X(130, Func_Init, CreateGenerator, "Func")                                                    \
  X(131, Sine_Init, CreateGenerator, "Sine")                                                    \
  X(132, ModSine_Init, CreateGenerator, "ModSine")                                              \
  X(133, Random_Init, CreateGenerator, "Random")                                                \
  X(134, Constant_Init, CreateGenerator, "Constant")                                            \
  X(135, Tone_Init, CreateGenerator, "Tone")                                                    \
  X(136, Triangle_Init, CreateGenerator, "Triangle")                                            \
  X(137, PseudoRandom_Init, CreateGenerator, "PseudoRandom")                                    \
  X(138, Gaussian_Init, CreateGenerator, "Gaussian")                                            \
  X(139, Blackman_Init, CreateGenerator, "Blackman")                                            \
  X(140, Kaiser_Init, CreateGenerator, "Blackman")                                              \
  X(141, Bartlett_Init, CreateGenerator, "Bartlett")                                            \
  X(142, Hann_Init, CreateGenerator, "Hann")                                                    \
  X(143, Hamming_Init, CreateGenerator, "Hamming")                                              \
  X(144, BlackmanStd_Init, CreateGenerator, "BlackmanStd")                                      \
  X(145, BlackmanOpt_Init, CreateGenerator, "BlackmanOpt")                                      \
  X(1, E_to_the_power_Init, CreateSimpleTransform, "E to the power")                            \
  X(2, Natural_Log_Init, CreateSimpleTransform, "Natural Log")                                  \
  X(3, Any_Func_Init, CreateSimpleTransform, "Any Func")                                        \
  X(4, Bit_Reversed_Init, CreateSimpleTransform, "Bit-Reversed")                                \
  X(8, Blackman_trans_Init, CreateTransform, "Blackman trans")                                  \
  X(11, Kaiser_trans_Init, CreateTransform, "Kaiser trans")                                     \
  X(5, Bartlett_trans_Init, CreateTransform, "Bartlett trans")                                  \
  X(6, Hann_trans_Init, CreateTransform, "Hann trans")                                          \
  X(7, Hamming_trans_Init, CreateTransform, "Hamming trans")                                    \
  X(9, BlackmanStd_trans_Init, CreateTransform, "BlackmanStd trans")                            \
  X(10, BlackmanOpt_trans_Init, CreateTransform, "BlackmanOpt trans")                           \
  X(12, High_Level_FIR_Init, CreateFilterTransform, "High-Level FIR")                           \
  X(13, Low_Level_FIR_Init, CreateFilterTransform, "Low-Level FIR")                             \
  X(14, High_Level_IIR_Init, CreateFilterTransform, "High-Level IIR")                           \
  X(15, Low_Level_IIR_Init, CreateFilterTransform, "Low-Level IIR")                             \
  X(16, High_Level_LMS_Init, CreateFilterTransform, "High-Level LMS")                           \
  X(17, High_Level_LMS_DES_Init, CreateFilterTransform, "High-Level LMS DES")                   \
  X(18, Low_Level_LMS_Init, CreateFilterTransform, "Low-Level LMS")                             \
  X(19, Low_Level_LMS_Na_Init, CreateFilterTransform, "Low-Level LMS Na")                       \
  X(20, Up_Sample_Init, CreateTransform, "Up Sample")                                           \
  X(21, Down_Sample_Init, CreateTransform, "Down Sample")                                       \
  X(22, Auto_Correlation_Init, CreateTransform, "Auto Correlation")                             \
  X(23, Cross_Correlation_Init, CreateTransform, "Cross Correlation")                           \
  X(24, Simple_Conjugation_Init, CreateSimpleTransform, "Simple Conjugation")                   \
  X(25, Flip_Conjugation_Init, CreateTransform, "Flip Conjugation")                             \
  X(26, Extended_Conjugation_Init, CreateTransform, "Extended Conjugation")                     \
  X(27, OneDim_Convolution_Init, CreateTransform, "OneDim Convolution")                         \
  X(28, TwoDim_Convolution_Init, CreateTransform, "TwoDim Convolution")                         \
  X(29, Filter_2D_Init, CreateTransform, "Filter 2D")                                           \
  X(30, Absolute_Value_Init, CreateSimpleTransform, "Absolute Value")                           \
  X(31, Square_Init, CreateSimpleTransform, "Square")                                           \
  X(32, Square_Root_Init, CreateSimpleTransform, "Square Root")                                 \
  X(33, Thresh_Init, CreateSimpleTransform, "Thresh")                                           \
  X(34, Inverse_Thresh_Init, CreateSimpleTransform, "Inverse Thresh")                           \
  X(35, Addition_Substraction_Init, CreateSimpleTransform, "Addition/Substraction")             \
  X(36, Multiply_Division_Init, CreateSimpleTransform, "Multiply/Division")                     \
  X(40, Discrete_Fourier_Transform_Init, CreateTransform, "Discrete Fourier Transform")         \
  X(41, Fast_Fourier_Transform_Init, CreateTransform, "Fast Fourier Transform")                 \
  X(42, FFT_using_RCPack_RCPerm_Init, CreateTransform, "FFT using RCPack/RCPerm")               \
  X(43, FFT_of_CCS_using_RCPack_RCPerm_Init, CreateTransform, "FFT of CCS using RCPack/RCPerm") \
  X(44, FFT_of_real_signal_Init, CreateTransform, "FFT of real signal")                         \
  X(45, FFT_of_CCS_signal_Init, CreateTransform, "FFT of CCS signal")                           \
  X(46, Single_Frequecy_DFT_Goertzel_Init, CreateTransform, "Goertzel DFT")                     \
  X(47, Forward_FFT_Init, CreateTransform, "Forward FFT")                                       \
  X(48, Inverse_FFT_Init, CreateTransform, "Inverse FFT")                                       \
  X(50, Forward_User_trans_Init, CreateTransform, "Forward User trans")                         \
  X(51, Inverse_User_trans_Init, CreateTransform, "Inverse User trans")                         \
  X(2000, Arithmetic_Group_Init, CreateSimpleTransform, "Arithmetic_Group")                     \
  X(3000, Conjugation_Group_Init, CreateTransform, "Conjugation_Group")                         \
  X(4000, Convolution_Group_Init, CreateTransform, "Convolution_Group")                         \
  X(5000, Correlation_Group_Init, CreateTransform, "Correlation_Group")                         \
  X(6000, Sampling_Group_Init, CreateTransform, "Sampling_Group")                               \
  X(7000, Fouriers_Group_Init, CreateTransform, "Fouriers_Group")                               \
  X(8000, Filters_Group_Init, CreateFilterTransform, "Filters_Group")                           \
  X(9000, Windowing_Group_Init, CreateTransform, "Windowing_Group")                             \
  X(10000, Spectrals_Group_Init, CreateTransform, "Spectrals_Group")                            \
  X(200, Wave_Load_Init, CreateWaveIO, 0)                                                       \
  X(201, Wave_Save_Init, CreateWaveIO, 1)

// X(ordinal, export name)
#define RIR_DIALOG_EXPORTS(X) \
  X(555, GenersExtParams)     \
  X(777, TransExtParams)      \
  X(999, WaveExtParams)

// The unnamed export that greets.
constexpr unsigned kHelloOrdinal = 102030;
