#include "calc/RateTable.h"

#include <stdexcept>

namespace {

constexpr std::array<std::string_view, kResultFieldCount> kResultFieldNames = {
    "Edit1",  "Edit2",  "Edit3",  "Edit4",  "Edit5",  "Edit6",  "Edit7",
    "Edit8",  "Edit9",  "Edit10", "Edit11", "Edit12", "Edit13", "Edit14",
    "Edit15", "Edit16", "Edit17", "Edit18", "Edit19", "sEdit2",
};

constexpr std::array<std::string_view, kFrameSizeCount> kFrameSizes = {
    "320x240", "360x240", "360x288", "384x288", "640x240", "720x240",
    "720x288", "768x288", "640x480", "720x480", "720x576", "768x576",
};

// The factor is the period in seconds scaled from megabytes to the unit shown (decimal units:
// 1 Мб = 1000 кб, 1 Гб = 1000 Мб, 1 Тб = 1000 Гб): 86.4 = 86 400 s / 1000 and so on.
constexpr std::array<TDuration, kDurationCount> kDurations = {{
    {"1 секунда", fkInteger, 1000, 0.0, "кб"},
    {"1 минута", fkInteger, 60, 0.0, "Мб"},
    {"1 час", fkInteger, 3600, 0.0, "Мб"},
    {"1 сутки", fkDouble, 0, 86.4, "Гб"},
    {"1 неделя", fkDouble, 0, 604.8, "Гб"},
    {"1 месяц", fkInteger, 2592, 0.0, "Гб"},
    {"1 год", fkDouble, 0, 31.536, "Тб"},
}};

struct TCodecColumn {
  std::string_view Caption;
  TResultField BlackWhiteField;
  TResultField ColourField;
};

constexpr std::array<TCodecColumn, kColumnCount> kColumns = {{
    {"LEAD", rfEdit1, rfEdit11},
    {"Intel Indeo 5.11", rfEdit2, rfEdit12},
    {"MS Video1", rfEdit3, rfEdit13},
    {"Intel Indeo 3.2", rfEdit4, rfEdit14},
    {"Без сжатия", rfEdit5, rfEdit15},
    {"DivX 4.12", rfEdit6, rfEdit16},
    {"DivX 5.05", rfEdit7, rfEdit17},
    {"MPEG4", rfEdit8, rfEdit18},
    {"Orvex JPEG VC", rfEdit9, rfEdit19},
    {"Morgan MJPEG", rfEdit10, rfsEdit2},
}};

constexpr TCell K(double coefficient) { return {ckCoefficient, coefficient}; }
constexpr TCell kNo{ckNone, 0.0};
constexpr TCell kSame{ckSameAsMpegBlackWhite, 0.0};

using TRateRow = std::array<TCell, kColumnCount>;

// Megabytes per frame. Each coefficient is the shortest decimal that reads back as the stored
// double; several of them (0.006200000000000001, 0.024999999999999998) are deliberately not the
// double nearest to a shorter neighbour, so they are written to the last digit.
constexpr std::array<TRateRow, kFrameSizeCount> kBlackWhite = {{
    // LEAD, Indeo 5.11, MS Video1, Indeo 3.2, Без сжатия, DivX 4.12, DivX 5.05, MPEG4, Orvex JPEG VC, Morgan MJPEG
    {K(0.0117), K(0.01754), K(0.04626), K(0.006200000000000001), K(0.07412666666666666), kNo, kNo, K(0.001564), K(0.010133333333333333), kNo},  // 320x240
    {K(0.013206666666666665), K(0.020326666666666666), K(0.0526), K(0.0068), K(0.08316666666666667), kNo, kNo, K(0.001564), kNo, kNo},  // 360x240
    {K(0.014946666666666667), K(0.023733333333333335), K(0.06264), K(0.008233333333333334), K(0.09998666666666665), kNo, kNo, K(0.001564), kNo, kNo},  // 360x288
    {K(0.015806666666666667), K(0.02428), K(0.06654666666666666), K(0.008951219512195121), K(0.10622666666666666), kNo, kNo, K(0.001564), K(0.014073333333333334), kNo},  // 384x288
    {K(0.019253333333333334), K(0.031446666666666664), K(0.09277777777777778), K(0.0123), K(0.1479066666666667), kNo, kNo, K(0.001564), K(0.017400666666666665), kNo},  // 640x240
    {K(0.021406666666666668), K(0.024999999999999998), K(0.10254854368932038), kNo, K(0.16562000000000002), kNo, kNo, K(0.001564), K(0.02087666666666667), kNo},  // 720x240
    {K(0.025026666666666666), K(0.028395061728395062), K(0.12550898203592814), kNo, K(0.19926), kNo, kNo, K(0.001564), K(0.024833333333333332), kNo},  // 720x288
    {K(0.02638), K(0.03184126984126984), K(0.13259615384615384), kNo, K(0.2131066666666667), kNo, kNo, K(0.001564), K(0.026353333333333333), kNo},  // 768x288
    {K(0.030573333333333334), K(0.05872), K(0.18450121654501217), K(0.021917808219178082), K(0.29498), kNo, kNo, K(0.001564), K(0.030368666666666665), kNo},  // 640x480
    {K(0.033479999999999996), K(0.042933723196881095), K(0.2057), kNo, K(0.3322866666666667), kNo, kNo, K(0.001564), K(0.031562), kNo},  // 720x480
    {K(0.03946666666666667), K(0.06205555555555556), K(0.2502642276422764), kNo, K(0.3971466666666667), kNo, kNo, K(0.001564), K(0.03707333333333333), kNo},  // 720x576
    {K(0.04192666666666667), K(0.06617283950617284), K(0.2770175438596491), kNo, K(0.42474666666666666), kNo, kNo, K(0.001564), K(0.03914), kNo},  // 768x576
}};

// Four colour cells were never measured: uncompressed at 360x288, 720x288 and 768x288, and
// DivX 5.05 at 720x240. We fill them from their neighbours:
// - Uncompressed frames grow with the pixel count (about 2.87 bytes per pixel here), so each
//   gets its pixel count times the mean bytes per pixel of the nearest measured sizes before
//   and after it in the list (360x240 and 384x288; 720x240 and 640x480), rounded to five
//   significant digits: 0.29768, 0.59707, 0.63688.
// - DivX 5.05 colour runs at a fairly steady multiple of DivX 4.12 colour at the same size;
//   720x240 gets its DivX 4.12 value times the mean multiple of 640x240 and 720x288
//   (1.2709 and 1.3762), rounded to five significant digits: 0.017356.
constexpr std::array<TRateRow, kFrameSizeCount> kColour = {{
    // LEAD, Indeo 5.11, MS Video1, Indeo 3.2, Без сжатия, DivX 4.12, DivX 5.05, MPEG4, Orvex JPEG VC, Morgan MJPEG
    {K(0.012580000000000001), K(0.018926666666666668), K(0.08300666666666667), K(0.005173333333333334), K(0.22013333333333332), K(0.008193333333333332), K(0.00902), kSame, K(0.011826666666666666), K(0.007985333333333334)},  // 320x240
    {K(0.01382), K(0.0224), K(0.09275333333333333), K(0.007165242165242166), K(0.24807333333333334), K(0.011473333333333334), K(0.0123), kSame, kNo, K(0.008708666666666667)},  // 360x240
    {K(0.01712), K(0.028486666666666664), K(0.11255333333333334), K(0.010026315789473684), K(0.29768), K(0.014586666666666666), K(0.017773333333333332), kSame, kNo, K(0.010597333333333334)},  // 360x288
    {K(0.018113333333333335), K(0.031193333333333333), K(0.11949333333333334), K(0.011001821493624773), K(0.3175133333333333), K(0.015566666666666668), K(0.01806666666666667), kSame, K(0.017826666666666664), K(0.01127)},  // 384x288
    {K(0.02124), K(0.03882666666666667), K(0.16536958899828097), K(0.010231381055676067), K(0.44156), K(0.011713333333333334), K(0.014886666666666666), kSame, K(0.021586666666666667), K(0.014067333333333333)},  // 640x240
    {K(0.02326), K(0.030461538461538464), K(0.18606140350877196), kNo, K(0.49642), K(0.013113333333333334), K(0.017356), kSame, K(0.02384666666666667), K(0.015422)},  // 720x240
    {K(0.028713333333333334), K(0.04213410702772405), K(0.22270391779062298), kNo, K(0.59707), K(0.019033333333333333), K(0.026193333333333332), kSame, K(0.029009333333333335), K(0.017448666666666664)},  // 720x288
    {K(0.030373333333333336), K(0.042581300813008136), K(0.23755218633267414), kNo, K(0.63688), K(0.020753333333333332), K(0.027993333333333335), kSame, K(0.0299), K(0.018221333333333332)},  // 768x288
    {K(0.03482), K(0.0736186879283816), K(0.3296278317152104), K(0.01935483870967742), K(0.8865799999999999), K(0.02246666666666667), K(0.033479999999999996), kSame, K(0.03409333333333334), K(0.027668)},  // 640x480
    {K(0.038166177087704575), K(0.05457413249211357), K(0.3708014571948998), kNo, K(0.9987133333333333), K(0.024826666666666667), K(0.04402051714446318), kSame, K(0.03667333333333333), K(0.03058)},  // 720x480
    {K(0.04729710144927536), K(0.07448717948717948), K(0.44478885893980236), kNo, K(1.1960733333333333), K(0.04014264264264264), K(0.07725284339457568), kSame, K(0.045443333333333336), K(0.033388)},  // 720x576
    {K(0.049426048565121415), K(0.08066666666666666), K(0.4746341463414634), kNo, K(1.2707466666666667), K(0.04424821002386635), K(0.08669977924944812), kSame, K(0.04677533333333333), K(0.03986733333333334)},  // 768x576
}};

// Highest frame rate per limited field, 0 for none. Only these nine fields ever have a limit.
constexpr std::array<TResultField, 9> kLimitedFields = {
    rfEdit2, rfEdit3, rfEdit4, rfEdit11, rfEdit12, rfEdit13, rfEdit14, rfEdit16, rfEdit17,
};
constexpr std::array<std::array<std::uint8_t, 9>, kFrameSizeCount> kLimits = {{
    // Edit2, Edit3, Edit4, Edit11, Edit12, Edit13, Edit14, Edit16, Edit17
    {0, 0, 0, 0, 0, 0, 0, 0, 0},     // 320x240
    {0, 0, 0, 0, 0, 0, 23, 0, 0},    // 360x240
    {0, 0, 22, 0, 0, 0, 19, 0, 0},   // 360x288
    {0, 0, 21, 0, 0, 0, 18, 0, 0},   // 384x288
    {0, 22, 15, 0, 0, 21, 14, 0, 0}, // 640x240
    {7, 21, 0, 0, 7, 19, 0, 0, 0},   // 720x240
    {6, 17, 0, 0, 5, 0, 0, 0, 0},    // 720x288
    {5, 16, 0, 0, 5, 15, 0, 0, 0},   // 768x288
    {7, 14, 0, 0, 24, 10, 6, 0, 0},  // 640x480
    {4, 10, 0, 24, 3, 9, 0, 0, 24},  // 720x480
    {3, 8, 0, 23, 3, 7, 0, 22, 19},  // 720x576
    {3, 8, 0, 23, 2, 6, 0, 21, 18},  // 768x576
}};

void CheckKey(int value, int first, int last, const char* what) {
  if (value < first || value > last) throw std::out_of_range(what);
}

}  // namespace

