// Qt's PDF writer records only a title and a creator, while exported reports
// also name their author and subject. The document information is replaced
// the way PDF editors change a file: an update appended after the bytes Qt
// wrote, which stay as they are.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace tornel {

struct PdfInfo {
  QString title;
  QString author;
  QString subject;
  QString creator;
  QDateTime created;
};

// Appends to pdf, a document with a classic cross-reference table such as
// QPdfWriter writes, a new information dictionary holding info. False, and
// pdf unchanged, when its trailer cannot be read.
bool AddPdfInfo(QByteArray* pdf, const PdfInfo& info);

}  // namespace tornel
