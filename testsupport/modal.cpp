#include "testsupport/modal.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <memory>

namespace testsupport {

void WhenModal(std::function<void(QWidget*)> handle, int timeout_ms) {
  auto timer = new QTimer(qApp);
  auto clock = std::make_shared<QElapsedTimer>();
  clock->start();
  timer->setInterval(20);
  QObject::connect(timer, &QTimer::timeout, [timer, clock, handle = std::move(handle), timeout_ms] {
    if (QWidget* w = QApplication::activeModalWidget()) {
      timer->stop();
      timer->deleteLater();
      handle(w);
      return;
    }
    if (clock->elapsed() > timeout_ms) {
      timer->stop();
      timer->deleteLater();
    }
  });
  timer->start();
}

}  // namespace testsupport