std::string_view ResultFieldName(TResultField field) {
  CheckKey(field, 0, kResultFieldCount - 1, "result field");
  return kResultFieldNames[field];
}

std::string_view ColourModeCaption(TColourMode mode) {
  CheckKey(mode, cmBlackWhite, cmColour, "colour mode");
  return mode == cmBlackWhite ? "Ч/б" : "Цвет";
}

std::string_view FrameSizeText(int frameSize) {
  CheckKey(frameSize, 0, kFrameSizeCount - 1, "frame size index");
  return kFrameSizes[static_cast<std::size_t>(frameSize)];
}

const TDuration& DurationLookup(int duration) {
  CheckKey(duration, 0, kDurationCount - 1, "duration index");
  return kDurations[static_cast<std::size_t>(duration)];
}

TCell CellLookup(int frameSize, int column, TColourMode mode) {
  CheckKey(frameSize, 0, kFrameSizeCount - 1, "frame size index");
  CheckKey(column, 1, kColumnCount, "codec column");
  CheckKey(mode, cmBlackWhite, cmColour, "colour mode");
  const auto& table = mode == cmBlackWhite ? kBlackWhite : kColour;
  return table[static_cast<std::size_t>(frameSize)][static_cast<std::size_t>(column - 1)];
}

int LimitLookup(int frameSize, int column, TColourMode mode) {
  CheckKey(frameSize, 0, kFrameSizeCount - 1, "frame size index");
  const TResultField field = ColumnLookup(column, mode);
  for (std::size_t i = 0; i < kLimitedFields.size(); ++i)
    if (kLimitedFields[i] == field) return kLimits[static_cast<std::size_t>(frameSize)][i];
  return 0;
}

TResultField ColumnLookup(int column, TColourMode mode) {
  CheckKey(column, 1, kColumnCount, "codec column");
  CheckKey(mode, cmBlackWhite, cmColour, "colour mode");
  const TCodecColumn& c = kColumns[static_cast<std::size_t>(column - 1)];
  return mode == cmBlackWhite ? c.BlackWhiteField : c.ColourField;
}

std::string_view CodecCaption(int column) {
  CheckKey(column, 1, kColumnCount, "codec column");
  return kColumns[static_cast<std::size_t>(column - 1)].Caption;
}
