#include "tornel/build/product_logo.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace tornel {
namespace {

const QColor kDeepBlue(0x0B, 0x3C, 0x6E);
const QColor kTeal(0x0F, 0x8A, 0x8C);
const QColor kAqua(0xA8, 0xEC, 0xE4);

// Text as outlines scaled to a cap height: glyph metrics differ between the
// fonts that may stand in for the family, outlines fit the box regardless.
QPainterPath Letters(const QString& text, double letter_spacing) {
  QFont font("Arial");
  font.setPixelSize(100);
  font.setBold(true);
  font.setLetterSpacing(QFont::PercentageSpacing, 100 + letter_spacing);
  QPainterPath path;
  path.addText(0, 0, font, text);
  return path;
}

// Places path with its top-left at (x, y) scaled to height, but never wider
// than max_width.
QPainterPath Fit(const QPainterPath& path, double x, double y, double height, double max_width) {
  QRectF box = path.boundingRect();
  double scale = std::min(height / box.height(), max_width / box.width());
  QTransform t;
  t.translate(x, y);
  t.scale(scale, scale);
  t.translate(-box.left(), -box.top());
  return t.map(path);
}

}  // namespace

void PaintProductLogo(QPainter* painter, const QRectF& rect) {
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing);
  painter->fillRect(rect, Qt::white);

  const double h = rect.height();
  QLinearGradient ground(rect.topLeft(), rect.bottomRight());
  ground.setColorAt(0, kDeepBlue);
  ground.setColorAt(1, kTeal);
  painter->setPen(Qt::NoPen);
  painter->setBrush(ground);
  painter->drawRoundedRect(rect, 0.16 * h, 0.16 * h);

  // Emblem: three rising bars, the product's people and their growth.
  const double pad = 0.19 * h;
  const double side = 0.62 * h;
  const double bar = side * 0.24;
  const double gap = (side - 3 * bar) / 2;
  const double base = rect.top() + (h + side) / 2;
  const double heights[] = {0.45, 0.72, 1.0};
  const int alphas[] = {150, 205, 255};
  for (int i = 0; i < 3; ++i) {
    QColor colour(Qt::white);
    colour.setAlpha(alphas[i]);
    painter->setBrush(colour);
    const double bar_height = side * heights[i];
    painter->drawRoundedRect(QRectF(rect.left() + pad + i * (bar + gap), base - bar_height, bar, bar_height),
                             bar * 0.35, bar * 0.35);
  }

  // Wordmark, vertically centred as a group to the right of the emblem.
  const double text_left = rect.left() + pad + side + 0.2 * h;
  const double text_width = rect.right() - pad - text_left;
  const double name_height = 0.34 * h;
  const double sub_height = 0.15 * h;
  const double spacing = 0.1 * h;
  const double top = rect.top() + (h - name_height - spacing - sub_height) / 2;
  QPainterPath name = Fit(Letters("MORVEL", 0), text_left, top, name_height, text_width);
  QPainterPath sub = Fit(Letters("HCM", 40), text_left, top + name_height + spacing, sub_height, text_width);
  painter->setBrush(Qt::white);
  painter->drawPath(name);
  painter->setBrush(kAqua);
  painter->drawPath(sub);
  // A rule after "HCM" out to the end of the name ties the two lines together.
  const double rule_left = sub.boundingRect().right() + 0.08 * h;
  const double rule_right = name.boundingRect().right();
  if (rule_right > rule_left) {
    const double thickness = std::max(0.025 * h, 0.5);
    painter->drawRect(QRectF(rule_left, sub.boundingRect().center().y() - thickness / 2,
                             rule_right - rule_left, thickness));
  }
  painter->restore();
}

QImage ProductLogo(const QSize& size) {
  if (size.isEmpty()) return QImage();
  QImage image(size, QImage::Format_RGB32);
  QPainter painter(&image);
  PaintProductLogo(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
  return image;
}

}  // namespace tornel
