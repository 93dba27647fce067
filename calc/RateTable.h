#pragma once
// Constant data of the storage calculation: frame sizes, recording durations, the ten codec
// columns of the result grid, the rate table (megabytes per recorded frame) and the frame-rate
// limits. Nothing here changes at run time.
//
// Keys: frame-size index 0..11 (the order of the frame-size list), duration index 0..6 (the
// order of the duration list), codec column 1..10 (left to right in the grid) and the colour
// mode (the "Ч/б" and "Цвет" rows). The lookups throw std::out_of_range for keys outside these.
#include <array>
#include <cstdint>
#include <string_view>

// The twenty result fields of the window, by name. The black-and-white field of column 10 is
// Edit10; its colour field is sEdit2 (there is no Edit20 among the results: Edit20 and Edit21
// are the frame-rate and camera-count inputs).
enum TResultField : std::uint8_t {
  rfEdit1, rfEdit2, rfEdit3, rfEdit4, rfEdit5, rfEdit6, rfEdit7, rfEdit8, rfEdit9, rfEdit10,
  rfEdit11, rfEdit12, rfEdit13, rfEdit14, rfEdit15, rfEdit16, rfEdit17, rfEdit18, rfEdit19,
  rfsEdit2,
};
constexpr int kResultFieldCount = 20;

// "Edit1" .. "Edit19", "sEdit2".
std::string_view ResultFieldName(TResultField field);

enum TColourMode : std::uint8_t { cmBlackWhite, cmColour };

// "Ч/б" for black-and-white, "Цвет" for colour: the row captions of the grid.
std::string_view ColourModeCaption(TColourMode mode);

constexpr int kFrameSizeCount = 12;
constexpr int kDurationCount = 7;
constexpr int kColumnCount = 10;

// Inputs the window lets through; the calculation rejects anything else.
constexpr std::int32_t kMinFrameRate = 1;
constexpr std::int32_t kMaxFrameRate = 25;
constexpr std::int32_t kMinCameraCount = 1;
constexpr std::int32_t kMaxCameraCount = 80;

// The text of a cell for which a codec offers nothing.
constexpr std::string_view kNoneText = "нет";

// "320x240" .. "768x576".
std::string_view FrameSizeText(int frameSize);

enum TFactorKind : std::uint8_t { fkInteger, fkDouble };

// A recording duration: its list text, the factor that turns megabytes per second into the
// amount for the whole period in the unit shown, and that unit ("кб", "Мб", "Гб", "Тб").
// Integer factors are multiplied by the camera count in integer arithmetic, double factors in
// extended precision (see DurationProduct).
struct TDuration {
  std::string_view Text;
  TFactorKind FactorKind;
  std::int32_t IntegerFactor;  // fkInteger only
  double DoubleFactor;         // fkDouble only
  std::string_view Unit;
};

const TDuration& DurationLookup(int duration);

// One cell of the rate table: a coefficient in megabytes per frame, the text "нет", or (the
// colour cell of the MPEG4 column only) the text that the black-and-white MPEG4 cell shows.
enum TCellKind : std::uint8_t { ckCoefficient, ckNone, ckSameAsMpegBlackWhite };

struct TCell {
  TCellKind Kind;
  double Coefficient;  // ckCoefficient only
};

TCell CellLookup(int frameSize, int column, TColourMode mode);

// The highest frame rate a cell serves, or 0 when it has no limit. Above the limit the cell
// shows "<= N fps" instead of an amount.
int LimitLookup(int frameSize, int column, TColourMode mode);

// The result field of a column and colour mode.
TResultField ColumnLookup(int column, TColourMode mode);

// "LEAD", "Intel Indeo 5.11", ... as one line (the window breaks some captions in two).
std::string_view CodecCaption(int column);
