#include "tornel/progress/gauge.h"

#include <QPainter>
#include <algorithm>

namespace tornel {

Gauge::Gauge(QWidget* parent) : QWidget(parent) {}

void Gauge::SetMaxValue(int value) {
  max_ = std::max(value, 0);
  progress_ = std::min(progress_, max_);
  repaint();
}

void Gauge::SetProgress(int value) {
  progress_ = std::clamp(value, 0, max_);
  repaint();
}

void Gauge::SetForeColor(const QColor& color) {
  fore_ = color;
  repaint();
}

int Gauge::PercentDone() const {
  if (max_ == 0) return 0;
  return static_cast<int>(static_cast<long long>(progress_) * 100 / max_);
}

void Gauge::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect all = rect();
  const int filled_width =
      max_ == 0 ? 0 : static_cast<int>(static_cast<long long>(all.width()) * progress_ / max_);
  const QRect filled(all.left(), all.top(), filled_width, all.height());
  const QRect empty(all.left() + filled_width, all.top(), all.width() - filled_width, all.height());
  painter.fillRect(empty, Qt::white);
  painter.fillRect(filled, fore_);

  // The percentage stays readable over both parts: dark on white, and on the
  // bar whichever of black and white stands out against its colour.
  const QString text = QString::number(PercentDone()) + "%";
  painter.setClipRect(empty);
  painter.setPen(Qt::black);
  painter.drawText(all, Qt::AlignCenter, text);
  painter.setClipRect(filled);
  painter.setPen(qGray(fore_.rgb()) < 128 ? Qt::white : Qt::black);
  painter.drawText(all, Qt::AlignCenter, text);
}

}  // namespace tornel
