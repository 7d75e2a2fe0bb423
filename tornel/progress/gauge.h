// The progress window's bar: a borderless horizontal gauge in one solid
// colour chosen by its owner. A platform-styled progress bar would draw the
// colour its style likes, while the window's colour tells how far the loop
// has gone; with a maximum of 0 it also stays still instead of turning into
// a busy indicator.
#pragma once

#include <QColor>
#include <QWidget>

namespace tornel {

class Gauge : public QWidget {
 public:
  explicit Gauge(QWidget* parent = nullptr);

  // Progress is kept within 0..MaxValue, as the bar cannot show more than
  // full or less than empty. Every change repaints at once, since the loops
  // that drive the window do not pump messages between items.
  int MaxValue() const { return max_; }
  void SetMaxValue(int value);
  int Progress() const { return progress_; }
  void SetProgress(int value);
  QColor ForeColor() const { return fore_; }
  void SetForeColor(const QColor& color);

  // Whole percent done; 0 while the maximum is 0.
  int PercentDone() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int max_ = 0;
  int progress_ = 0;
  QColor fore_{0, 255, 0};
};

}  // namespace tornel
