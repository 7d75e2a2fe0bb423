#include "tornel/build/pdf_info.h"

#include <QRegularExpression>
#include <QtGlobal>

namespace tornel {
namespace {

// A text string in UTF-16BE with its byte-order mark, written in hex so that
// no character needs escaping.
QByteArray TextString(const QString& text) {
  QByteArray hex = "<FEFF";
  for (QChar c : text) hex += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
  return hex + ">";
}

QByteArray Offset(qsizetype offset) {
  return QByteArray::number(offset).rightJustified(10, '0');
}

}  // namespace

bool AddPdfInfo(QByteArray* pdf, const PdfInfo& info) {
  const qsizetype startxref = pdf->lastIndexOf("startxref");
  const qsizetype trailer = pdf->lastIndexOf("trailer", startxref);
  if (startxref < 0 || trailer < 0) return false;
  const QString tail = QString::fromLatin1(pdf->mid(trailer));
  const auto size = QRegularExpression(R"(/Size\s+(\d+))").match(tail);
  const auto root = QRegularExpression(R"(/Root\s+(\d+\s+\d+\s+R))").match(tail);
  const auto prev = QRegularExpression(R"(startxref\s+(\d+))").match(tail);
  if (!size.hasMatch() || !root.hasMatch() || !prev.hasMatch()) return false;

  const QByteArray object = size.captured(1).toLatin1();
  QByteArray update;
  if (!pdf->endsWith('\n')) update += '\n';
  const qsizetype object_offset = pdf->size() + update.size();
  update += object + " 0 obj\n<<\n";
  update += "/Title " + TextString(info.title) + "\n";
  update += "/Author " + TextString(info.author) + "\n";
  update += "/Subject " + TextString(info.subject) + "\n";
  update += "/Creator " + TextString(info.creator) + "\n";
  update += "/Producer " + TextString(QStringLiteral("Qt ") + QString::fromLatin1(qVersion())) + "\n";
  update += "/CreationDate (D:" + info.created.toUTC().toString("yyyyMMddHHmmss").toLatin1() + "Z)\n";
  update += ">>\nendobj\n";
  const qsizetype xref_offset = pdf->size() + update.size();
  // Each cross-reference entry is exactly 20 bytes, its end of line included.
  update += "xref\n0 1\n0000000000 65535 f \n" + object + " 1\n" + Offset(object_offset) + " 00000 n \n";
  update += "trailer\n<<\n/Size " + QByteArray::number(object.toLongLong() + 1) + "\n";
  update += "/Root " + root.captured(1).toLatin1() + "\n";
  update += "/Info " + object + " 0 R\n";
  update += "/Prev " + prev.captured(1).toLatin1() + "\n>>\n";
  update += "startxref\n" + QByteArray::number(xref_offset) + "\n%%EOF\n";
  pdf->append(update);
  return true;
}

}  // namespace tornel
