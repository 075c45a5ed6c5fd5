#include "view/PngRowWriter.h"

#include <QIODevice>
#include <QImage>
#include <QSysInfo>

#include <png.h>

#include <csetjmp>

namespace {

void WriteToDevice(png_structp png, png_bytep data, png_size_t length)
{
    auto *output = static_cast<QIODevice *>(png_get_io_ptr(png));
    if (output->write(reinterpret_cast<const char *>(data), qint64(length)) != qint64(length))
        png_error(png, "write failed");
}

void FlushNothing(png_structp) {}

// libpng reports its errors by a jump back into the call that failed; a
// warning changes nothing in what is written.
void IgnoreWarning(png_structp, png_const_charp) {}

// 96 dots per inch, as the diagram is drawn.
constexpr png_uint_32 kPixelsPerMetre = 3780;

} // namespace

CPngRowWriter::CPngRowWriter(QIODevice &output, int width, int height)
    : m_output(output), m_width(width), m_height(height)
{
    m_png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, IgnoreWarning);
    m_info = m_png ? png_create_info_struct(m_png) : nullptr;
    m_failed = !m_info || width <= 0 || height <= 0 || !Start();
}

CPngRowWriter::~CPngRowWriter()
{
    png_destroy_write_struct(m_png ? &m_png : nullptr, m_info ? &m_info : nullptr);
}

// Nothing in here or in WriteRows and Finish may need a destructor run: an
// error jumps out of libpng straight back to the setjmp.
bool CPngRowWriter::Start()
{
    if (setjmp(png_jmpbuf(m_png)))
        return false;
    png_set_write_fn(m_png, &m_output, WriteToDevice, FlushNothing);
    png_set_IHDR(m_png, m_info, png_uint_32(m_width), png_uint_32(m_height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_pHYs(m_png, m_info, kPixelsPerMetre, kPixelsPerMetre, PNG_RESOLUTION_METER);
    png_write_info(m_png, m_info);
    // A 32-bit RGB pixel is one unsigned word 0xffRRGGBB: in memory blue
    // comes first on a little-endian machine, the unused byte on a
    // big-endian one. The unused byte is left out of the file.
    if (QSysInfo::ByteOrder == QSysInfo::LittleEndian) {
        png_set_bgr(m_png);
        png_set_filler(m_png, 0, PNG_FILLER_AFTER);
    } else {
        png_set_filler(m_png, 0, PNG_FILLER_BEFORE);
    }
    return true;
}

bool CPngRowWriter::WriteRows(const QImage &image, int rows)
{
    if (m_failed || rows < 0 || rows > image.height() || m_written + rows > m_height
        || image.width() < m_width
        || (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32))
        return Failed();
    if (setjmp(png_jmpbuf(m_png)))
        return Failed();
    for (int row = 0; row < rows; ++row)
        png_write_row(m_png, image.constScanLine(row));
    m_written += rows;
    return true;
}

bool CPngRowWriter::Finish()
{
    if (m_failed || m_written != m_height)
        return Failed();
    if (setjmp(png_jmpbuf(m_png)))
        return Failed();
    png_write_end(m_png, m_info);
    return true;
}

bool CPngRowWriter::Failed()
{
    m_failed = true;
    return false;
}
