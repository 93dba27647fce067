#pragma once
// The storage calculation: the twenty result texts for one set of inputs.
//
// An amount is the frame rate times the coefficient (megabytes per frame) times the duration
// product (cameras times the duration factor), rounded to two decimals and shown in the unit of
// the duration. The exact sequence of roundings decides the last digit, so each step below is
// carried out exactly and rounded explicitly (see ExactArithmetic.h); every build and every
// floating-point unit state gives the same texts.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "calc/RateTable.h"

// Cameras times the duration factor, kept as a 32-bit float. Integer factors: the product in
// integer arithmetic, then converted to float. Double factors: the camera count times the
// factor in extended precision, rounded to float (one camera for a week gives
// 604.79998779296875, not 604.8).
float DurationProduct(int duration, std::int32_t cameraCount);

// The amount of one coefficient cell, rounded to two decimals:
// 1. t = frameRate x coefficient, rounded to extended precision;
// 2. t = t x durationProduct, rounded to extended precision;
// 3. x = t rounded to a double;
// 4. with f the double nearest 0.01 (1 / (10 x 10) in extended precision, stored as a double):
//    q = x / f in extended precision, n = q rounded to an integer (ties to even), and the
//    amount is n x f in extended precision, rounded to a double.
// Because f is slightly above 0.01, an amount exactly half-way in binary rounds down (0.125
// gives 0.12).
double CellAmount(std::int32_t frameRate, double coefficient, float durationProduct);

// Steps 1 to 3 alone: the amount before it is rounded to two decimals, from which the planning
// figures start (Planning.h).
double CellExactAmount(std::int32_t frameRate, double coefficient, float durationProduct);

// Step 4 alone.
double RoundToHundredths(double x);

// "<= 7 fps": the text of a cell whose frame-rate limit is below the chosen rate.
std::string LimitText(int limit);

struct TStorageResult {
  std::array<std::string, kResultFieldCount> Texts;  // indexed by TResultField
  std::string Unit;                                  // "кб", "Мб", "Гб" or "Тб"
  // The unrounded amount (CellExactAmount) of every field that shows an amount; none for "нет"
  // and for a frame-rate limit.
  std::array<std::optional<double>, kResultFieldCount> ExactAmounts;

  const std::string& operator[](TResultField field) const { return Texts[field]; }
};

// The order in which the window writes its result fields: the MPEG4 and Morgan MJPEG
// black-and-white fields and the MPEG4 colour field first, then the rest by number.
extern const std::array<TResultField, kResultFieldCount> kResultFieldWriteOrder;

// All twenty result texts and the unit for the window's inputs: the duration index, the camera
// count and frame rate as typed, the frame-size index, and the decimal separator to show.
// The camera count is converted first, then the frame rate, before anything is computed, so the
// first bad text is the one reported: EConvertError "'<text>' is not a valid integer value".
// A camera count outside 1..80 or a frame rate outside 1..25 throws Exception. Index keys out
// of range throw std::out_of_range.
TStorageResult CalculateStorage(int duration, std::string_view cameraCountText,
                                std::string_view frameRateText, int frameSize,
                                std::string_view decimalSeparator);
