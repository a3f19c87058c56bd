#pragma once

#include <QImage>
#include <QSize>

// Images of several megabytes (photographs decoded for paper, PNG pages) on
// memory the kernel may hand over in 2 MiB pages. A fresh process otherwise
// takes one page fault per 4 KiB on first touch, and on a virtual machine
// those cost more than decoding the photograph.
namespace bigimage {

// Below this many bytes an image is an ordinary QImage.
constexpr qsizetype MinBytes = qsizetype(4) << 20;

// A blank (uninitialised) image; null when there is no memory for it.
QImage Allocate(const QSize &size, QImage::Format format);

} // namespace bigimage
