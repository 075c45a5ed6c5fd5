#pragma once

#include <QtGlobal>

class QImage;
class QIODevice;

struct png_struct_def;
struct png_info_def;

// Writes an opaque picture as a PNG to a device a few rows at a time, so
// that a picture of any size is never held in memory whole: the rows come
// from an image as tall as the caller likes, drawn band by band.
class CPngRowWriter
{
public:
    // A picture of width x height pixels, one unit a 96th of an inch.
    CPngRowWriter(QIODevice &output, int width, int height);
    ~CPngRowWriter();
    CPngRowWriter(const CPngRowWriter &) = delete;
    CPngRowWriter &operator=(const CPngRowWriter &) = delete;

    // Writes the first `rows` rows of the image (32-bit RGB, at least the
    // picture's width) as the picture's next rows. False once anything
    // failed, the device's writing included; nothing more is written then.
    bool WriteRows(const QImage &image, int rows);
    // Ends the file once every row is written.
    bool Finish();

private:
    bool Start();
    bool Failed();

    QIODevice &m_output;
    int m_width;
    int m_height;
    int m_written = 0;
    bool m_failed = false;
    png_struct_def *m_png = nullptr;
    png_info_def *m_info = nullptr;
};
