// The product's mark, drawn in code so that no image file has to travel with
// the program and so that it stays sharp at any size: on screen in the main
// window's header and as vectors in the printed and exported reports.
#pragma once

#include <QImage>
#include <QRectF>
#include <QSize>

class QPainter;

namespace tornel {

// Paints the logo over the whole of rect: an opaque white ground, a rounded
// blue-to-teal block with an emblem, "MORVEL" in bold white and "HCM" below.
void PaintProductLogo(QPainter* painter, const QRectF& rect);

// The logo as an opaque image of exactly size; a null image for an empty size.
QImage ProductLogo(const QSize& size);

}  // namespace tornel
