// Answers modal dialogs in window tests: a dialog opened by the code under
// test blocks in its own event loop, so the answer is queued beforehand and
// given once the dialog is up.
#pragma once

#include <QWidget>
#include <functional>

namespace testsupport {

// Once a modal widget is active (within timeout_ms), runs handle on it once.
// Returns at once; the handler runs from the event loop of that dialog.
void WhenModal(std::function<void(QWidget*)> handle, int timeout_ms = 5000);

}  // namespace testsupport
