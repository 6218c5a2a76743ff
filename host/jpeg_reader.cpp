// JPEG pictures through libjpeg(-turbo), decoded straight into native ARGB
// words. libjpeg reports errors through a callback that must not return; it
// jumps back to the setjmp of the step that failed, and those steps hold no
// object with a destructor, so the jump skips nothing that owns a resource.
// jpeglib.h needs size_t and FILE declared first.
// clang-format off
#include <cstddef>
#include <cstdio>
#include <jpeglib.h>
// clang-format on

#include <csetjmp>
#include <stdexcept>

#include "host/picture_bytes.h"
#include "host/picture_limits.h"
#include "host/picture_reader.h"

namespace zanhost {
namespace {

constexpr J_COLOR_SPACE kArgbWordSpace =
    __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? JCS_EXT_BGRA : JCS_EXT_ARGB;

struct JpegErrors {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void JumpBack(j_common_ptr info) {
  auto *errors = reinterpret_cast<JpegErrors *>(info->err);
  (*info->err->format_message)(info, errors->message);
  std::longjmp(errors->jump, 1);
}

// Warnings (a truncated file, say) are not printed; the picture is kept.
void Silent(j_common_ptr) {}

class Decompressor {
 public:
  Decompressor() {
    info_.err = jpeg_std_error(&errors_.base);
    errors_.base.error_exit = JumpBack;
    errors_.base.output_message = Silent;
  }
  Decompressor(const Decompressor &) = delete;
  Decompressor &operator=(const Decompressor &) = delete;
  ~Decompressor() {
    if (created_) {
      jpeg_destroy_decompress(&info_);
    }
  }

  bool Start(const std::vector<uint8_t> &bytes) {
    if (setjmp(errors_.jump) != 0) {
      return false;
    }
    jpeg_create_decompress(&info_);
    created_ = true;
    jpeg_mem_src(&info_, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info_, TRUE);
    return true;
  }

  bool Decode(PixelBuffer &pixels) {
    if (setjmp(errors_.jump) != 0) {
      return false;
    }
    info_.out_color_space = kArgbWordSpace;
    jpeg_start_decompress(&info_);
    while (info_.output_scanline < info_.output_height) {
      JSAMPROW row = pixels.Row(static_cast<int>(info_.output_scanline));
      jpeg_read_scanlines(&info_, &row, 1);
    }
    jpeg_finish_decompress(&info_);
    return true;
  }

  const jpeg_decompress_struct &Info() const { return info_; }
  const char *Message() const { return errors_.message; }

 private:
  jpeg_decompress_struct info_{};
  JpegErrors errors_{};
  bool created_ = false;
};

}  // namespace

PixelBuffer ReadJpeg(const std::string &path) {
  const std::vector<uint8_t> bytes = ReadFileBytes(path);
  Decompressor jpeg;
  if (!jpeg.Start(bytes)) {
    FailReading(path, std::string("not a readable JPEG picture (") + jpeg.Message() + ")");
  }
  const jpeg_decompress_struct &info = jpeg.Info();
  if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK) {
    FailReading(path, "a CMYK JPEG picture, which is not read (save it as RGB)");
  }
  RequireModestSize(path, info.image_width, info.image_height);
  PixelBuffer pixels(static_cast<int>(info.image_width), static_cast<int>(info.image_height), 32);
  if (!jpeg.Decode(pixels)) {
    FailReading(path, std::string("the JPEG data is damaged (") + jpeg.Message() + ")");
  }
  return pixels;
}

}  // namespace zanhost
