// Fixed tables of the questionnaire: the eight motivation scales, the
// leading-scale sets of the profile types, reliability texts, and the
// interpretation and chart colour of each sten. Texts are CP1251.
#pragma once

#include <array>
#include <cstdint>

#include "platform/rtl/SysUtils.h"

constexpr int ScaleCount = 8;
constexpr int StenCount = 10;

// Indexed by scale 0..7.
extern const std::array<AnsiString, ScaleCount> ScaleLetters;
extern const std::array<AnsiString, ScaleCount> ScaleNames;
// Chart labels: lines separated by a single carriage return.
extern const std::array<AnsiString, ScaleCount> ScaleChartNames;

// Leading scales that make the profile types "type1" and "type2".
constexpr std::array<int, 5> Type1Scales = {1, 2, 4, 5, 6};
constexpr std::array<int, 3> Type2Scales = {0, 3, 7};

// Reliability of one testee's result: 8, 7, 6, and 0 to 5 valid scales.
extern const std::array<AnsiString, 4> ReliabilityLevels;
// Reliability of a group result by the percentage of valid respondents:
// 91-100, 84-90, 68-83, 50-67, 0-49.
extern const std::array<AnsiString, 5> GroupReliabilityLevels;

// Indexed by sten - 1.
extern const std::array<AnsiString, StenCount> StenInterpretations;
// Bar colours, red in the low byte.
constexpr std::array<uint32_t, StenCount> StenColors = {0x00B0FFFF, 0x00B0FFFF, 0x00B0FFFF, 0x00B0FFFF,
                                                        0x00BFFFBF, 0x00BFFFBF, 0x00BBBBFF, 0x00BBBBFF,
                                                        0x00BBBBFF, 0x00BBBBFF};
