#include "calc/Storage.h"

#include "calc/ExactArithmetic.h"
#include "calc/NumberFormat.h"
#include "calc/StrToInt.h"
#include "framework/core/Exceptions.h"

namespace {

// f: 10 x 10 and 1 / 100 in extended precision, then stored as a double.
constexpr double kHundredth =
    RoundToDouble(Divide(ExtendedFromInt(1), Multiply(ExtendedFromInt(10), ExtendedFromInt(10))));
static_assert(kHundredth == 0.01, "the stored factor is the double nearest to 0.01");

void CheckRange(std::int32_t value, std::int32_t low, std::int32_t high, std::string_view what,
                std::string_view text) {
  if (value < low || value > high)
    throw Exception(std::string(what) + " '" + std::string(text) + "' is out of range (" +
                    std::to_string(low) + " to " + std::to_string(high) + ")");
}

}  // namespace

const std::array<TResultField, kResultFieldCount> kResultFieldWriteOrder = {
    rfEdit8,  rfEdit10, rfEdit18, rfEdit1,  rfEdit2,  rfEdit3,  rfEdit4,
    rfEdit5,  rfEdit6,  rfEdit7,  rfEdit9,  rfEdit11, rfEdit12, rfEdit13,
    rfEdit14, rfEdit15, rfEdit16, rfEdit17, rfEdit19, rfsEdit2,
};

float DurationProduct(int duration, std::int32_t cameraCount) {
  const TDuration& d = DurationLookup(duration);
  if (d.FactorKind == fkInteger) {
    // In 64 bits: a camera count far beyond the window's range must not wrap around.
    const std::int64_t product = std::int64_t{cameraCount} * d.IntegerFactor;
    return RoundToFloat(ExtendedFromInt(product));
  }
  return RoundToFloat(Multiply(ExtendedFromInt(cameraCount), ExtendedFromDouble(d.DoubleFactor)));
}

double RoundToHundredths(double x) {
  static constexpr TExtended f = ExtendedFromDouble(kHundredth);
  const std::int64_t n = RoundToInt64(Divide(ExtendedFromDouble(x), f));
  return RoundToDouble(Multiply(ExtendedFromInt(n), f));
}

double CellExactAmount(std::int32_t frameRate, double coefficient, float durationProduct) {
  TExtended t = Multiply(ExtendedFromInt(frameRate), ExtendedFromDouble(coefficient));
  t = Multiply(t, ExtendedFromFloat(durationProduct));
  return RoundToDouble(t);
}

double CellAmount(std::int32_t frameRate, double coefficient, float durationProduct) {
  return RoundToHundredths(CellExactAmount(frameRate, coefficient, durationProduct));
}

std::string LimitText(int limit) { return "<= " + std::to_string(limit) + " fps"; }

TStorageResult CalculateStorage(int duration, std::string_view cameraCountText,
                                std::string_view frameRateText, int frameSize,
                                std::string_view decimalSeparator) {
  const TDuration& d = DurationLookup(duration);
  FrameSizeText(frameSize);  // checks the key before anything else happens
  const std::int32_t cameraCount = StrToInt(cameraCountText);
  const std::int32_t frameRate = StrToInt(frameRateText);
  CheckRange(cameraCount, kMinCameraCount, kMaxCameraCount, "camera count", cameraCountText);
  CheckRange(frameRate, kMinFrameRate, kMaxFrameRate, "frame rate", frameRateText);
  const float product = DurationProduct(duration, cameraCount);

  TStorageResult result;
  result.Unit = std::string(d.Unit);
  // Amounts and "нет" first; the MPEG4 colour cell repeats the black-and-white text as written
  // before any limit applies; then limits replace the cells the chosen rate exceeds.
  for (const TColourMode mode : {cmBlackWhite, cmColour}) {
    for (int column = 1; column <= kColumnCount; ++column) {
      const TCell cell = CellLookup(frameSize, column, mode);
      const TResultField field = ColumnLookup(column, mode);
      if (cell.Kind == ckCoefficient) {
        const double exact = CellExactAmount(frameRate, cell.Coefficient, product);
        result.Texts[field] = FormatGeneral15(RoundToHundredths(exact), decimalSeparator);
        result.ExactAmounts[field] = exact;
      } else if (cell.Kind == ckNone) {
        result.Texts[field] = kNoneText;
      }
    }
  }
  for (int column = 1; column <= kColumnCount; ++column) {
    if (CellLookup(frameSize, column, cmColour).Kind == ckSameAsMpegBlackWhite) {
      const TResultField from = ColumnLookup(column, cmBlackWhite), to = ColumnLookup(column, cmColour);
      result.Texts[to] = result.Texts[from];
      result.ExactAmounts[to] = result.ExactAmounts[from];
    }
  }
  for (const TColourMode mode : {cmBlackWhite, cmColour}) {
    for (int column = 1; column <= kColumnCount; ++column) {
      const int limit = LimitLookup(frameSize, column, mode);
      if (limit != 0 && limit < frameRate) {
        result.Texts[ColumnLookup(column, mode)] = LimitText(limit);
        result.ExactAmounts[ColumnLookup(column, mode)].reset();
      }
    }
  }
  return result;
}
