// JPEG through libjpeg. libjpeg reports errors by calling error_exit, which must not return; we
// jump back to the decoder with longjmp. Between setjmp and the jump no object with a destructor
// is created in the jumping frames: the picture lives in the caller's frame and is cleared on
// failure.
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

#include "framework/core/FileSystem.h"
#include "skin/data/sImageCodecs.h"

namespace {

// A progressive file may hold any number of scans, each costing a pass over the whole
// picture; real pictures use about ten.
constexpr int kMaxScans = 100;

struct ErrorManager {
  jpeg_error_mgr Base;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->Message);
  std::longjmp(err->Jump, 1);
}

void SilentMessage(j_common_ptr, int) {}

void LimitScans(j_common_ptr cinfo) {
  if (cinfo->is_decompressor == 0) return;
  auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (d->input_scan_number > kMaxScans) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::strcpy(err->Message, "too many scans");
    std::longjmp(err->Jump, 1);
  }
}

bool Decode(const unsigned char* data, unsigned long size, TPixelImage& image, char* message, std::int64_t maxPixels) {
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  jpeg_progress_mgr progress;
  std::memset(&cinfo, 0, sizeof cinfo);
  cinfo.err = jpeg_std_error(&err.Base);
  err.Base.error_exit = ErrorExit;
  err.Base.emit_message = SilentMessage;
  err.Message[0] = '\0';
  if (setjmp(err.Jump) != 0) {
    std::strcpy(message, err.Message);
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  cinfo.mem->max_memory_to_use = 256L << 20;
  progress.progress_monitor = LimitScans;
  cinfo.progress = &progress;
  jpeg_mem_src(&cinfo, data, size);
  jpeg_read_header(&cinfo, TRUE);
  if (cinfo.image_width == 0 || cinfo.image_height == 0 ||
      static_cast<std::int64_t>(cinfo.image_width) * cinfo.image_height > std::min(maxPixels, TPixelImage::kMaxPixels)) {
    std::strcpy(message, "picture larger than any skin needs");
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  cinfo.out_color_space = JCS_EXT_BGR;
  jpeg_start_decompress(&cinfo);
  if (cinfo.output_components != 3 ||
      !image.Resize(static_cast<std::int32_t>(cinfo.output_width), static_cast<std::int32_t>(cinfo.output_height))) {
    std::strcpy(message, "unexpected output layout");
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  const TPixelView view = image.View();
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = view.Row(static_cast<std::int32_t>(cinfo.output_scanline));
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

}  // namespace

bool ReadJpeg(std::string_view bytes, TPixelImage& image, std::string* reason, std::int64_t maxPixels) {
  char message[JMSG_LENGTH_MAX] = {};
  image.Resize(0, 0);
  if (bytes.size() < 4 || bytes.size() > 0xFFFFFFFFu) {
    if (reason != nullptr) *reason = "not a JPEG file";
    return false;
  }
  if (Decode(reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()), image,
             message, maxPixels)) {
    return true;
  }
  image.Resize(0, 0);
  if (reason != nullptr) *reason = std::string("JPEG: ") + message;
  return false;
}

namespace {

bool Encode(TPixelView image, int quality, unsigned char** buffer, unsigned long* size) {
  jpeg_compress_struct cinfo;
  ErrorManager err;
  std::memset(&cinfo, 0, sizeof cinfo);
  cinfo.err = jpeg_std_error(&err.Base);
  err.Base.error_exit = ErrorExit;
  if (setjmp(err.Jump) != 0) {
    jpeg_destroy_compress(&cinfo);
    return false;
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, buffer, size);
  cinfo.image_width = static_cast<JDIMENSION>(image.Width);
  cinfo.image_height = static_cast<JDIMENSION>(image.Height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_EXT_BGR;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = image.Row(static_cast<std::int32_t>(cinfo.next_scanline));
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
}

}  // namespace

std::string WriteJpeg(TPixelView image, int quality) {
  if (image.Empty()) return {};
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  std::string out;
  if (Encode(image, quality, &buffer, &size)) out.assign(reinterpret_cast<const char*>(buffer), size);
  std::free(buffer);
  return out;
}

bool LoadJpegFile(std::string_view path, TPixelImage& image, std::string* reason, std::int64_t maxPixels) {
  const auto bytes = ReadFileBytes(path);
  if (!bytes) {
    image.Resize(0, 0);
    if (reason != nullptr) *reason = "file missing or unreadable";
    return false;
  }
  return ReadJpeg(*bytes, image, reason, maxPixels);
}
