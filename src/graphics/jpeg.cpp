// JPEG decoder: libjpeg with a source manager that reads from an
// ImageSource (the store, or memory). A fatal library error jumps back here
// and ends the load with false; warnings are dropped.
#include <csetjmp>
#include <cstddef>
#include <cstdio>

// libjpeg's headers need size_t and FILE declared before them.
#include <jerror.h>
#include <jpeglib.h>

#include "graphics/image_internal.h"

using namespace image_internal;

namespace {

const size_t SOURCE_BUFFER = 32768;

struct ErrorManager {
  jpeg_error_mgr pub;
  jmp_buf escape;
};

void ErrorExit(j_common_ptr cinfo) {
  longjmp(reinterpret_cast<ErrorManager *>(cinfo->err)->escape, 1);
}
void OutputMessage(j_common_ptr) {}
void FormatMessage(j_common_ptr, char *buffer) {
  buffer[0] = 0;
}

struct SourceManager {
  jpeg_source_mgr pub;
  const ImageSource *source;
  JOCTET *buffer;
  boolean start_of_file;
};

void InitSource(j_decompress_ptr cinfo) {
  reinterpret_cast<SourceManager *>(cinfo->src)->start_of_file = TRUE;
}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
  SourceManager *m = reinterpret_cast<SourceManager *>(cinfo->src);
  size_t n = m->source->read(m->source->context, m->buffer, SOURCE_BUFFER);
  if (n == 0) {
    if (m->start_of_file) ERREXIT(cinfo, JERR_INPUT_EMPTY);
    // A file that ends early: the library fills in the rest of the image.
    WARNMS(cinfo, JWRN_JPEG_EOF);
    m->buffer[0] = 0xFF;
    m->buffer[1] = JPEG_EOI;
    n = 2;
  }
  m->pub.next_input_byte = m->buffer;
  m->pub.bytes_in_buffer = n;
  m->start_of_file = FALSE;
  return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long bytes) {
  jpeg_source_mgr *src = cinfo->src;
  if (bytes <= 0) return;
  while (bytes > long(src->bytes_in_buffer)) {
    bytes -= long(src->bytes_in_buffer);
    src->fill_input_buffer(cinfo);
  }
  src->next_input_byte += size_t(bytes);
  src->bytes_in_buffer -= size_t(bytes);
}

void TermSource(j_decompress_ptr) {}

// The decoding proper. Kept free of objects with destructors: a fatal error
// longjmps out of the library into this frame.
bool Decode(jpeg_decompress_struct *cinfo, ErrorManager *err, const ImageSource *source,
            ImageInfo *out) {
  if (setjmp(err->escape)) return false;
  jpeg_create_decompress(cinfo);
  // Large progressive images need big coefficient buffers; past this the
  // library fails cleanly instead of exhausting memory.
  cinfo->mem->max_memory_to_use = 512L * 1024 * 1024;
  SourceManager *m = static_cast<SourceManager *>(cinfo->mem->alloc_small(
      reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(SourceManager)));
  m->buffer = static_cast<JOCTET *>(cinfo->mem->alloc_small(reinterpret_cast<j_common_ptr>(cinfo),
                                                            JPOOL_PERMANENT, SOURCE_BUFFER));
  m->source = source;
  m->pub.init_source = InitSource;
  m->pub.fill_input_buffer = FillInputBuffer;
  m->pub.skip_input_data = SkipInputData;
  m->pub.resync_to_restart = jpeg_resync_to_restart;
  m->pub.term_source = TermSource;
  m->pub.bytes_in_buffer = 0;
  m->pub.next_input_byte = nullptr;
  cinfo->src = &m->pub;

  jpeg_read_header(cinfo, TRUE);
  if (cinfo->image_width > g_ImageMaxSide || cinfo->image_height > g_ImageMaxSide) return false;
  // Greyscale files are expanded to red = green = blue.
  cinfo->out_color_space = JCS_RGB;
  jpeg_start_decompress(cinfo);
  if (cinfo->output_components != 3 ||
      !AllocPixels(out, cinfo->output_width, cinfo->output_height, 3, false))
    return false;
  const size_t row = size_t(cinfo->output_width) * 3;
  while (cinfo->output_scanline < cinfo->output_height) {
    JSAMPROW line = out->pixels + cinfo->output_scanline * row;
    if (jpeg_read_scanlines(cinfo, &line, 1) != 1) return false;
  }
  jpeg_finish_decompress(cinfo);
  return true;
}

}  // namespace

bool DecodeJpeg(const ImageSource &source, ImageInfo *out) {
  *out = ImageInfo();
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = ErrorExit;
  err.pub.output_message = OutputMessage;
  err.pub.format_message = FormatMessage;
  const bool ok = Decode(&cinfo, &err, &source, out);
  jpeg_destroy_decompress(&cinfo);
  if (!ok) return Fail(out);
  out->flags = 0;
  return true;
}
